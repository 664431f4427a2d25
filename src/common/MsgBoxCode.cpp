#include "common/MsgBoxCode.h"

#include <algorithm>
#include <cctype>

namespace ui {

std::vector<int> ButtonsOf(std::uint16_t code) {
  switch (code & 0x0F) {
    case mb::OKCancel: return {kOK, kCancel};
    case mb::RetryCancel: return {kRetry, kCancel};
    default: return {kOK};
  }
}

int DefaultButtonOf(std::uint16_t code) {
  const auto buttons = ButtonsOf(code);
  if ((code & mb::DefaultButton2) != 0 && buttons.size() > 1) return buttons[1];
  return buttons[0];
}

int EscapeButtonOf(std::uint16_t code) {
  const auto buttons = ButtonsOf(code);
  if (std::find(buttons.begin(), buttons.end(), kCancel) != buttons.end()) return kCancel;
  return DefaultButtonOf(code);
}

Icon IconOf(std::uint16_t code) {
  switch (code & 0x70) {
    case mb::Critical: return Icon::Critical;
    case mb::Exclamation: return Icon::Exclamation;
    case mb::Information: return Icon::Information;
    default: return Icon::None;
  }
}

std::string ButtonName(int button) {
  switch (button) {
    case kOK: return "OK";
    case kCancel: return "Cancel";
    case kRetry: return "Retry";
    default: return "?";
  }
}

int ButtonFromName(const std::string& name) {
  std::string upper(name);
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
  if (upper == "OK") return kOK;
  if (upper == "CANCEL") return kCancel;
  if (upper == "RETRY") return kRetry;
  return 0;
}

}  // namespace ui
