// A data source "filomar4" on a fresh SQLite file through the SQLite ODBC driver, declared in
// a temporary odbc.ini that ODBCINI points at while the object lives.
#pragma once

#include <string>

#include "support/TempDir.h"

namespace testing_support {

class OdbcSite {
 public:
  OdbcSite()
      : ini_(dir_.Write("odbc.ini", "[filomar4]\nDriver=SQLite3\nDatabase=" + dir_.str() + "/server.db\n")),
        env_("ODBCINI", ini_) {}
  std::string DatabaseFile() const { return dir_.str() + "/server.db"; }

 private:
  TempDir dir_;
  std::string ini_;
  ScopedEnv env_;
};

}  // namespace testing_support
