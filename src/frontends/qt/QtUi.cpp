#include "frontends/qt/QtUi.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <map>

#include "frontends/qt/QtText.h"

namespace ui {
namespace {

QMessageBox::StandardButton QtButton(int button) {
  switch (button) {
    case kCancel: return QMessageBox::Cancel;
    case kRetry: return QMessageBox::Retry;
    default: return QMessageBox::Ok;
  }
}

QMessageBox::Icon QtIcon(Icon icon) {
  switch (icon) {
    case Icon::Critical: return QMessageBox::Critical;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Information: return QMessageBox::Information;
    case Icon::None: break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QtUi::~QtUi() {
  if (busy_) QGuiApplication::restoreOverrideCursor();
}

int QtUi::MsgBox(const std::string& text, std::uint16_t code, const std::string& title) {
  QMessageBox box(QtIcon(IconOf(code)), ToQt(title), ToQt(text), QMessageBox::NoButton,
                  QApplication::activeWindow());
  std::map<QAbstractButton*, int> pressed;
  for (const int button : ButtonsOf(code)) pressed[box.addButton(QtButton(button))] = button;
  box.setDefaultButton(QtButton(DefaultButtonOf(code)));
  box.setEscapeButton(box.button(QtButton(EscapeButtonOf(code))));
  box.exec();
  const auto answer = pressed.find(box.clickedButton());
  return answer != pressed.end() ? answer->second : EscapeButtonOf(code);
}

void QtUi::DoEvents() { QCoreApplication::processEvents(); }

// The override cursor stacks; only the change from one pointer to the other touches it.
void QtUi::SetMousePointer(MousePointer pointer) {
  const bool busy = pointer == MousePointer::Hourglass;
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  else QGuiApplication::restoreOverrideCursor();
}

void QtUi::Beep() { QApplication::beep(); }

ScreenSize QtUi::Screen() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  const QRect area = screen->geometry();
  return {area.width(), area.height()};
}

}  // namespace ui
