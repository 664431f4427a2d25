// Driving the real Qt windows from a test: the window under test runs its own loop (a modal
// exec, the main window's loop), so the test acts from inside that loop once the window is up.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace ui_qt_test {

// Polls the event loop until `find` yields a widget, then runs `act` on it once.
inline void WhenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> act) {
  auto* poll = new QTimer(qApp);
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, find = std::move(find), act = std::move(act)] {
    QWidget* widget = find();
    if (widget == nullptr || !widget->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    act(widget);
  });
  poll->start();
}

// The window that `exec` made modal.
inline void WhenModal(std::function<void(QWidget*)> act) {
  WhenShown([] { return QApplication::activeModalWidget(); }, std::move(act));
}

// A shown top-level window by object name.
inline void WhenWindowShown(const char* name, std::function<void(QWidget*)> act) {
  WhenShown(
      [name]() -> QWidget* {
        for (QWidget* window : QApplication::topLevelWidgets())
          if (window->objectName() == name) return window;
        return nullptr;
      },
      std::move(act));
}

}  // namespace ui_qt_test
