// What a database's data directory holds besides its records: which names are letter files
// and which files belong to a record store.
#pragma once

#include <string>

namespace filomar {

// Whether `name` is a letter or action sheet file of a data directory ("Letter..." or
// "ActSht...", any case): what backups, restores and the dry run copy with the records.
bool IsLetterFileName(const std::string& name);

// Whether the file named `name` is a record store ("<prefix>.records") or one the record
// library or SQLite keeps beside a store: its lock file and its -wal, -shm and -journal files.
// Nothing but the library may write such a file.
bool BelongsToRecordStore(const std::string& name);

}  // namespace filomar
