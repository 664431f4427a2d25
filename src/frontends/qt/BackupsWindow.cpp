#include "frontends/qt/BackupsWindow.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "frontends/qt/Button.h"
#include "frontends/qt/QtText.h"

namespace ui {
namespace {

// An item's place in the presenter's list: database index, folder index (-1 for a database).
constexpr int kDatabaseRole = Qt::UserRole;
constexpr int kFolderRole = Qt::UserRole + 1;

}  // namespace

BackupsWindow::BackupsWindow(filomar::Backups& form, QWidget* owner)
    : QDialog(owner),
      form_(form),
      root_(new QLabel(this)),
      tree_(new QTreeWidget(this)),
      progressLabel_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      check_(Button(form.cmdCheckCaption, "cmdCheck", this)),
      restore_(Button(form.cmdRestoreCaption, "cmdRestore", this)),
      close_(Button(form.cmdCloseCaption, "cmdClose", this)) {
  setObjectName("frmBackups");
  setWindowTitle(ToQt(form_.caption));
  root_->setObjectName("lblRoot");
  root_->setWordWrap(true);
  tree_->setObjectName("lstBackups");
  tree_->setHeaderLabels({ToQt(form_.colTime), ToQt(form_.colSize), ToQt(form_.colCheck)});
  tree_->header()->setStretchLastSection(true);
  progressLabel_->setObjectName("lblProgress");
  bar_->setObjectName("checkBar");
  bar_->setTextVisible(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(check_);
  buttons->addWidget(restore_);
  buttons->addStretch();
  buttons->addWidget(close_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(root_);
  layout->addWidget(tree_, 1);
  layout->addWidget(progressLabel_);
  layout->addWidget(bar_);
  layout->addLayout(buttons);

  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { ItemChosen(); });
  connect(check_, &QPushButton::clicked, this, [this] {
    form_.cmdCheck_Click();
    Refresh();
  });
  connect(restore_, &QPushButton::clicked, this, [this] {
    form_.cmdRestore_Click();
    RefreshList();
    Refresh();
  });
  connect(close_, &QPushButton::clicked, this, [this] { reject(); });

  form_.painter = this;
  form_.Form_Load();
  resize(560, 380);
  RefreshList();
  Refresh();
}

BackupsWindow::~BackupsWindow() { form_.painter = nullptr; }

void BackupsWindow::reject() {
  if (!form_.checking) QDialog::reject();
}

void BackupsWindow::ItemChosen() {
  const QTreeWidgetItem* item = tree_->currentItem();
  if (item == nullptr) form_.List_Click(-1, -1);
  else form_.List_Click(item->data(0, kDatabaseRole).toInt(), item->data(0, kFolderRole).toInt());
  Refresh();
}

void BackupsWindow::RefreshList() {
  const QSignalBlocker quiet(tree_);
  tree_->clear();
  QTreeWidgetItem* chosen = nullptr;
  for (std::size_t d = 0; d < form_.list.size(); ++d) {
    const filomar::Backups::Database& database = form_.list[d];
    auto* top = new QTreeWidgetItem(tree_, {ToQt(database.name)});
    top->setData(0, kDatabaseRole, static_cast<int>(d));
    top->setData(0, kFolderRole, -1);
    for (std::size_t f = 0; f < database.folders.size(); ++f) {
      const filomar::Backups::Folder& folder = database.folders[f];
      auto* item = new QTreeWidgetItem(top, {ToQt(folder.time), ToQt(filomar::Backups::SizeText(folder.size)), ToQt(folder.check)});
      item->setData(0, kDatabaseRole, static_cast<int>(d));
      item->setData(0, kFolderRole, static_cast<int>(f));
      item->setToolTip(0, ToQt(folder.path));
      item->setToolTip(2, ToQt(folder.check));
      if (static_cast<int>(d) == form_.chosenDatabase && static_cast<int>(f) == form_.chosenFolder) chosen = item;
    }
  }
  tree_->expandAll();
  if (chosen != nullptr) tree_->setCurrentItem(chosen);
  for (int column = 0; column < 2; ++column) tree_->resizeColumnToContents(column);
}

void BackupsWindow::Refresh() {
  root_->setText(ToQt(form_.lblRoot));
  // The chosen folder's check column shows the last outcome.
  if (QTreeWidgetItem* item = tree_->currentItem(); item != nullptr && item->data(0, kFolderRole).toInt() >= 0) {
    const auto& folder = form_.list[item->data(0, kDatabaseRole).toInt()].folders[item->data(0, kFolderRole).toInt()];
    item->setText(2, ToQt(folder.check));
    item->setToolTip(2, ToQt(folder.check));
  }
  progressLabel_->setVisible(form_.checking);
  bar_->setVisible(form_.checking);
  progressLabel_->setText(ToQt(form_.lblProgress));
  // Thousandths of the total, so any size fits the bar's int range; no total yet: busy.
  bar_->setRange(0, form_.progressTotal > 0 ? 1000 : 0);
  if (form_.progressTotal > 0)
    bar_->setValue(static_cast<int>(1000.0 * static_cast<double>(form_.progressDone) / static_cast<double>(form_.progressTotal)));
  check_->setEnabled(form_.cmdCheckEnabled());
  restore_->setEnabled(form_.cmdRestoreEnabled());
  close_->setEnabled(!form_.checking);
  tree_->setEnabled(!form_.checking);
}

void BackupsWindow::Paint(const filomar::Backups&) {
  Refresh();
  repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace ui
