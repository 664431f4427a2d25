// The database catalogue (the DB record file of the STANDARD database) and the version code
// of a database, as start-up, the main window and convertdb read them through Vb_io.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace filomar {

inline constexpr const char* kVersion40 = "400A";  // a database still in the 4.0 layout
inline constexpr const char* kVersion50 = "500A";  // a converted database
inline constexpr const char* kStandardName = "STANDARD";

struct CatalogueEntry {
  std::string name;
  std::string directory;  // data directory
  std::string prefix;
};

// The catalogue fields of the record in DB's buffer.
CatalogueEntry EntryInBuffer();
// Reads the catalogue record whose key is `name` from the open DB file; nullopt when the
// catalogue has none.
std::optional<CatalogueEntry> ReadCatalogueEntry(const std::string& name);
// Selects STANDARD and reads the catalogue record of `name` from its DB file, opened and
// closed here; STANDARD stays selected.
std::optional<CatalogueEntry> FindCatalogueEntry(const std::string& name);
// Selects a database for the record library. False when the library refuses the selection
// (then no database is selected, so no record of another database can be reached); `problem`,
// when given, then says which database and why.
bool SelectDatabase(const CatalogueEntry& entry, std::string* problem = nullptr);
// Opens the selected database's CONF, reads record "C00" and closes CONF again: the version
// code's four bytes as stored (blanks and NULs included). nullopt when "C00" cannot be read; `problem`, when given, then names the store and the reason.
std::optional<std::string> ReadVersionCode(std::string* problem = nullptr);
// Every record of STANDARD's DB file, which is selected, opened and closed here; no database
// is selected or opened for it. Empty when DB cannot be opened.
std::vector<CatalogueEntry> CatalogueEntries();
// Scans the catalogue (CatalogueEntries) from its first record: for each database, selects it,
// reads its version code, selects STANDARD again and hands them to `visit`, which returns
// false to stop the scan. `problem` is empty when the version was read, else it says why the
// database could not be selected or its version read.
using CatalogueVisitor = std::function<bool(const CatalogueEntry& entry, const std::optional<std::string>& version,
                                            const std::string& problem)>;
void ScanCatalogue(const CatalogueVisitor& visit);
// True when `code` was read and equals `version` (case and trailing blanks aside).
bool IsVersion(const std::optional<std::string>& code, const char* version);

// Remembers the record library's current database and selects it again when it goes out of
// scope, so that looking at other databases never moves a conversion onto their files.
class KeepCurrentDatabase {
 public:
  KeepCurrentDatabase();
  ~KeepCurrentDatabase();
  KeepCurrentDatabase(const KeepCurrentDatabase&) = delete;
  KeepCurrentDatabase& operator=(const KeepCurrentDatabase&) = delete;

 private:
  bool known_ = false;
  std::string directory_;
  std::string prefix_;
};

}  // namespace filomar
