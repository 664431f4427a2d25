// Putting a database back as a backup (Backup.h) holds it: its record store and its letter
// files, after the backup's MANIFEST checksums and SQLite's integrity check have passed.
//
// Nothing changes when the database is not catalogued, no backup is found, or the backup is
// damaged. The letter files are written beside their final names first; the store's content is
// replaced in one transaction; then the letters take their names and letter files the backup
// does not hold (the 5.0 names) are removed.
#pragma once

#include <string>

namespace filomar {

struct RestoreOutcome {
  bool restored = false;
  std::string text;  // what was restored, or why nothing was
};

// Restores catalogued database `name` from `folder`, or, when `folder` is empty, from the
// newest backup of it under `root`. Needs the record library connected; leaves the STANDARD
// database selected.
RestoreOutcome RestoreDatabase(const std::string& name, const std::string& folder, const std::string& root);

}  // namespace filomar
