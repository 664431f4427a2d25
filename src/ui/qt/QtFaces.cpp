#include "ui/qt/QtFaces.h"

#include <QApplication>
#include <QEventLoop>
#include <cstdlib>

#include "startup/ProgramEnd.h"
#include "ui/qt/LoginDialog.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/QtUi.h"

namespace ui {
namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

bool DisplayAvailable() { return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM"); }

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
