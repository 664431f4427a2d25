#include "platform/winapi/Profile.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <optional>

#include "platform/winapi/FileLookup.h"

namespace winapi {
namespace {

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

// A value written in double quotes loses them, as Windows does.
std::string Unquote(const std::string& v) {
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
  return v;
}

std::optional<std::string> FindValue(const std::string& path, const std::string& section, const std::string& key) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string line;
  bool inSection = false;
  while (std::getline(in, line)) {
    const std::string t = Trim(line);
    if (t.empty() || t[0] == ';') continue;
    if (t.front() == '[') {
      const auto close = t.find(']');
      inSection = close != std::string::npos && EqualNoCase(Trim(t.substr(1, close - 1)), section);
      continue;
    }
    if (!inSection) continue;
    const auto eq = t.find('=');
    if (eq == std::string::npos) continue;
    if (EqualNoCase(Trim(t.substr(0, eq)), key)) return Unquote(Trim(t.substr(eq + 1)));
  }
  return std::nullopt;
}

std::uint32_t CopyOut(const std::string& value, char* buffer, std::uint32_t size) {
  if (buffer == nullptr || size == 0) return 0;
  // Windows stops at an embedded NUL as a C string would.
  const std::size_t len = std::min<std::size_t>(strnlen(value.c_str(), value.size()), size - 1);
  std::memcpy(buffer, value.data(), len);
  buffer[len] = '\0';
  return static_cast<std::uint32_t>(len);
}

std::string LocaleDateFormat() {
  locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) loc = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return "%m/%d/%y";
  std::string fmt = nl_langinfo_l(D_FMT, loc);
  freelocale(loc);
  return fmt;
}

}  // namespace

std::uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                       char* buffer, std::uint32_t size, const char* fileName) {
  const std::string fallback = defaultValue ? defaultValue : "";
  if (section == nullptr || key == nullptr || fileName == nullptr) return CopyOut(fallback, buffer, size);
  std::error_code ec;
  const auto path = ResolveNoCase(fileName, ec);
  if (!path) return CopyOut(fallback, buffer, size);
  const auto value = FindValue(path->string(), section, key);
  return CopyOut(value.value_or(fallback), buffer, size);
}

std::uint32_t GetProfileStringA(const char* section, const char* key, const char* defaultValue,
                                char* buffer, std::uint32_t size) {
  const std::string fallback = defaultValue ? defaultValue : "";
  if (section && key && EqualNoCase(section, "intl") && EqualNoCase(key, "sShortDate"))
    return CopyOut(ShortDatePatternFromStrftime(LocaleDateFormat()), buffer, size);
  return CopyOut(fallback, buffer, size);
}

std::string ShortDatePatternFromStrftime(const std::string& format) {
  std::string out;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 == format.size()) {
      out += format[i];
      continue;
    }
    char c = format[++i];
    // glibc flags ("%-d", "%Ey", "%Od") change padding or numerals only.
    while ((c == '-' || c == '_' || c == '0' || c == 'E' || c == 'O') && i + 1 < format.size()) c = format[++i];
    switch (c) {
      case 'd': out += "dd"; break;
      case 'e': out += "d"; break;
      case 'm': out += "MM"; break;
      case 'y': out += "yy"; break;
      case 'Y': out += "yyyy"; break;
      case 'b': case 'h': out += "MMM"; break;
      case 'D': out += "MM/dd/yy"; break;
      case 'F': out += "yyyy-MM-dd"; break;
      case '%': out += '%'; break;
      default: break;
    }
  }
  return out;
}

}  // namespace winapi
