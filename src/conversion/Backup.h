// The backup of one database before its conversion: its record store (SQLite's online backup)
// and its letter files, copied into <root>/<NAME>-<yyyymmdd-hhmmss>/ with a MANIFEST.
//
// MANIFEST, one line per copied file after a heading line, five fields separated by tabs:
//   <kind>\t<size>\t<sha256>\t<name in the backup>\t<path it was copied from>
// kind "store" (the record store, named <prefix>.records) or "letter". Tabs because names may
// hold blanks; a file whose name or path holds a tab or a line break cannot be listed, and the
// backup fails naming it. The MANIFEST is the last file written: a folder without one is not a
// backup.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "platform/ado/Provider.h"

namespace filomar {

inline constexpr const char* kManifestName = "MANIFEST";

struct BackupEntry {
  std::string kind;  // "store" or "letter"
  long long size = 0;
  std::string sha256;
  std::string name;  // in the backup folder
  std::string from;  // where it was copied from
};

// A backup whose files are copied and whose MANIFEST is still to be written. Finish touches
// files only, never the record library, so it may run on another thread while the conversion's
// steps run; the conversion commits only after it has succeeded.
class PendingBackup {
 public:
  const std::string& folder() const { return folder_; }
  // Gives every copied file its size and SHA-256 and writes the MANIFEST. On failure removes
  // the folder and returns false with `problem` naming the path and the reason.
  bool Finish(std::string& problem);

 private:
  friend std::optional<PendingBackup> CopySelectedDatabase(const std::string&, const std::string&,
                                                           const std::string&, std::time_t, std::string&);
  std::string folder_, name_;
  std::vector<BackupEntry> entries_;
};

// Copies the record store (online backup, synced) and the letter files (synced) of the
// database the record library has selected (name as catalogued, prefix of its store) into a
// new folder. nullopt with `problem` naming the path and the reason otherwise, after removing
// what it had written.
std::optional<PendingBackup> CopySelectedDatabase(const std::string& root, const std::string& name,
                                                  const std::string& prefix, std::time_t now, std::string& problem);

// CopySelectedDatabase and Finish in one: the folder's path on success.
std::optional<std::string> BackupSelectedDatabase(const std::string& root, const std::string& name,
                                                  const std::string& prefix, std::time_t now, std::string& problem);

// On the embedded engine (the server is a SQLite file) copies the server's database into
// <root>/server-<yyyymmdd-hhmmss>/server.sqlite with a MANIFEST of its own (kind "server"). The
// server writes the copy itself (VACUUM INTO), so it is consistent while the server is in use.
// The folder's path; an empty string, with nothing written, when the server is not the embedded
// one or cannot be asked; nullopt with `problem` when the copy cannot be written (what it had
// written is removed).
std::optional<std::string> BackupServerFile(const std::string& root, ado::ProviderFactory& server, std::time_t now,
                                            std::string& problem);

// Reads and checks a backup folder: every file the MANIFEST names has its size and SHA-256.
// nullopt with `problem` when the MANIFEST is missing or unreadable or a file differs.
std::optional<std::vector<BackupEntry>> VerifyBackup(const std::string& folder, std::string& problem);

// The newest backup folder of `name` under `root` (by the time in its name) that has a
// MANIFEST; nullopt when there is none. A folder without one was left by a run that stopped
// before its backup was complete.
std::optional<std::string> NewestBackup(const std::string& root, const std::string& name);

}  // namespace filomar
