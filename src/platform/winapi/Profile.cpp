#include "platform/winapi/Profile.h"

#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <cerrno>
#include <functional>
#include <optional>

#include "platform/winapi/FileLookup.h"
#include "platform/winapi/RegularFile.h"

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

// No setting is anywhere near this long; a longer line is skipped as malformed, and only this
// much of it is ever held in memory.
constexpr std::size_t kMaxLineLength = 64 * 1024;

// Calls `onLine` for each line of the regular file `path` no longer than kMaxLineLength, until
// it returns true. False when the file cannot be opened as a regular file or read.
bool ForEachLine(const std::string& path, const std::function<bool(const std::string&)>& onLine) {
  const int fd = OpenRegularFile(path);
  if (fd < 0) return false;
  std::string line;
  bool overlong = false;
  char chunk[16384];
  bool done = false, ok = true;
  while (!done) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      if (ok && !overlong && !line.empty()) onLine(line);
      break;
    }
    for (const char* p = chunk; p < chunk + n && !done; ++p) {
      if (*p == '\n') {
        done = !overlong && onLine(line);
        line.clear();
        overlong = false;
      } else if (line.size() < kMaxLineLength) {
        line += *p;
      } else {
        overlong = true;
      }
    }
  }
  ::close(fd);
  return ok;
}

std::optional<std::string> FindValue(const std::string& path, const std::string& section, const std::string& key) {
  std::optional<std::string> found;
  bool inSection = false;
  ForEachLine(path, [&](const std::string& line) {
    const std::string t = Trim(line);
    if (t.empty() || t[0] == ';') return false;
    if (t.front() == '[') {
      const auto close = t.find(']');
      inSection = close != std::string::npos && EqualNoCase(Trim(t.substr(1, close - 1)), section);
      return false;
    }
    const auto eq = t.find('=');
    if (!inSection || eq == std::string::npos || !EqualNoCase(Trim(t.substr(0, eq)), key)) return false;
    found = Unquote(Trim(t.substr(eq + 1)));
    return true;
  });
  return found;
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
