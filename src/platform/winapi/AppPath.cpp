#include "platform/winapi/AppPath.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace winapi {
namespace {

namespace fs = std::filesystem;

std::optional<std::string>& Pinned() {
  static std::optional<std::string> pinned;
  return pinned;
}

// A directory that does not exist yet keeps its absolute spelling; the parts that exist have
// their links resolved.
std::string Absolute(const fs::path& dir) {
  std::error_code ec;
  fs::path resolved = fs::weakly_canonical(fs::absolute(dir, ec), ec);
  if (ec) resolved = fs::absolute(dir, ec).lexically_normal();
  std::string text = resolved.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

std::string Resolve() {
  const char* home = std::getenv("FILOMAR_HOME");
  if (home != nullptr && *home != '\0') return Absolute(home);
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return Absolute(ec ? fs::current_path(ec) : exe.parent_path());
}

}  // namespace

std::string AppPath() { return Pinned() ? *Pinned() : Resolve(); }

void PinAppPath() { Pinned() = Resolve(); }

}  // namespace winapi
