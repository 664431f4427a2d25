// The database server connection: the connection string of the site, the text of a server
// error, and the one shape in which every routine talks to the server.
#pragma once

#include <functional>
#include <string>

#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Error.h"
#include "platform/ado/Provider.h"
#include "platform/ado/Recordset.h"

namespace filomar {

// The password of the product's server account when the installation record gives none.
inline constexpr const char* kBuiltInPassword = "tamarind";

// The connection string for DbEngine, built afresh from the installation record in the data
// directory of the program directory on every call. The password is the record's password
// field without leading and trailing blanks; when the record cannot be read it is
// kBuiltInPassword (no retry, nothing reported).
//   SQL Server: Provider=MSDASQL.1;Persist Security Info=False;User ID=filomar;Password=<pw>;Data Source=filomar4
//   Oracle:     Provider=MSDAORA.1;Password=<pw>;User ID=filomar;Data Source=filomar4
std::string GetConnectString();

// The text of one server error: "Error #<number>", "   <description>", "   (Source: <source>)",
// "   (SQL State: <state>)" and "   (NativeError: <native>)", each ended by a single CR.
std::string ServerError(const ado::Error& error);

// Told of each error of a failed call, in the order of the connection's error collection:
// its ServerError text, the statement that was sent (empty when opening the connection
// failed) and the error object itself (a routine may treat ado::kObjectNotFound apart).
using ServerErrorReporter =
    std::function<void(const std::string& serverError, const std::string& statement, const ado::Error& error)>;

// Writes one line per error: the ServerError text, `separator`, then the statement.
ServerErrorReporter LogLineReporter(std::function<void(const std::string& line)> writeLine,
                                    std::string separator = "");

// Shows the ServerError text in a message box titled "Error", critical icon, OK only, on the
// front end of the run.
void ReportInMessageBox(const std::string& serverError, const std::string& statement, const ado::Error& error);

// One routine's conversation with the server. The constructor opens a connection of its own
// on GetConnectString() and binds a command to it, with no time limit on statements. Every
// failure, the opening included, is handed to the reporter error by error, and the routine
// goes on: after a failed opening each statement fails and is reported in turn. The
// destructor detaches the command and closes the connection. Nothing here throws.
class ServerConversation {
 public:
  explicit ServerConversation(ServerErrorReporter reporter);
  // Opens through `factory` (which must outlive the conversation) instead of the installed one.
  ServerConversation(ServerErrorReporter reporter, ado::ProviderFactory& factory);
  ~ServerConversation();
  ServerConversation(const ServerConversation&) = delete;
  ServerConversation& operator=(const ServerConversation&) = delete;

  bool IsOpen() const { return connection_.IsOpen(); }

  // Sends a statement that changes something; false when it failed (and was reported).
  bool Execute(const std::string& sql);
  // Opens a recordset on `sql`; when that fails it is reported and the recordset is closed
  // and empty.
  ado::Recordset Query(const std::string& sql);
  // From here to the end of the conversation the statements form one transaction on the
  // embedded engine (ado::Connection::BeginTrans), so that its file is synced once rather than
  // after each of them; the product's servers commit each statement as before. The end of the
  // conversation commits; a failed commit is reported like a statement, as "COMMIT". Nothing
  // happens on a connection whose opening failed (that was reported already).
  void GroupStatements();

 private:
  void Open();
  void ReportErrors(const std::string& statement) const;

  ServerErrorReporter reporter_;
  ado::Connection connection_;
  ado::Command command_;
  bool grouped_ = false;
};

}  // namespace filomar
