// Where a database's record store lives.
#pragma once

#include <string>

namespace reclib {

// The client directory: the run's program directory (winapi::AppPath), absolute, with no
// trailing "/". The inter-process FLMWIN_PATH is never read here: it may hold another run's.
std::string ClientDirectory();

// Resolves the data directory given to io_setDirectory. "\" separators become "/". An
// absolute directory is taken as it is; a relative one lies under [DATABASE] StandardDataDir
// of FLMWIN.INI in the client directory when that is set (itself under the client directory
// when relative), else under the client directory. Nothing is checked or created here.
std::string ResolveDataDirectory(const std::string& directory);

// While one is alive in the thread, ResolveDataDirectory takes the base of relative directories as it was
// when the first of them was made, instead of reading FLMWIN.INI again for each directory:
// a pass over the catalogue resolves every database's directory against one reading.
class DataRootHold {
 public:
  DataRootHold();
  ~DataRootHold();
  DataRootHold(const DataRootHold&) = delete;
  DataRootHold& operator=(const DataRootHold&) = delete;
};

}  // namespace reclib
