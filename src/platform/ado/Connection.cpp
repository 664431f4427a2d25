#include "platform/ado/Connection.h"

#include "platform/ado/ConnectionString.h"

namespace ado {

Connection::Connection() : Connection(InstalledProviderFactory()) {}

Connection::Connection(ProviderFactory& factory) : factory_(factory) {}

Connection::~Connection() { Close(); }

bool Connection::Open(const std::string& connectionString, const std::string& userId, const std::string& password) {
  Close();
  errors_.clear();
  auto target = ParseConnectionString(connectionString);
  if (!target) {
    errors_.push_back({kProviderNotFound, "Provider cannot be found. It may not be properly installed.",
                       "ADODB.Connection", "", 0});
    return false;
  }
  if (!userId.empty()) target->userId = userId;
  if (!password.empty()) target->password = password;
  provider_ = factory_.Create();
  open_ = provider_->Open(*target, errors_);
  if (!open_) provider_.reset();
  return open_;
}

void Connection::Close() {
  if (provider_) provider_->Close();
  provider_.reset();
  open_ = false;
}

bool Connection::CheckOpen(const char* origin) {
  errors_.clear();
  if (open_) return true;
  errors_.push_back({kConnectionNotOpen,
                     "The connection cannot be used to perform this operation. It is either closed or invalid in "
                     "this context.",
                     origin, "", 0});
  return false;
}

bool Connection::SendStatement(const std::string& sql, int timeoutSeconds, const char* origin) {
  return CheckOpen(origin) && provider_->Execute(sql, timeoutSeconds, errors_);
}

bool Connection::SendQuery(const std::string& sql, int timeoutSeconds, RowSet& rows, const char* origin) {
  return CheckOpen(origin) && provider_->Query(sql, timeoutSeconds, rows, errors_);
}

bool Connection::BeginTrans() { return CheckOpen("ADODB.Connection") && provider_->BeginGroup(errors_); }

bool Connection::CommitTrans() { return CheckOpen("ADODB.Connection") && provider_->CommitGroup(errors_); }

bool Connection::OpenTablesSchema(const std::string& table, RowSet& rows) {
  rows = {};
  return CheckOpen("ADODB.Connection") && provider_->Tables(table, rows, errors_);
}

bool Connection::OpenColumnsSchema(const std::string& table, const std::string& column, RowSet& rows) {
  rows = {};
  return CheckOpen("ADODB.Connection") && provider_->Columns(table, column, rows, errors_);
}

}  // namespace ado
