#include "platform/ado/OdbcProvider.h"

#include <sql.h>
#include <sqlext.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/ado/SqliteDialect.h"

namespace ado {
namespace {

SQLCHAR* Chars(const std::string& s) { return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s.c_str())); }

bool Contains(std::string text, std::string fragment) {
  auto lower = [](std::string& s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  };
  lower(text);
  lower(fragment);
  return text.find(fragment) != std::string::npos;
}

struct Diagnostic {
  std::string state;
  long native = 0;
  std::string message;
};

// Every diagnostic record of the last call on `handle`, in the driver's order.
std::vector<Diagnostic> ReadDiagnostics(SQLSMALLINT type, SQLHANDLE handle) {
  std::vector<Diagnostic> found;
  // The record count is bounded so that a driver that never answers SQL_NO_DATA cannot hang us.
  for (SQLSMALLINT i = 1; i <= 256; ++i) {
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    std::string message(512, '\0');
    SQLRETURN rc = SQLGetDiagRec(type, handle, i, state, &native, reinterpret_cast<SQLCHAR*>(message.data()),
                                 static_cast<SQLSMALLINT>(message.size()), &length);
    if (!SQL_SUCCEEDED(rc)) break;
    if (length >= static_cast<SQLSMALLINT>(message.size())) {
      message.assign(static_cast<std::size_t>(length) + 1, '\0');
      rc = SQLGetDiagRec(type, handle, i, state, &native, reinterpret_cast<SQLCHAR*>(message.data()),
                         static_cast<SQLSMALLINT>(message.size()), &length);
      if (!SQL_SUCCEEDED(rc)) break;
    }
    message.resize(std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)), message.size() - 1));
    found.push_back({reinterpret_cast<const char*>(state), static_cast<long>(native), message});
  }
  return found;
}

// Some drivers do not implement SQLMoreResults; that only means there is nothing more to read.
bool IsUnsupportedFunction(const std::vector<Diagnostic>& diagnostics) {
  return !diagnostics.empty() && std::all_of(diagnostics.begin(), diagnostics.end(),
                                             [](const Diagnostic& d) { return d.state == "IM001"; });
}

class OdbcProvider : public Provider {
 public:
  ~OdbcProvider() override { Close(); }

  bool Open(const ConnectionSpec& target, std::vector<Error>& errors) override;
  bool Execute(const std::string& sql, int timeoutSeconds, std::vector<Error>& errors) override;
  bool Query(const std::string& sql, int timeoutSeconds, RowSet& rows, std::vector<Error>& errors) override;
  bool Tables(const std::string& table, RowSet& rows, std::vector<Error>& errors) override;
  bool Columns(const std::string& table, const std::string& column, RowSet& rows, std::vector<Error>& errors) override;
  void Close() override;
  bool BeginGroup(std::vector<Error>& errors) override;
  bool CommitGroup(std::vector<Error>& errors) override;

 private:
  // A statement handle freed on every path out of a call.
  class Statement {
   public:
    explicit Statement(SQLHDBC dbc) {
      if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &handle_))) handle_ = SQL_NULL_HSTMT;
    }
    ~Statement() {
      if (handle_ != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, handle_);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    SQLHSTMT get() const { return handle_; }

   private:
    SQLHSTMT handle_ = SQL_NULL_HSTMT;
  };

  void Report(const std::vector<Diagnostic>& diagnostics, bool connecting, const std::string& fallback,
              std::vector<Error>& errors) const;
  bool Send(const Statement& stmt, const std::string& sql, int timeoutSeconds, std::vector<Error>& errors) const;
  bool ReadColumn(const Statement& stmt, SQLUSMALLINT column, std::optional<std::string>& value,
                  std::vector<Error>& errors) const;
  bool ReadRows(const Statement& stmt, RowSet& rows, std::vector<Error>& errors) const;
  // Reads the result of a catalogue call that returned `rc` on `stmt`.
  bool ReadCatalogue(const Statement& stmt, SQLRETURN rc, RowSet& rows, std::vector<Error>& errors) const;

  SQLHENV env_ = SQL_NULL_HENV;
  SQLHDBC dbc_ = SQL_NULL_HDBC;
  bool connected_ = false;
  bool sqlite_ = false;  // the DBMS is SQLite: the product's SQL Server forms are rewritten
  bool grouped_ = false;  // autocommit is off until CommitGroup
  std::string source_;
};

void OdbcProvider::Report(const std::vector<Diagnostic>& diagnostics, bool connecting, const std::string& fallback,
                          std::vector<Error>& errors) const {
  if (diagnostics.empty()) {
    errors.push_back({connecting ? kConnectionFailed : kStatementFailed, fallback, source_, "", 0});
    return;
  }
  for (const auto& d : diagnostics) {
    const long number = connecting ? kConnectionFailed : StatementErrorNumber(d.state, d.message);
    errors.push_back({number, d.message, source_, d.state, d.native});
  }
}

bool OdbcProvider::Open(const ConnectionSpec& target, std::vector<Error>& errors) {
  Close();
  source_ = ProviderSourceName(target.provider);
  // The driver manager creates a missing data-sources file named by ODBCINI (empty) and then
  // reports an unknown data source; the administrator is told which file is missing instead,
  // and nothing is created.
  if (const char* sources = std::getenv("ODBCINI"); sources != nullptr && *sources != '\0' && ::access(sources, F_OK) != 0) {
    Report({}, true, std::string("The ODBC data sources file ") + sources + " does not exist.", errors);
    return false;
  }
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_))) {
    env_ = SQL_NULL_HENV;
    Report({}, true, "The ODBC driver manager could not be initialised.", errors);
    return false;
  }
  SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_))) {
    dbc_ = SQL_NULL_HDBC;
    Report(ReadDiagnostics(SQL_HANDLE_ENV, env_), true, "No ODBC connection handle could be allocated.", errors);
    Close();
    return false;
  }
  const SQLRETURN rc = SQLConnect(dbc_, Chars(target.dataSource), SQL_NTS, Chars(target.userId), SQL_NTS,
                                  Chars(target.password), SQL_NTS);
  if (!SQL_SUCCEEDED(rc)) {
    Report(ReadDiagnostics(SQL_HANDLE_DBC, dbc_), true, "The data source refused the connection.", errors);
    Close();
    return false;
  }
  connected_ = true;
  SQLCHAR dbms[128] = {};
  SQLSMALLINT length = 0;
  sqlite_ = SQL_SUCCEEDED(SQLGetInfo(dbc_, SQL_DBMS_NAME, dbms, sizeof dbms, &length)) &&
            IsSqliteDbms(reinterpret_cast<const char*>(dbms));
  return true;
}

bool OdbcProvider::Send(const Statement& stmt, const std::string& sql, int timeoutSeconds,
                        std::vector<Error>& errors) const {
  if (stmt.get() == SQL_NULL_HSTMT) {
    Report(ReadDiagnostics(SQL_HANDLE_DBC, dbc_), false, "No ODBC statement handle could be allocated.", errors);
    return false;
  }
  // 0 is the driver's default (no limit); a driver that cannot time out statements just runs them.
  if (timeoutSeconds > 0) {
    SQLSetStmtAttr(stmt.get(), SQL_ATTR_QUERY_TIMEOUT,
                   reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeoutSeconds)), 0);
  }
  const std::string text = sqlite_ ? RewriteForSqlite(sql) : sql;
  const SQLRETURN rc = SQLExecDirect(stmt.get(), Chars(text), static_cast<SQLINTEGER>(text.size()));
  if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return true;
  Report(ReadDiagnostics(SQL_HANDLE_STMT, stmt.get()), false, "The driver refused the statement.", errors);
  return false;
}

bool OdbcProvider::Execute(const std::string& sql, int timeoutSeconds, std::vector<Error>& errors) {
  const Statement stmt(dbc_);
  if (!Send(stmt, sql, timeoutSeconds, errors)) return false;
  // A batch of several statements reports the failures of its later statements only as its
  // results are stepped through, so every result is drained.
  SQLRETURN rc;
  do {
    rc = SQLMoreResults(stmt.get());
  } while (SQL_SUCCEEDED(rc));
  if (rc == SQL_NO_DATA) return true;
  const auto diagnostics = ReadDiagnostics(SQL_HANDLE_STMT, stmt.get());
  if (IsUnsupportedFunction(diagnostics)) return true;
  Report(diagnostics, false, "A statement of the batch failed.", errors);
  return false;
}

bool OdbcProvider::ReadColumn(const Statement& stmt, SQLUSMALLINT column, std::optional<std::string>& value,
                              std::vector<Error>& errors) const {
  std::string text;
  char chunk[1024];
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(stmt.get(), column, SQL_C_CHAR, chunk, sizeof chunk, &indicator);
    if (rc == SQL_NO_DATA) break;
    if (!SQL_SUCCEEDED(rc)) {
      Report(ReadDiagnostics(SQL_HANDLE_STMT, stmt.get()), false, "A column could not be read.", errors);
      return false;
    }
    if (indicator == SQL_NULL_DATA) {
      value.reset();
      return true;
    }
    const std::size_t room = sizeof chunk - 1;  // the driver ends each piece with a NUL
    const bool truncated = indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) > room;
    text.append(chunk, truncated ? room : static_cast<std::size_t>(indicator));
    if (!truncated) break;
  }
  value = std::move(text);
  return true;
}

bool OdbcProvider::ReadRows(const Statement& stmt, RowSet& rows, std::vector<Error>& errors) const {
  SQLSMALLINT count = 0;
  if (!SQL_SUCCEEDED(SQLNumResultCols(stmt.get(), &count))) {
    Report(ReadDiagnostics(SQL_HANDLE_STMT, stmt.get()), false, "The result could not be described.", errors);
    return false;
  }
  for (SQLSMALLINT c = 1; c <= count; ++c) {
    SQLCHAR name[256] = {};
    SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    SQLDescribeCol(stmt.get(), static_cast<SQLUSMALLINT>(c), name, sizeof name, &length, &type, &size, &digits,
                   &nullable);
    rows.columns.emplace_back(reinterpret_cast<const char*>(name));
  }
  if (count == 0) return true;  // a statement without a result set reads as an empty one
  for (;;) {
    const SQLRETURN rc = SQLFetch(stmt.get());
    if (rc == SQL_NO_DATA) return true;
    if (!SQL_SUCCEEDED(rc)) {
      Report(ReadDiagnostics(SQL_HANDLE_STMT, stmt.get()), false, "A row could not be fetched.", errors);
      return false;
    }
    auto& row = rows.rows.emplace_back(static_cast<std::size_t>(count));
    for (SQLSMALLINT c = 1; c <= count; ++c) {
      if (!ReadColumn(stmt, static_cast<SQLUSMALLINT>(c), row[static_cast<std::size_t>(c - 1)], errors)) return false;
    }
  }
}

bool OdbcProvider::Query(const std::string& sql, int timeoutSeconds, RowSet& rows, std::vector<Error>& errors) {
  rows = {};
  const Statement stmt(dbc_);
  if (!Send(stmt, sql, timeoutSeconds, errors)) return false;
  if (ReadRows(stmt, rows, errors)) return true;
  rows = {};
  return false;
}

bool OdbcProvider::ReadCatalogue(const Statement& stmt, SQLRETURN rc, RowSet& rows, std::vector<Error>& errors) const {
  rows = {};
  if (!SQL_SUCCEEDED(rc)) {
    Report(ReadDiagnostics(SQL_HANDLE_STMT, stmt.get()), false, "The catalogue could not be read.", errors);
    return false;
  }
  if (ReadRows(stmt, rows, errors)) return true;
  rows = {};
  return false;
}

bool OdbcProvider::Tables(const std::string& table, RowSet& rows, std::vector<Error>& errors) {
  const Statement stmt(dbc_);
  if (stmt.get() == SQL_NULL_HSTMT) {
    Report(ReadDiagnostics(SQL_HANDLE_DBC, dbc_), false, "No ODBC statement handle could be allocated.", errors);
    return false;
  }
  const SQLRETURN rc = SQLTables(stmt.get(), nullptr, 0, nullptr, 0, Chars(table), SQL_NTS, nullptr, 0);
  return ReadCatalogue(stmt, rc, rows, errors);
}

bool OdbcProvider::Columns(const std::string& table, const std::string& column, RowSet& rows, std::vector<Error>& errors) {
  const Statement stmt(dbc_);
  if (stmt.get() == SQL_NULL_HSTMT) {
    Report(ReadDiagnostics(SQL_HANDLE_DBC, dbc_), false, "No ODBC statement handle could be allocated.", errors);
    return false;
  }
  const SQLRETURN rc = SQLColumns(stmt.get(), nullptr, 0, nullptr, 0, Chars(table), SQL_NTS, Chars(column), SQL_NTS);
  return ReadCatalogue(stmt, rc, rows, errors);
}

bool OdbcProvider::BeginGroup(std::vector<Error>& errors) {
  if (!sqlite_ || grouped_) return true;
  if (!SQL_SUCCEEDED(SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0))) {
    Report(ReadDiagnostics(SQL_HANDLE_DBC, dbc_), false, "The transaction could not be begun.", errors);
    return false;
  }
  grouped_ = true;
  return true;
}

bool OdbcProvider::CommitGroup(std::vector<Error>& errors) {
  if (!grouped_) return true;
  grouped_ = false;
  const bool committed = SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_COMMIT));
  if (!committed) Report(ReadDiagnostics(SQL_HANDLE_DBC, dbc_), false, "The transaction could not be committed.", errors);
  // Back to one commit per statement, whatever the commit gave.
  SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
  return committed;
}

void OdbcProvider::Close() {
  grouped_ = false;
  if (connected_) SQLDisconnect(dbc_);
  connected_ = false;
  if (dbc_ != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
  dbc_ = SQL_NULL_HDBC;
  if (env_ != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, env_);
  env_ = SQL_NULL_HENV;
}

}  // namespace

long StatementErrorNumber(const std::string& sqlState, const std::string& message) {
  const bool missing = sqlState == "42S02" || sqlState == "S0002" || Contains(message, "no such table") ||
                       Contains(message, "ORA-00942") || Contains(message, "Invalid object name");
  return missing ? kObjectNotFound : kStatementFailed;
}

std::unique_ptr<Provider> MakeOdbcProvider() { return std::make_unique<OdbcProvider>(); }

}  // namespace ado
