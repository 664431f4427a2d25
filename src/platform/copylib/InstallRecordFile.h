// Reading and writing the installation record file for the site tool and the tests.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "platform/copylib/InstallRecord.h"

namespace copylib {

// The record of the file `kInstallRecordFileName` in `dir` (name found without regard to
// case). nullopt when the file is missing, unreadable, or not exactly one record with the
// right magic and version.
std::optional<InstallRecord> ReadInstallRecord(const std::filesystem::path& dir);

// The record's fields as text: the engine letter and the password without its blank padding.
struct InstallInfo {
  char engine = ' ';
  std::string password;
};
InstallInfo Describe(const InstallRecord& record);

// Replaces the installation record in `dir` (which must exist) atomically: a temporary file of
// mode 0600 is written, synced and renamed over the record, so a reader sees the old record or
// the new one, never a part. A password longer than kPasswordWidth is refused
// (invalid_argument) rather than cut short.
std::error_code WriteInstallRecord(const std::filesystem::path& dir, char engineLetter, const std::string& password);

}  // namespace copylib
