#include "frontends/qt/PreviewWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "frontends/qt/Button.h"
#include "frontends/qt/QtText.h"

namespace ui {
namespace {

const QColor kFailing(Qt::red);

QTreeWidgetItem* Item(const std::string& text, bool failing) {
  auto* item = new QTreeWidgetItem(QStringList{ToQt(text)});
  if (failing) item->setForeground(0, kFailing);
  return item;
}

void AddLines(QTreeWidgetItem* parent, const std::vector<filomar::PreviewLine>& lines) {
  for (const filomar::PreviewLine& line : lines) {
    QTreeWidgetItem* item = Item(line.text, line.wouldFail);
    parent->addChild(item);
    AddLines(item, line.children);
  }
}

}  // namespace

PreviewWindow::PreviewWindow(QWidget* owner) : QWidget(owner, Qt::Window), tree_(new QTreeWidget(this)) {
  setObjectName("frmPreview");
  setWindowTitle(ToQt(filomar::Preview::kCaption));
  tree_->setObjectName("tvPreview");
  tree_->setHeaderHidden(true);
  tree_->setColumnCount(1);
  // Statements and field values are long lines: they scroll rather than wrap.
  tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tree_->header()->setStretchLastSection(false);
  QPushButton* close = Button("Close", "cmdClose", this);
  connect(close, &QPushButton::clicked, this, &QWidget::hide);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tree_, 1);
  layout->addLayout(buttons);
  resize(640, 480);
}

void PreviewWindow::Show(const filomar::Preview& preview) {
  tree_->clear();
  for (const filomar::PreviewOfDatabase& database : preview.databases) {
    QTreeWidgetItem* top = Item(database.database, false);
    QFont bold = top->font(0);
    bold.setBold(true);
    top->setFont(0, bold);
    tree_->addTopLevelItem(top);
    AddLines(top, database.lines);
    top->addChild(Item(database.verdict, !database.convertsCleanly));
  }
  if (preview.canceled) tree_->addTopLevelItem(Item(filomar::Preview::kCanceledText, false));
  tree_->expandAll();
  show();
  raise();
  activateWindow();
}

}  // namespace ui
