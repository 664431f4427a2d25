// The sign-on window on Qt: a modal dialog that shows the login presenter and forwards its
// events. Child widgets carry the presenter's control names (UID, PWD, Combo1, ok, cancel).
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "startup/login.h"
#include "frontends/qt/EventGuard.h"

class QComboBox;
class QLineEdit;

namespace ui {

class LoginDialog : public QDialog {
 public:
  // The presenter must be loaded (Form_Load) and outlive the dialog.
  explicit LoginDialog(filomar::login& form, QWidget* parent = nullptr);

  // Runs the dialog modally until the presenter closes it; rethrows what an event threw
  // (ProgramEnd when the run ended inside the window).
  void Run();

  // Escape and the frame's close button.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  // Runs a presenter event, then shows the presenter's state; closes when it says so.
  template <class Event>
  void Forward(Event&& event);
  void Refresh();
  void FocusPresentersControl();

  filomar::login& form_;
  EventGuard guard_;
  QLineEdit* uid_;
  QLineEdit* pwd_;
  QComboBox* combo_;
  std::vector<std::string> shownList_;
};

}  // namespace ui
