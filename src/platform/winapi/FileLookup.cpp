#include "platform/winapi/FileLookup.h"

#include <algorithm>
#include <cctype>

namespace winapi {
namespace fs = std::filesystem;

std::string ToPosixSeparators(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

namespace {

bool IsMissing(const std::error_code& ec) {
  return ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory;
}

}  // namespace

std::optional<fs::path> ResolveNoCase(const fs::path& path, std::error_code& ec) {
  ec.clear();
  const std::string name = path.filename().string();
  if (name.empty()) return std::nullopt;
  const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
  if (fs::exists(fs::symlink_status(path, ec))) return path;
  if (ec && !IsMissing(ec)) return std::nullopt;
  ec.clear();
  fs::directory_iterator it(dir, ec);
  if (ec) {
    if (IsMissing(ec)) ec.clear();
    return std::nullopt;
  }
  for (const auto& entry : it) {
    if (EqualNoCase(entry.path().filename().string(), name)) return entry.path();
  }
  return std::nullopt;
}

}  // namespace winapi
