// Conversion of the product's single-byte text (Windows-1252) for display and back.
#pragma once

#include <string>

namespace ui {

std::string Cp1252ToUtf8(const std::string& text);
// Characters outside Windows-1252 become "?".
std::string Utf8ToCp1252(const std::string& text);

}  // namespace ui
