#include "platform/copylib/copyp.h"

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/copylib/InstallRecordFile.h"
#include "platform/winapi/FileLookup.h"

namespace {
namespace fs = std::filesystem;

// The directory named by `path`, its last component found without regard to case.
fs::path ResolveDirectory(fs::path dir) {
  std::error_code ec;
  if (!dir.has_filename()) dir = dir.parent_path();  // "/site/" names "/site"
  const auto found = winapi::ResolveNoCase(dir, ec);
  return found ? *found : dir;
}

std::optional<copylib::InstallRecord> FindRecord(const std::string& path) {
  const fs::path dir = ResolveDirectory(winapi::ToPosixSeparators(path));
  if (auto record = copylib::ReadInstallRecord(dir)) return record;
  return copylib::ReadInstallRecord(ResolveDirectory(dir / "data"));
}

}  // namespace

extern "C" short copyp(short mode, const char* path, char* record, short selector) {
  if (mode != 0 || path == nullptr || *path == '\0' || record == nullptr) return 0;
  if (selector != COPYP_ENGINE_READ && selector != COPYP_PASSWORD_READ) return 0;
  try {
    const auto found = FindRecord(path);
    if (!found) return 0;
    std::memcpy(record, &*found, sizeof *found);
    return 1;
  } catch (...) {  // a directory that fails while it is listed; nothing may escape a C entry point
    return 0;
  }
}
