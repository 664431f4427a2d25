#include "frontends/qt/QtFaces.h"

#include <QApplication>
#include <QEventLoop>

#include "frontends/qt/ProgressWindow.h"
#include "shared/ProgramEnd.h"
#include "frontends/qt/LoginDialog.h"
#include "frontends/qt/MainWindow.h"
#include "frontends/qt/QtUi.h"

namespace ui {

struct QtSession::Parts {
  Parts(int& argc, char** argv) : application(argc, argv) {}
  QApplication application;
  QtUi ui;
};

QtSession::QtSession(int& argc, char** argv) : parts_(std::make_unique<Parts>(argc, argv)) {
  // The windows end the program through their presenters, never by their last one closing.
  QApplication::setQuitOnLastWindowClosed(false);
}

QtSession::~QtSession() = default;

Ui& QtSession::FrontEnd() { return parts_->ui; }

int QtSession::RunLoginWindow(filomar::login& form) { return ui::RunLoginWindow(form); }

std::unique_ptr<filomar::frmProgress::Painter> QtSession::NewProgressWindow() {
  return std::make_unique<ProgressWindow>(nullptr);
}

void QtSession::RunMainWindow(filomar::DBSelect& form) { ui::RunMainWindow(form); }

int RunLoginWindow(filomar::login& form) {
  form.Form_Load();
  LoginDialog dialog(form);
  dialog.Run();
  return filomar::kExitCancelled;
}

void RunMainWindow(filomar::DBSelect& form) {
  QEventLoop loop;
  MainWindow window(form, [&loop] { loop.quit(); });
  window.Activate();
  if (!window.Ended()) loop.exec();
  window.RethrowIfEnded();
  // The loop ends only through an event that ended the program.
  throw filomar::ProgramEnd{filomar::kExitFailure};
}

}  // namespace ui
