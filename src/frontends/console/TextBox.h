// How the line-based front ends print a message box.
#pragma once

#include <cstdint>
#include <string>

namespace ui {

// "[title]" and the text on the lines below, with the product's CR and CR LF line breaks as
// newlines, in UTF-8.
std::string FormatMessageBox(const std::string& text, const std::string& title);
// "OK / Cancel" with the default button marked: "[OK] / Cancel".
std::string FormatButtons(std::uint16_t code);

}  // namespace ui
