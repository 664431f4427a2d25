#include "shared/Connection.h"

#include <vector>

#include "common/FrontEnd.h"
#include "common/Text.h"
#include "platform/copylib/copyp.h"
#include "platform/winapi/AppPath.h"
#include "shared/DbEngine.h"

namespace filomar {
namespace {

std::string InstalledPassword() {
  copylib::InstallRecord record{};
  const std::string dataDir = winapi::AppPath() + "/data";
  if (copyp(0, dataDir.c_str(), reinterpret_cast<char*>(&record), COPYP_PASSWORD_READ) < 1) return kBuiltInPassword;
  return Trim(std::string(record.password, sizeof record.password));
}

}  // namespace

std::string GetConnectString() {
  const std::string password = InstalledPassword();
  if (DbEngine == Engine::Oracle) {
    return "Provider=MSDAORA.1;Password=" + password + ";User ID=filomar;Data Source=filomar4";
  }
  return "Provider=MSDASQL.1;Persist Security Info=False;User ID=filomar;Password=" + password +
         ";Data Source=filomar4";
}

std::string ServerError(const ado::Error& error) {
  return "Error #" + std::to_string(error.Number) + "\r" +  //
         "   " + error.Description + "\r" +                 //
         "   (Source: " + error.Source + ")\r" +            //
         "   (SQL State: " + error.SQLState + ")\r" +       //
         "   (NativeError: " + std::to_string(error.NativeError) + ")\r";
}

ServerErrorReporter LogLineReporter(std::function<void(const std::string& line)> writeLine, std::string separator) {
  return [writeLine = std::move(writeLine), separator = std::move(separator)](
             const std::string& serverError, const std::string& statement, const ado::Error&) {
    writeLine(serverError + separator + statement);
  };
}

void ReportInMessageBox(const std::string& serverError, const std::string&, const ado::Error&) {
  FrontEnd().MsgBox(serverError, ui::mb::OKOnly | ui::mb::Critical, "Error");
}

ServerConversation::ServerConversation(ServerErrorReporter reporter)
    : reporter_(std::move(reporter)), connection_() {
  Open();
}

ServerConversation::ServerConversation(ServerErrorReporter reporter, ado::ProviderFactory& factory)
    : reporter_(std::move(reporter)), connection_(factory) {
  Open();
}

void ServerConversation::Open() {
  if (!connection_.Open(GetConnectString(), "", "")) ReportErrors("");
  command_.ActiveConnection = &connection_;
  command_.CommandTimeout = 0;
  connection_.CommandTimeout = 0;
}

void ServerConversation::GroupStatements() {
  if (!connection_.IsOpen() || grouped_) return;
  grouped_ = connection_.BeginTrans();
  if (!grouped_) ReportErrors("BEGIN TRANSACTION");
}

ServerConversation::~ServerConversation() {
  if (grouped_ && !connection_.CommitTrans()) ReportErrors("COMMIT");
  command_.ActiveConnection = nullptr;
  connection_.Close();
}

bool ServerConversation::Execute(const std::string& sql) {
  command_.CommandText = sql;
  if (command_.Execute()) return true;
  ReportErrors(sql);
  return false;
}

ado::Recordset ServerConversation::Query(const std::string& sql) {
  ado::Recordset records;
  if (!records.Open(sql, connection_)) ReportErrors(sql);
  return records;
}

void ServerConversation::ReportErrors(const std::string& statement) const {
  const std::vector<ado::Error> errors = connection_.Errors();  // a copy: reporters may run long
  for (const auto& error : errors) reporter_(ServerError(error), statement, error);
}

}  // namespace filomar
