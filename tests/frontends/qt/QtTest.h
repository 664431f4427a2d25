// What the Qt window tests share. A window under test runs its own loop (a modal exec, the main
// window's loop), so a test acts from inside that loop once the window is up; every window runs
// on the offscreen platform, so that none reaches a real display.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QWidget>
#include <functional>

namespace filomar {
class DBSelect;
}

namespace qt_test {

// Runs the main window over `window` until the program ends; its exit status.
int RunMainWindowToEnd(filomar::DBSelect& window);

// Polls the event loop until the top-level window named `name` (the modal window when `name`
// is null) is shown, then runs `act` on it once.
void WhenShown(const char* name, std::function<void(QWidget*)> act);

struct ShownBox {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool cancelIsDefault = false;
  qsizetype buttons = 0;
};

}  // namespace qt_test
