#include "frontends/qt/MainWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/General.h"
#include "frontends/qt/PreviewWindow.h"
#include "conversion/Backups.h"
#include "frontends/qt/BackupsWindow.h"
#include "frontends/qt/ProgressWindow.h"
#include "report/JsonReport.h"
#include "frontends/qt/Button.h"
#include "frontends/qt/QtText.h"

namespace ui {
namespace {

QLabel* Label(const std::string& text, QWidget* parent) {
  auto* label = new QLabel(ToQt(text), parent);
  label->setWordWrap(true);
  return label;
}

// The databases that cannot be read, under the list; hidden while there are none.
void ShowUnlisted(QLabel* label, const std::vector<std::string>& notes) {
  std::string text = "Not listed because they cannot be read:";
  for (const std::string& note : notes) text += "\n" + note;
  label->setText(ToQt(text));
  label->setVisible(!notes.empty());
}

// Each run leaves its report as convert5.json beside the log it used.
void WriteReportBesideLog(const filomar::DBSelect& form) {
  const filomar::report::RunReport& report = form.Report();
  const filomar::Status written =
      filomar::report::WriteJsonReport(report, filomar::report::ReportPathBesideLog(report.logFile));
  if (!written.ok())
    filomar::ShowMessage("The run report could not be written: " + written.text(), ui::mb::Exclamation, filomar::kRunTitle);
}

}  // namespace

MainWindow::MainWindow(filomar::DBSelect& form, std::function<void()> quit)
    : form_(form),
      guard_(std::move(quit)),
      progress_(new ProgressWindow(this)),
      list_(new QListWidget(this)),
      unlisted_(new QLabel(this)),
      logFile_(new QLineEdit(this)),
      start_(Button(form.cmdStartCaption, "cmdStart", this)),
      exit_(Button(form.cmdExitCaption, "cmdExit", this)),
      preview_(Button(filomar::Preview::kButtonCaption, "cmdPreview", this)),
      previewWindow_(new PreviewWindow(this)),
      backupDir_(new QLineEdit(this)),
      chooseBackupDir_(Button("...", "cmdBackupDir", this)),
      backup_(new QCheckBox(ToQt(form.chkBackupCaption), this)),
      backups_(Button(form.cmdBackupsCaption, "cmdBackups", this)) {
  setObjectName("DBSelect");
  setWindowTitle(ToQt(form_.caption));
  list_->setObjectName("DBList");
  // The check marks show the presenter's selection; the list's own selection would only
  // compete with them.
  list_->setSelectionMode(QAbstractItemView::NoSelection);
  logFile_->setObjectName("txtLogFile");

  auto* logRow = new QHBoxLayout;
  logRow->addWidget(Label(form_.Label3, this));
  logRow->addWidget(logFile_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(preview_);
  buttons->addWidget(start_);
  buttons->addWidget(exit_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label(form_.Label1, this));
  layout->addWidget(list_, 1);
  unlisted_->setObjectName("unlisted");
  unlisted_->setWordWrap(true);
  ShowUnlisted(unlisted_, form_.unlistedNotes);
  layout->addWidget(unlisted_);
  layout->addWidget(Label(form_.Label2, this));
  layout->addLayout(logRow);
  layout->addLayout(BackupRows());
  layout->addLayout(buttons);

  connect(list_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { Forward([&] { form_.DBList_Click(list_->row(item)); }); });
  list_->installEventFilter(this);
  connect(logFile_, &QLineEdit::textEdited, this,
          [this](const QString& text) { Forward([&] { form_.txtLogFile_Change(FromQt(text)); }); });
  connect(start_, &QPushButton::clicked, this, [this] { StartClicked(); });
  connect(preview_, &QPushButton::clicked, this, [this] { PreviewClicked(); });
  connect(exit_, &QPushButton::clicked, this, [this] { Forward([this] { form_.cmdExit_Click(); }); });

  form_.PaintProgressWith(this);
  setGeometry(form_.left, form_.top, form_.width, form_.height);
  Refresh();
}

MainWindow::~MainWindow() { form_.PaintProgressWith(nullptr); }

void MainWindow::Activate() {
  show();
  Forward([this] { form_.Form_Activate(); });
}

// The button may still look enabled during the first moments of a run (before the first
// repaint); a click then must not start a second run inside the first.
void MainWindow::StartClicked() {
  if (!form_.cmdStartEnabled) return;
  Forward([this] {
    form_.cmdStart_Click();
    WriteReportBesideLog(form_);
  });
}

// As Start: no preview inside a run or another preview.
void MainWindow::PreviewClicked() {
  if (!form_.cmdStartEnabled) return;
  Forward([this] {
    filomar::Preview preview(form_);
    preview.Run();
    previewWindow_->Show(preview);
  });
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  Forward([this] { form_.Form_FrameClose(); });
}

void MainWindow::moveEvent(QMoveEvent* event) {
  form_.left = event->pos().x();
  form_.top = event->pos().y();
  QWidget::moveEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  form_.width = event->size().width();
  form_.height = event->size().height();
  QWidget::resizeEvent(event);
}

// Space clicks the current entry, as a mouse click does.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && list_->currentRow() >= 0) {
    Forward([this] { form_.DBList_Click(list_->currentRow()); });
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// After the run has closed the progress window the main window is the active window again,
// which runs its activation (default log path, STANDARD selected).
template <class Event>
void MainWindow::Forward(Event&& event) {
  if (guard_.Ended()) return;
  guard_.Run(std::forward<Event>(event));
  if (!guard_.Ended()) guard_.Run([this] { form_.ActivateIfDue(); });
  if (!guard_.Ended()) Refresh();
}

void MainWindow::Refresh() {
  RefreshList();
  if (logFile_->text() != ToQt(form_.txtLogFile)) logFile_->setText(ToQt(form_.txtLogFile));
  start_->setEnabled(form_.cmdStartEnabled);
  preview_->setEnabled(form_.cmdStartEnabled);
  RefreshBackup();
}

QBoxLayout* MainWindow::BackupRows() {
  backupDir_->setObjectName("txtBackupDir");
  backupDir_->setReadOnly(true);  // a folder is chosen with the "..." button
  backup_->setObjectName("chkBackup");
  connect(chooseBackupDir_, &QPushButton::clicked, this, [this] { ChooseBackupDir(); });
  connect(backup_, &QCheckBox::clicked, this, [this] { Forward([this] { form_.chkBackup_Click(); }); });
  connect(backups_, &QPushButton::clicked, this, [this] { ShowBackups(); });
  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(Label(form_.Label4, this));
  folderRow->addWidget(backupDir_, 1);
  folderRow->addWidget(chooseBackupDir_);
  auto* rows = new QVBoxLayout;
  rows->addLayout(folderRow);
  auto* checkRow = new QHBoxLayout;
  checkRow->addWidget(backup_, 1);
  checkRow->addWidget(backups_);
  rows->addLayout(checkRow);
  return rows;
}

// The presenter decides; the check box shows what it decided (a warning answered Cancel
// leaves backups on).
void MainWindow::RefreshBackup() {
  backupDir_->setText(ToQt(form_.txtBackupDir));
  backup_->setChecked(form_.chkBackup());
  const bool idle = !form_.Running();
  backup_->setEnabled(idle);
  chooseBackupDir_->setEnabled(idle);
  backups_->setEnabled(idle);
}

void MainWindow::ChooseBackupDir() {
  const QString folder = QFileDialog::getExistingDirectory(this, ToQt(form_.Label4), ToQt(form_.txtBackupDir));
  if (!folder.isEmpty()) Forward([&] { form_.txtBackupDir_Change(FromQt(folder)); });
}

// The backups window is modal; a restore in it fills the main window's list again, and the
// restored database may have been one that could not be read.
void MainWindow::ShowBackups() {
  if (form_.Running()) return;
  filomar::Backups backups(form_);
  BackupsWindow window(backups, this);
  window.exec();
  ShowUnlisted(unlisted_, form_.unlistedNotes);
  Refresh();
}

void MainWindow::RefreshList() {
  std::vector<std::string> names;
  for (const auto& entry : form_.DBList) names.push_back(entry.text);
  if (names != shownNames_) {
    shownNames_ = names;
    list_->clear();
    for (const std::string& name : shownNames_) {
      auto* item = new QListWidgetItem(ToQt(name), list_);
      item->setFlags(Qt::ItemIsEnabled);  // no toggling by the list itself: the presenter decides
    }
  }
  for (std::size_t i = 0; i < form_.DBList.size(); ++i)
    list_->item(static_cast<int>(i))->setCheckState(form_.DBList[i].selected ? Qt::Checked : Qt::Unchecked);
}

void MainWindow::Paint(const filomar::frmProgress& window) {
  Refresh();
  progress_->Paint(window);
}

void MainWindow::Closed(const filomar::frmProgress& window) { progress_->Closed(window); }

}  // namespace ui
