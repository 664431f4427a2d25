// What the statements of a conversion would meet on the server, found by reading the server's
// catalogue (ODBC's SQLTables and SQLColumns) and never by sending a statement: the dry run's
// way of saying which statements would fail without changing anything on the server.
//
// The statements are taken in the order they would be sent; what an earlier one would create or
// drop counts for the later ones, across databases too. Read anywhere in a statement or batch,
// in any letter case:
//   ALTER TABLE t ADD c ...  /  ADD (c ..., d ...)     t must exist and hold none of the columns
//   CREATE TABLE t (...)                               t must not exist
//   CREATE [UNIQUE] [CLUSTERED|NONCLUSTERED] INDEX i ON t (c, ...)
//                                                      t and the indexed columns must exist
//   CREATE SEQUENCE s                                  no table or view may be named s
//   DROP TABLE t                                       t is gone for the statements after it
// CREATE OR REPLACE and every other statement are taken as fine. What only running a
// statement shows is not found: privileges, locks, space, index names, sequences that a
// driver does not list, type errors.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/ado/Connection.h"
#include "platform/ado/Provider.h"

namespace filomar {

class ServerCatalogueCheck {
 public:
  // Opens a connection of its own on the site's connection string through `server`, which
  // must outlive the check. `upperCaseNames`: the server keeps unquoted names in upper case
  // (Oracle), so the catalogue is asked in upper case.
  ServerCatalogueCheck(ado::ProviderFactory& server, bool upperCaseNames);

  // Why `statement` would fail, one reason per object: "the column fin_file.file_ucode1
  // already exists", "no table fin_docs", "the table fin_rcat already exists", "no column
  // fin_docs.doc_x", "the name fin_seq is taken by a table or view". Empty when nothing
  // would fail or when the catalogue cannot be read (see Failure).
  std::vector<std::string> WouldFail(const std::string& statement);

  // Empty while the catalogue could be read; else the server's error text.
  const std::string& Failure() const { return failure_; }

 private:
  bool TableExists(const std::string& table);
  std::set<std::string>& ColumnsOf(const std::string& table);
  std::string Pattern(const std::string& name) const;
  void Fail(const char* what);

  ado::Connection connection_;
  bool upperCaseNames_;
  std::string failure_;
  std::map<std::string, bool> tables_;                    // by lower-case name: exists now
  std::map<std::string, std::set<std::string>> columns_;  // by lower-case table: lower-case columns
};

}  // namespace filomar
