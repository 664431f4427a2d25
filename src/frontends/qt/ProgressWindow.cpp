#include "frontends/qt/ProgressWindow.h"

#include <algorithm>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "frontends/qt/QtText.h"

namespace ui {

ProgressWindow::ProgressWindow(QWidget* owner)
    : QWidget(owner, Qt::Dialog),
      header_(new QLabel(this)),
      dbname_(new QLabel(this)),
      statusLabel_(new QLabel(this)),
      status_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      records_(new QLabel(this)) {
  setObjectName("frmProgress");
  header_->setObjectName("Label1");
  dbname_->setObjectName("lbldbname");
  statusLabel_->setObjectName("Label2");
  status_->setObjectName("lblstatus");
  bar_->setObjectName("recordBar");
  records_->setObjectName("lblrecords");
  bar_->setTextVisible(false);
  QFont bold = header_->font();
  bold.setBold(true);
  header_->setFont(bold);
  dbname_->setFont(bold);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(header_);
  layout->addWidget(dbname_);
  layout->addSpacing(8);
  layout->addWidget(statusLabel_);
  layout->addWidget(status_);
  layout->addWidget(bar_);
  layout->addWidget(records_);
  layout->addStretch();
  bar_->hide();
  records_->hide();
}

void ProgressWindow::Paint(const filomar::frmProgress& window) {
  setWindowTitle(ToQt(window.caption));
  header_->setText(ToQt(window.Label1));
  dbname_->setText(ToQt(window.lbldbname));
  statusLabel_->setText(ToQt(window.Label2));
  status_->setText(ToQt(window.lblstatus));
  ShowRecordCount(window);
  const QRect placement(window.left, window.top, window.width, window.height);
  if (!isVisible()) {
    setGeometry(placement);
    show();
  }
  repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ProgressWindow::ShowRecordCount(const filomar::frmProgress& window) {
  const bool counting = window.ShowsRecordCount();
  bar_->setVisible(counting);
  records_->setVisible(counting);
  if (!counting) return;
  // The bar counts thousandths of the total, so any total fits its int range.
  const long total = std::max(window.recordsTotal(), window.recordsDone());
  bar_->setRange(0, 1000);
  bar_->setValue(total == 0 ? 1000 : static_cast<int>(1000.0 * static_cast<double>(window.recordsDone()) / static_cast<double>(total)));
  records_->setText(ToQt(window.RecordCountText()));
}

void ProgressWindow::Closed(const filomar::frmProgress&) { hide(); }

void ProgressWindow::closeEvent(QCloseEvent* event) { event->ignore(); }

}  // namespace ui
