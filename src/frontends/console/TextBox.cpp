#include "frontends/console/TextBox.h"

#include "common/Cp1252.h"
#include "common/MsgBoxCode.h"

namespace ui {

std::string FormatMessageBox(const std::string& text, const std::string& title) {
  std::string body;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      body += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      body += text[i];
    }
  }
  while (!body.empty() && body.back() == '\n') body.pop_back();
  return "[" + Cp1252ToUtf8(title) + "]\n" + Cp1252ToUtf8(body) + "\n";
}

std::string FormatButtons(std::uint16_t code) {
  std::string line;
  const int def = DefaultButtonOf(code);
  for (const int b : ButtonsOf(code)) {
    if (!line.empty()) line += " / ";
    line += b == def ? "[" + ButtonName(b) + "]" : ButtonName(b);
  }
  return line;
}

}  // namespace ui
