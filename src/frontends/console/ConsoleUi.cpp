#include "frontends/console/ConsoleUi.h"

#include <cctype>
#include <istream>
#include <ostream>

#include "frontends/console/TextBox.h"

namespace ui {
namespace {

// The button an answer names: "2", "cancel", "c" ... 0 when it names none of `buttons`.
int ButtonFromAnswer(const std::string& answer, const std::vector<int>& buttons) {
  if (answer.size() == 1 && std::isdigit(static_cast<unsigned char>(answer[0]))) {
    const std::size_t n = static_cast<std::size_t>(answer[0] - '0');
    return n >= 1 && n <= buttons.size() ? buttons[n - 1] : 0;
  }
  for (const int b : buttons) {
    const std::string name = ButtonName(b);
    if (ButtonFromName(answer) == b) return b;
    if (answer.size() == 1 && std::toupper(static_cast<unsigned char>(answer[0])) == name[0]) return b;
  }
  return 0;
}

std::string Trimmed(const std::string& s) {
  const auto a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

}  // namespace

bool ConsoleUi::ReadLine(std::string& line) {
  out_.flush();
  return static_cast<bool>(std::getline(in_, line));
}

int ConsoleUi::MsgBox(const std::string& text, std::uint16_t code, const std::string& title) {
  out_ << "\n" << FormatMessageBox(text, title);
  const auto buttons = ButtonsOf(code);
  for (;;) {
    out_ << FormatButtons(code) << "> ";
    std::string line;
    if (!ReadLine(line)) {
      out_ << "\n";
      return EscapeButtonOf(code);
    }
    const std::string answer = Trimmed(line);
    if (answer.empty()) return DefaultButtonOf(code);
    if (const int b = ButtonFromAnswer(answer, buttons)) return b;
    out_ << "Please answer " << FormatButtons(code) << ".\n";
  }
}

void ConsoleUi::Beep() { out_ << '\a'; }

}  // namespace ui
