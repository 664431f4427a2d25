// ado::Connection: one session with a data source, named by an ADO connection string.
//
// Contract: no member throws. A call that fails returns false and leaves the error objects
// of that failure, in the driver's order, in Errors(); every call that goes to the data
// source (Open, and the statements of Command and Recordset) first empties Errors(), so
// after a successful call it is empty. A statement sent while the connection is not open
// fails with one error kConnectionNotOpen.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ado/Error.h"
#include "platform/ado/Provider.h"

namespace ado {

class Connection {
 public:
  // Uses InstalledProviderFactory() as it is when the connection is made.
  Connection();
  // `factory` must outlive the connection.
  explicit Connection(ProviderFactory& factory);
  ~Connection();  // closes
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Opens the data source of `connectionString` (see ParseConnectionString). A non-empty
  // `userId` or `password` takes the place of the string's User ID or Password. An open
  // connection is closed first. An unknown Provider fails with kProviderNotFound.
  bool Open(const std::string& connectionString, const std::string& userId = "", const std::string& password = "");
  void Close();
  bool IsOpen() const { return open_; }

  const std::vector<Error>& Errors() const { return errors_; }

  // The catalogue (what ADO's OpenSchema reads for tables and columns), read only: see
  // Provider::Tables and Provider::Columns. Fails like a statement when not open.
  bool OpenTablesSchema(const std::string& table, RowSet& rows);
  bool OpenColumnsSchema(const std::string& table, const std::string& column, RowSet& rows);

  // ADO's BeginTrans and CommitTrans, over Provider::BeginGroup and CommitGroup: one
  // transaction on the embedded engine, nothing on the product's servers. Fail like a
  // statement when not open.
  bool BeginTrans();
  bool CommitTrans();

  // Seconds a statement sent through the connection itself (a Recordset's) may run; 0 = no limit.
  int CommandTimeout = 30;

 private:
  friend class Command;
  friend class Recordset;

  // Send a statement, filling Errors() on failure. `origin` names the ADO object in the error
  // raised when the connection is not open.
  bool SendStatement(const std::string& sql, int timeoutSeconds, const char* origin);
  bool SendQuery(const std::string& sql, int timeoutSeconds, RowSet& rows, const char* origin);
  bool CheckOpen(const char* origin);

  ProviderFactory& factory_;
  std::unique_ptr<Provider> provider_;
  bool open_ = false;
  std::vector<Error> errors_;
};

}  // namespace ado
