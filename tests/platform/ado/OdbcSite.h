// A data source "filomar4" on a fresh SQLite file through the SQLite ODBC driver, declared in
// a temporary odbc.ini that ODBCINI points at while the object lives.
//
// unixODBC remembers for about 20 seconds which driver a data source name uses, whatever
// ODBCINI says meanwhile; so a test that needs filomar4 to fail gives it a database file that
// cannot be created rather than leaving the name out.
#pragma once

#include <string>

#include "support/TempDir.h"

namespace testing_support {

class OdbcSite {
 public:
  OdbcSite() : OdbcSite("") {}
  // `databaseFile` empty: a new file in the site's temporary directory.
  explicit OdbcSite(const std::string& databaseFile)
      : ini_(dir_.Write("odbc.ini", "[filomar4]\nDriver=SQLite3\nDatabase=" +
                                        (databaseFile.empty() ? DatabaseFile() : databaseFile) + "\n")),
        env_("ODBCINI", ini_) {}
  std::string DatabaseFile() const { return dir_.str() + "/server.db"; }

 private:
  TempDir dir_;
  std::string ini_;
  ScopedEnv env_;
};

}  // namespace testing_support
