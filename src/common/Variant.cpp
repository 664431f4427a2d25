#include "common/Variant.h"

#include <cctype>
#include <vector>

#include "common/Text.h"

namespace filomar {
namespace {

// Splits "13.07.2006" into {13, 7, 2006}; remembers how many digits each part had.
bool SplitNumbers(const std::string& text, std::vector<int>& numbers, std::vector<std::size_t>& widths) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t start = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    if (i == start || i - start > 4) return false;
    numbers.push_back(std::stoi(text.substr(start, i - start)));
    widths.push_back(i - start);
    if (i == text.size()) break;
    if (text[i] != '/' && text[i] != '.' && text[i] != '-') return false;
    if (++i == text.size()) return false;
  }
  return numbers.size() == 3;
}

int FullYear(int year, std::size_t width) {
  if (width > 2) return year;
  return year < 30 ? 2000 + year : 1900 + year;
}

}  // namespace

std::optional<Date> ParseDate(const std::string& text, const std::string& shortDatePattern) {
  std::vector<int> n;
  std::vector<std::size_t> w;
  if (!SplitNumbers(Trim(text), n, w)) return std::nullopt;
  int y = 0, m = 0, d = 0;
  const char first = shortDatePattern.empty() ? 'M' : UpperCp1252(shortDatePattern[0]);
  if (w[0] > 2 || first == 'Y') {
    y = FullYear(n[0], w[0]), m = n[1], d = n[2];
  } else if (first == 'M') {
    m = n[0], d = n[1], y = FullYear(n[2], w[2]);
  } else {
    d = n[0], m = n[1], y = FullYear(n[2], w[2]);
  }
  const Date date{std::chrono::year(y), std::chrono::month(static_cast<unsigned>(m)),
                  std::chrono::day(static_cast<unsigned>(d))};
  if (!date.ok()) return std::nullopt;
  return date;
}

std::optional<Date> AsDate(const Variant& value, const std::string& shortDatePattern) {
  if (const auto* d = std::get_if<Date>(&value)) return d->ok() ? std::optional<Date>(*d) : std::nullopt;
  if (const auto* s = std::get_if<std::string>(&value)) return ParseDate(*s, shortDatePattern);
  return std::nullopt;
}

}  // namespace filomar
