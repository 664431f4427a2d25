// What every conversion step routine is given: the run's log, the database being converted,
// where the step's own server connections come from, and the progress window.
//
// When a step runs, the record library's current database is the one being converted; steps
// that talk to the server open their own connection (through `server`) and write their server
// errors to `log`. A server statement that fails is logged and the step goes on; `failure`
// is for what leaves the database unconvertible (an upgrade script that cannot be read).
// A run that reports its steps points `step` at the running step's report: the record scans
// add their counts to it and the server errors are noted in it.
#pragma once

#include <string>

#include "conversion/ConversionLog.h"
#include "conversion/frmProgress.h"
#include "platform/ado/Provider.h"
#include "report/RunReport.h"
#include "shared/Connection.h"

namespace filomar {

struct StepContext {
  ConversionLog& log;
  std::string dbName;  // as the main window lists it
  std::string prefix;  // the database's table prefix, from the catalogue
  ado::ProviderFactory& server;
  frmProgress& progress;
  // Set by a step that could not do its part ("path: reason"): the database cannot be
  // converted, so convertdb runs no further step and commits nothing of it.
  std::string failure = {};
  report::StepReport* step = nullptr;  // the running step's report; none: nothing is noted

  void NoteServerError(const std::string& statement, const std::string& serverError) {
    if (step != nullptr) step->serverErrors.push_back({statement, serverError});
  }
};

// The reporter of a step's server errors: each goes to the log as one line (LogLineReporter)
// and is noted in the step's report.
inline ServerErrorReporter LogAndNoteServerErrors(StepContext& ctx) {
  const ServerErrorReporter toLog = LogLineReporter([&ctx](const std::string& line) { ctx.log.WriteLine(line); });
  return [&ctx, toLog](const std::string& serverError, const std::string& statement, const ado::Error& error) {
    toLog(serverError, statement, error);
    ctx.NoteServerError(statement, serverError);
  };
}

}  // namespace filomar
