// The dry run of one database: what its conversion would change, found by converting a
// temporary copy of it, with nothing on the site changed.
//
// The copy: the database's record store (the record library's online backup, twice: one copy
// to convert, one to compare with) and its letter files, in a private temporary folder that is
// removed afterwards. The record library is pointed at the copy for the steps; their server
// statements go to a listing server that sends nothing. After the steps and the copy's commit,
// every record file of the converted copy is compared, key by key, with the untouched one
// (a range of 4,096 keys of each copy is held in memory at a time). Letter renames are found by the
// files' inodes, which a rename keeps.
//
// The copies' folder is named after the process ($TMPDIR/filomar-dry-run-<pid>-XXXXXX) and
// removed when the database's dry run ends, and by SIGTERM and SIGHUP, which then end the
// program as before. Folders of dry runs whose process has ended (killed with SIGKILL) are
// removed by the next dry run. The data directory's times are kept: opening its store makes
// and removes SQLite's files beside it.
//
// The comparison's result is a DryRunReport (report/DryRunReport.h); report/TextReport.h prints
// it. Files without records before and after are left out; a record added or removed counts as
// a change.
#pragma once

#include <signal.h>

#include <string>

#include "report/DryRunReport.h"
#include "conversion/ServerCatalogueCheck.h"
#include "conversion/StepTable.h"
#include "conversion/frmProgress.h"
#include "platform/ado/ListingProvider.h"

namespace filomar {

// Converts a copy of catalogued database `name` (it must be at release 4.0) with the `steps`
// that apply to it on this engine. Needs the record library connected; leaves the STANDARD
// database selected. Clean when every step ran to its end without showing a message (a message
// of a step is a failure it met), the copy's commit succeeded and the converted copy reads back
// version 500A. A `progress` window, when given, shows each step's caption and record counts
// as a conversion shows them.
DryRunReport DryRunDatabase(const std::string& name, const StepTable& steps, ado::ListingProviderFactory& server,
                            frmProgress* progress = nullptr);

// Asks the server's catalogue, through `check`, which of the report's statements would fail,
// into `wouldFail`. A catalogue that cannot be read makes the report not clean.
void CheckStatementsOnServer(DryRunReport& report, ServerCatalogueCheck& check);

// For its lifetime, SIGINT (Ctrl-C) sets a flag instead of ending the program, so that a dry
// run of several databases stops after the one under way, as a conversion does.
class InterruptAfterDatabase {
 public:
  InterruptAfterDatabase();
  ~InterruptAfterDatabase();
  InterruptAfterDatabase(const InterruptAfterDatabase&) = delete;
  InterruptAfterDatabase& operator=(const InterruptAfterDatabase&) = delete;
  bool requested() const;

 private:
  struct sigaction previous_ {};
};

}  // namespace filomar
