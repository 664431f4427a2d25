// Putting a database back as a backup (Backup.h) holds it: its record store and its letter
// files, all or nothing.
//
// A backup folder is outside input: anyone who can write the backup root may have put files,
// links or a MANIFEST of their own there. VerifyBackup checks the whole folder before the
// restore writes anything; only a folder that passes every check is used:
//  - the MANIFEST passes ReadManifest (a regular file, bounded, well formed, no name twice);
//  - its heading names the database restored, and its lines are one "store" line for the
//    database's own store name and "letter" lines whose names are letter file names;
//  - every file was copied from the database's own data directory under the name it has in
//    the folder, so a backup of another database or another site is refused;
//  - the MANIFEST's seal verifies under the site's key (Seal.h);
//  - every file is a regular file (opened without following links) with the size and SHA-256
//    the MANIFEST gives.
// A refusal names the first problem found and counts the others.
//
// The writes: the letters are copied beside their final names as ".restore-<name>" (checked
// against their sums again as they are copied, synced); then, in one database transaction of
// the store, the store's content is replaced by the backup's and the letters' renames (and the
// removal of letter files the backup does not hold) are journalled; the commit makes them take
// effect together. A process killed before the commit leaves the database as it was; one
// killed after it leaves the renames journalled, and the next open of the store finishes them.
// ".restore-" files a killed restore left are removed at the next start of the program
// (RemoveLeftoversOfInterruptedRestores), or by the next restore or conversion of the database.
#pragma once

#include <functional>
#include <string>

#include "backup/Manifest.h"
#include "common/Status.h"

namespace filomar::backup {

// What a backup must belong to: one catalogued database of this site.
struct RestoreTarget {
  std::string name;           // as catalogued, without trailing blanks
  std::string prefix;         // of its store, without trailing blanks
  std::string dataDirectory;  // as SelectedDataDirectory gives it
  std::string key;            // the site's key (Seal.h)
};

// Bytes done of a total, told as a long check goes on.
using CheckProgress = std::function<void(long long done, long long total)>;

// Checks `folder` as a backup of `target` (see above) and reads its MANIFEST into `manifest`.
// Ok, or Invalid/NotFound/IoError naming the first problem, with "(and N other problems)"
// when there are more. Reads the folder only. `progress`, when set, is told the bytes summed
// of the sizes the MANIFEST gives.
Status VerifyBackup(const std::string& folder, const RestoreTarget& target, Manifest& manifest,
                    const CheckProgress& progress = nullptr);

// Selects catalogued database `name` for the record library and gives what a backup of it
// must belong to, all but the site's key; the database stays selected. NotFound for a name
// not catalogued or a data directory not known, IoError when it cannot be selected; STANDARD
// is selected then.
Status SelectForRestore(const std::string& name, RestoreTarget& target);

// Checks `folder` as a restore of catalogued database `name` would before writing anything:
// VerifyBackup, then SQLite's integrity check of the store copy, read through the file
// VerifyBackup checked and changing nothing in the folder. `sums` is told VerifyBackup's
// progress, `store` the bytes the integrity check has read of an estimated total (first 0 of
// it once the sums have passed). Ok, or the first problem. Needs the record library
// connected; leaves STANDARD selected.
Status CheckBackup(const std::string& name, const std::string& folder, const CheckProgress& sums,
                   const CheckProgress& store);

// Removes the ".restore-" files a killed restore left in `directory`. Call only once the
// database's store has been opened (which finishes a committed restore's renames).
void RemoveRestoreLeftovers(const std::string& directory);

// At start-up, with the site held: removes the ".restore-" files of every catalogued database.
// A data directory that holds some has its store opened first, which finishes a committed
// restore's renames; the other directories are only listed, so a start stays cheap. Leaves the
// STANDARD database selected.
void RemoveLeftoversOfInterruptedRestores();

// Restores catalogued database `name` from `folder`, or, when `folder` is empty, from the
// newest backup of it under `root`. Needs the record library connected; leaves the STANDARD
// database selected. Ok only once the restored database reads back as release 4.0 and its
// letter files as the MANIFEST's sums. Otherwise the failure: NotFound for a name not
// catalogued or no backup found, Invalid for a backup VerifyBackup refuses, IoError when
// writing failed (in these cases nothing changed), or the read-back's failure after the
// commit. `report` is the sentence to show either way.
Status RestoreDatabase(const std::string& name, const std::string& folder, const std::string& root, std::string& report);

}  // namespace filomar::backup
