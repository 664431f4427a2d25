// The seam between the ADO objects and whatever reaches the data: ODBC in the product, a
// recording fake in tests.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ado/ConnectionString.h"
#include "platform/ado/Error.h"

namespace ado {

// A whole result set, read at once.
struct RowSet {
  std::vector<std::string> columns;
  std::vector<std::vector<std::optional<std::string>>> rows;  // nullopt = NULL
};

// One open session with a data source. Every call returns true on success; on failure it
// returns false and appends one Error per diagnostic record, in the order the driver gave
// them, to `errors`. Calls never throw. A timeout of 0 means no limit.
class Provider {
 public:
  virtual ~Provider() = default;
  virtual bool Open(const ConnectionSpec& target, std::vector<Error>& errors) = 0;
  // Sends a statement; any result set it yields is discarded.
  virtual bool Execute(const std::string& sql, int timeoutSeconds, std::vector<Error>& errors) = 0;
  // Sends a statement and reads its first result set into `rows`.
  virtual bool Query(const std::string& sql, int timeoutSeconds, RowSet& rows, std::vector<Error>& errors) = 0;
  // The data source's catalogue, read only, as ODBC's SQLTables and SQLColumns give it: the
  // tables and views whose name matches `table`, or the columns whose name matches `column`
  // of those tables. Names are search patterns ("_" one character, "%" any run); the rows
  // keep the catalogue's own column order (TABLE_NAME third, COLUMN_NAME fourth).
  virtual bool Tables(const std::string& table, RowSet& rows, std::vector<Error>& errors) = 0;
  virtual bool Columns(const std::string& table, const std::string& column, RowSet& rows, std::vector<Error>& errors) = 0;
  virtual void Close() = 0;
  // Groups the statements that follow into one transaction, which CommitGroup ends, where the
  // data source is the embedded engine (SQLite): it then syncs its file once for the group
  // instead of once per statement. A statement that fails inside the group fails by itself,
  // as outside it. Every other data source goes on committing each statement by itself, as
  // the product's servers do; there, and in providers that send nothing, both do nothing.
  virtual bool BeginGroup(std::vector<Error>& /*errors*/) { return true; }
  virtual bool CommitGroup(std::vector<Error>& /*errors*/) { return true; }
};

// Makes the provider of each new connection. A factory must outlive every Connection that
// was made with it.
class ProviderFactory {
 public:
  virtual ~ProviderFactory() = default;
  virtual std::unique_ptr<Provider> Create() = 0;
};

// The factory that Connections made without one of their own use: the ODBC factory, unless a
// ScopedProviderFactory is alive. Single-threaded, like the product.
ProviderFactory& InstalledProviderFactory();

// Installs `factory` as InstalledProviderFactory() for its lifetime and restores the previous
// one afterwards. The caller owns `factory`, which must outlive this object.
class ScopedProviderFactory {
 public:
  explicit ScopedProviderFactory(ProviderFactory& factory);
  ~ScopedProviderFactory();
  ScopedProviderFactory(const ScopedProviderFactory&) = delete;
  ScopedProviderFactory& operator=(const ScopedProviderFactory&) = delete;

 private:
  ProviderFactory* previous_;
};

}  // namespace ado
