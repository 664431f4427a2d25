#include "platform/winapi/AppPath.h"

#include <cstdlib>
#include <filesystem>

namespace winapi {

std::string AppPath() {
  const char* home = std::getenv("FILOMAR_HOME");
  std::string dir;
  if (home != nullptr && *home != '\0') {
    dir = home;
  } else {
    std::error_code ec;
    dir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string();
    if (ec) dir = std::filesystem::current_path(ec).string();
  }
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

}  // namespace winapi
