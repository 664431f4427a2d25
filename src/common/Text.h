// Single-byte (Windows-1252) text helpers shared by the product modules.
#pragma once

#include <string>

namespace filomar {

char UpperCp1252(char c);
std::string UpperCp1252(std::string s);
// Removes trailing blanks (spaces only, as the product's RTrim does).
std::string RTrim(std::string s);
std::string LTrim(std::string s);
std::string Trim(std::string s);
// A number as the platform writes it for messages: a leading blank for the sign of a
// non-negative number (" 85", "-1").
std::string NumberWithSign(long value);

}  // namespace filomar
