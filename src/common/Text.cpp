#include "common/Text.h"

#include <algorithm>

namespace filomar {

char UpperCp1252(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
  switch (u) {
    case 0x9A: return static_cast<char>(0x8A);  // s caron
    case 0x9C: return static_cast<char>(0x8C);  // oe
    case 0x9E: return static_cast<char>(0x8E);  // z caron
    case 0xFF: return static_cast<char>(0x9F);  // y diaeresis
    default: return c;
  }
}

std::string UpperCp1252(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](char c) { return UpperCp1252(c); });
  return s;
}

std::string RTrim(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

std::string LTrim(std::string s) {
  s.erase(0, std::min(s.find_first_not_of(' '), s.size()));
  return s;
}

std::string Trim(std::string s) { return LTrim(RTrim(std::move(s))); }

std::string NumberWithSign(long value) {
  return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

}  // namespace filomar
