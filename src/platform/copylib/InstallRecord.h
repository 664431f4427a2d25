// The installation record: which database engine the site runs and the password of the
// product's server account. It is the file install.rec of the site's data directory, holding
// exactly one packed InstallRecord (single-byte text, no line end).
#pragma once

#include <cstddef>

namespace copylib {

inline constexpr char kInstallRecordMagic[4] = {'F', 'M', 'I', 'R'};
inline constexpr char kInstallRecordVersion[2] = {'0', '1'};
inline constexpr std::size_t kPasswordWidth = 40;

struct InstallRecord {
  char magic[4];                   // kInstallRecordMagic: a foreign file is rejected
  char version[2];                 // kInstallRecordVersion
  char engine[1];                  // 'O' Oracle; anything else SQL Server
  char password[kPasswordWidth];   // blank padded
};

static_assert(sizeof(InstallRecord) == 47, "InstallRecord is a packed single-byte layout");

inline constexpr const char* kInstallRecordFileName = "install.rec";

}  // namespace copylib
