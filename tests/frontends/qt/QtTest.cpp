#include "QtTest.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <cstdlib>

#include "frontends/qt/QtFaces.h"
#include "shared/ProgramEnd.h"

namespace qt_test {

int RunMainWindowToEnd(filomar::DBSelect& window) {
  try {
    ui::RunMainWindow(window);
  } catch (const filomar::ProgramEnd& end) {
    return end.status;
  }
}

void WhenShown(const char* name, std::function<void(QWidget*)> act) {
  auto* poll = new QTimer(qApp);
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, name, act = std::move(act)] {
    QWidget* widget = name == nullptr ? QApplication::activeModalWidget() : nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
      if (name != nullptr && window->objectName() == name) widget = window;
    if (widget == nullptr || !widget->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    act(widget);
  });
  poll->start();
}

}  // namespace qt_test

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
