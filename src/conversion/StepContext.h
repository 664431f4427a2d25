// What every conversion step routine is given: the run's log, the database being converted,
// where the step's own server connections come from, and the progress window.
//
// When a step runs, the record library's current database is the one being converted; steps
// that talk to the server open their own connection (through `server`) and write their server
// errors to `log`. A server statement that fails is logged and the step goes on; `failure`
// is for what leaves the database unconvertible (an upgrade script that cannot be read).
#pragma once

#include <string>

#include "conversion/ConversionLog.h"
#include "conversion/frmProgress.h"
#include "platform/ado/Provider.h"

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
};

}  // namespace filomar
