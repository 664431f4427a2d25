#include "newdb/modCrStd.h"

#include "shared/Connection.h"
#include "shared/DbEngine.h"

namespace filomar {
namespace {

// Shows every server error except "object not found", which only answers the question.
struct DetectionReporter {
  bool* objectMissing;
  void operator()(const std::string& serverError, const std::string& statement, const ado::Error& error) const {
    if (error.Number == ado::kObjectNotFound) {
      *objectMissing = true;
      return;
    }
    ReportInMessageBox(serverError, statement, error);
  }
};

bool SqlServerDatabaseExists() {
  bool missing = false;
  ServerConversation server(DetectionReporter{&missing});
  server.Execute("select * from filomar_rowlock");
  return !missing;
}

bool OracleDatabaseExists() {
  bool missing = false;
  ServerConversation server(DetectionReporter{&missing});
  ado::Recordset rows = server.Query("select RAWTOHEX(db_name) from std_db");
  const bool exists = rows.IsOpen() && !rows.Bof() && !rows.Eof();
  rows.Close();
  return exists && !missing;
}

}  // namespace

bool StandardDatabaseExists() {
  return DbEngine == Engine::Oracle ? OracleDatabaseExists() : SqlServerDatabaseExists();
}

}  // namespace filomar
