#include "frontends/qt/LoginDialog.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "frontends/qt/Button.h"
#include "frontends/qt/QtText.h"

namespace ui {
namespace {

using Control = filomar::login::Control;

// The mouse button and shift state in the product's numbering.
int ButtonNumber(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
  }
}

int ShiftState(Qt::KeyboardModifiers modifiers) {
  return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) | (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
         (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

}  // namespace

LoginDialog::LoginDialog(filomar::login& form, QWidget* parent)
    : QDialog(parent),
      form_(form),
      guard_([this] { done(QDialog::Rejected); }),
      uid_(new QLineEdit(this)),
      pwd_(new QLineEdit(this)),
      combo_(new QComboBox(this)) {
  setObjectName("login");
  setWindowTitle(ToQt(form_.caption));
  uid_->setObjectName("UID");
  uid_->setMaxLength(static_cast<int>(filomar::login::kUidMaxLength));
  pwd_->setObjectName("PWD");
  pwd_->setMaxLength(static_cast<int>(filomar::login::kPwdMaxLength));
  pwd_->setEchoMode(QLineEdit::Password);
  pwd_->setStyleSheet("lineedit-password-character: 42");  // one "*" per character, whatever the style
  combo_->setObjectName("Combo1");
  QPushButton* ok = Button(form_.okCaption, "ok", this);
  QPushButton* cancel = Button(form_.cancelCaption, "cancel", this);
  ok->setDefault(true);

  auto* fields = new QFormLayout;
  fields->addRow(ToQt(form_.Label1), uid_);
  fields->addRow(ToQt(form_.Label2), pwd_);
  fields->addRow(combo_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addStretch();
  layout->addLayout(buttons);

  // Only typing is forwarded: the presenter already knows what Refresh puts into the boxes.
  connect(uid_, &QLineEdit::textEdited, this,
          [this](const QString& text) { Forward([&] { form_.UID_Change(FromQt(text)); }); });
  connect(pwd_, &QLineEdit::textEdited, this,
          [this](const QString& text) { Forward([&] { form_.PWD_Change(FromQt(text)); }); });
  connect(combo_, qOverload<int>(&QComboBox::activated), this,
          [this](int index) { Forward([&] { form_.Combo1_Click(index); }); });
  connect(ok, &QPushButton::clicked, this, [this] {
    Forward([this] { form_.ok_Click(); });
    if (!guard_.Ended() && !form_.closed) FocusPresentersControl();
  });
  connect(cancel, &QPushButton::clicked, this, [this] { Forward([this] { form_.cancel_Click(); }); });
  uid_->installEventFilter(this);
  combo_->installEventFilter(this);

  setGeometry(form_.left, form_.top, form_.width, form_.height);
  Refresh();
  uid_->setFocus();
}

void LoginDialog::Run() {
  if (!form_.closed && !guard_.Ended()) exec();
  guard_.RethrowIfEnded();
}

void LoginDialog::reject() { Forward([this] { form_.Form_FrameClose(); }); }

// The focus moving between controls; a focus lost or gained with the whole window (a message
// box, a popup, another application) is no event of the presenter.
bool LoginDialog::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    const bool withinWindow = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    if (withinWindow && watched == uid_ && type == QEvent::FocusOut) Forward([this] { form_.UID_LostFocus(); });
    if (withinWindow && watched == combo_ && type == QEvent::FocusIn) Forward([this] { form_.Combo1_GotFocus(); });
  }
  return QDialog::eventFilter(watched, event);
}

void LoginDialog::mousePressEvent(QMouseEvent* event) {
  const int button = ButtonNumber(event->button());
  const int shift = ShiftState(event->modifiers());
  Forward([&] { form_.Form_MouseDown(button, shift); });
}

// A closed window takes no more events: the focus leaving it as it hides must not read the
// user file that OK has closed.
template <class Event>
void LoginDialog::Forward(Event&& event) {
  if (form_.closed || guard_.Ended()) return;
  guard_.Run(std::forward<Event>(event));
  if (guard_.Ended()) return;
  Refresh();
  if (form_.closed) done(QDialog::Accepted);
}

void LoginDialog::Refresh() {
  if (uid_->text() != ToQt(form_.UID)) uid_->setText(ToQt(form_.UID));
  if (pwd_->text() != ToQt(form_.PWD)) pwd_->setText(ToQt(form_.PWD));
  const QSignalBlocker quiet(combo_);
  if (shownList_ != form_.Combo1) {
    shownList_ = form_.Combo1;
    combo_->clear();
    for (const std::string& entry : shownList_) combo_->addItem(ToQt(entry));
  }
  combo_->setCurrentIndex(form_.Combo1ListIndex);
}

// Only OK moves the focus (to the box whose entry was refused); after other events the focus
// stays where the user put it.
void LoginDialog::FocusPresentersControl() {
  if (form_.focus == Control::PWD) pwd_->setFocus();
  else if (form_.focus == Control::UID) uid_->setFocus();
}

}  // namespace ui
