// The backup of one database before its conversion: its record store and its letter files,
// copied into <root>/<NAME>-<yyyymmdd-hhmmss>/ with a MANIFEST (Manifest.h) written last.
//
// A backup is made in two halves so that the conversion's steps need not wait for the disk:
// CopySelectedDatabase copies the files before the first step (the store synced),
// PendingBackup::Finish syncs the letter copies, computes every file's size and SHA-256 sum and
// writes the MANIFEST while the steps run, and the conversion commits only once Finish has
// succeeded. Everything that could keep the MANIFEST from being written and is known beforehand
// (a name or path it cannot hold, a file that cannot be read) is found by CopySelectedDatabase;
// only an I/O failure while the copies are synced, the sums computed or the MANIFEST written can
// make Finish fail.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "backup/Manifest.h"
#include "common/Status.h"
#include "platform/ado/Provider.h"

namespace filomar::backup {

// The folder the record library's selected database lives in, as an absolute path without a
// trailing "/": the one the catalogue names, resolved by the record library and with links
// resolved, so that paths recorded by a backup compare with those of a restore. nullopt when
// no database is selected.
std::optional<std::string> SelectedDataDirectory();

// The letter files of data directory `directory` (regular files, links left out), as MANIFEST
// entries still without size and sum. Invalid naming the file when a name cannot be listed in
// a MANIFEST; IoError when the directory cannot be read.
Status ListLetters(const std::string& directory, std::vector<ManifestEntry>& letters);

// Copies each of `letters` (from its `from` path) into `folder` under its name, not synced: a
// backup's copies are synced by PendingBackup::Finish, off the conversion's path. IoError naming
// the copy when one cannot be written; what was copied before stays.
Status CopyLetters(const std::string& folder, const std::vector<ManifestEntry>& letters);

// A backup whose files are copied and whose MANIFEST is still to be written. Finish touches
// files only, never the record library, so it may run on another thread while the steps run.
class PendingBackup {
 public:
  const std::string& folder() const { return folder_; }
  // Syncs every copied file, gives it its size and SHA-256 and writes the MANIFEST. On failure
  // removes the folder and returns IoError naming the file and the reason.
  Status Finish();
  // Removes the folder: the run stopped before the database's first step.
  void Discard();

 private:
  friend Status CopySelectedDatabase(const std::string&, const std::string&, const std::string&, std::time_t,
                                     PendingBackup&);
  std::string folder_;
  std::string key_;  // the site's key, which seals the MANIFEST
  Manifest manifest_;
};

// Copies the record store (see CopyStore, synced) and the letter files of the database the
// record library has selected (name as catalogued, prefix of its store) into a new folder
// under `root`, made with "-2", "-3" ... added when a backup of the same second exists.
// The site's key (Seal.h) is made first when there is none. Invalid, with nothing written, when
// a letter name or the data directory's path holds a tab, a line break or a NUL, or the key is
// unfit; IoError naming the path when the folder cannot be made or a file
// cannot be read or copied, after removing what it had written.
Status CopySelectedDatabase(const std::string& root, const std::string& name, const std::string& prefix, std::time_t now,
                            PendingBackup& backup);

// On the embedded engine (the server is a SQLite file) copies the server's database into
// <root>/server-<yyyymmdd-hhmmss>/server.sqlite with a MANIFEST of its own (kind "server"). The
// server writes the copy itself (VACUUM INTO), so it is consistent while the server is in use.
// Ok with `folder` set to the new folder, or empty, with nothing written, when the server is
// not the embedded one; IoError when the copy cannot be written (what it wrote is removed).
Status BackupServerFile(const std::string& root, ado::ProviderFactory& server, std::time_t now, std::string& folder);

// The backup folders of `name` under `root` that have a MANIFEST, newest first (by the time
// in their names). A folder without one was left by a run that stopped before its backup was
// complete: it is not a backup.
std::vector<std::string> BackupFolders(const std::string& root, const std::string& name);

// The newest of BackupFolders; nullopt when there is none.
std::optional<std::string> NewestBackup(const std::string& root, const std::string& name);

}  // namespace filomar::backup
