#include "frontends/faces/LoginFace.h"

#include <termios.h>
#include <unistd.h>

#include <ostream>

#include "shared/ProgramEnd.h"
#include "common/Cp1252.h"

namespace ui {
namespace {

// Turns terminal echo off for the life of the object when standard input is a terminal.
class NoEcho {
 public:
  NoEcho() {
    if (isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved_) == 0) {
      termios quiet = saved_;
      quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
      active_ = tcsetattr(STDIN_FILENO, TCSANOW, &quiet) == 0;
    }
  }
  ~NoEcho() {
    if (active_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
  }
  NoEcho(const NoEcho&) = delete;
  NoEcho& operator=(const NoEcho&) = delete;

 private:
  termios saved_{};
  bool active_ = false;
};

void ShowDatabaseList(const filomar::login& form, std::ostream& out) {
  out << "Databases:\n";
  for (std::size_t i = 0; i < form.Combo1.size(); ++i)
    out << (static_cast<int>(i) == form.Combo1ListIndex ? " * " : "   ") << Cp1252ToUtf8(form.Combo1[i]) << "\n";
}

// One round of the window: false when the input ended (which presses Exit).
bool AskOnce(filomar::login& form, ConsoleUi& console) {
  std::ostream& out = console.Out();
  std::string line;
  out << form.Label1 << ": ";
  if (!console.ReadLine(line)) return false;
  form.UID_Change(Utf8ToCp1252(line));
  form.UID_LostFocus();
  ShowDatabaseList(form, out);
  out << form.Label2 << ": ";
  {
    NoEcho quiet;
    if (!console.ReadLine(line)) return false;
  }
  out << "\n";
  form.PWD_Change(Utf8ToCp1252(line));
  for (;;) {
    out << "[OK] / Exit> ";
    if (!console.ReadLine(line)) return false;
    if (line.empty() || line == "ok" || line == "OK" || line == "o") {
      form.ok_Click();
      return true;
    }
    if (line == "exit" || line == "Exit" || line == "x" || line == "e") {
      form.cancel_Click();
      return true;
    }
  }
}

}  // namespace

int RunLoginOnConsole(filomar::login& form, ConsoleUi& console) {
  form.Form_Load();
  console.Out() << "\n[" << form.caption << "]\n";
  while (!form.closed) {
    if (!AskOnce(form, console)) form.cancel_Click();
  }
  return filomar::kExitCancelled;
}

std::string ReadPasswordLine(std::istream& in) {
  std::string line;
  std::getline(in, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

int RunLoginInBatch(filomar::login& form, std::ostream& out, const std::string& userId,
                    const std::string& password) {
  form.Form_Load();
  out << "\n[" << form.caption << "]\nSign-on as " << userId << " (password from standard input)\n";
  form.UID_Change(Utf8ToCp1252(userId));
  form.UID_LostFocus();
  ShowDatabaseList(form, out);
  form.PWD_Change(Utf8ToCp1252(password));
  form.ok_Click();
  if (form.closed) return filomar::kExitCancelled;
  form.cancel_Click();
  return filomar::kExitFailure;
}

}  // namespace ui
