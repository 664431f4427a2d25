#include "frontends/qt/ProgressWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "frontends/qt/QtText.h"

namespace ui {

ProgressWindow::ProgressWindow(QWidget* owner)
    : QWidget(owner, Qt::Dialog),
      header_(new QLabel(this)),
      dbname_(new QLabel(this)),
      statusLabel_(new QLabel(this)),
      status_(new QLabel(this)) {
  setObjectName("frmProgress");
  header_->setObjectName("Label1");
  dbname_->setObjectName("lbldbname");
  statusLabel_->setObjectName("Label2");
  status_->setObjectName("lblstatus");
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
  layout->addStretch();
}

void ProgressWindow::Paint(const filomar::frmProgress& window) {
  setWindowTitle(ToQt(window.caption));
  header_->setText(ToQt(window.Label1));
  dbname_->setText(ToQt(window.lbldbname));
  statusLabel_->setText(ToQt(window.Label2));
  status_->setText(ToQt(window.lblstatus));
  const QRect placement(window.left, window.top, window.width, window.height);
  if (!isVisible()) {
    setGeometry(placement);
    show();
  }
  repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ProgressWindow::Closed(const filomar::frmProgress&) { hide(); }

void ProgressWindow::closeEvent(QCloseEvent* event) { event->ignore(); }

}  // namespace ui
