// What the program hands the start-up for the parts that follow it: the server detection,
// the new-database creation, the sign-on window and the main window.
#pragma once

#include <iosfwd>
#include <memory>

#include "app/Options.h"
#include "conversion/DBSelect.h"
#include "frontends/WindowsFrontEnd.h"
#include "frontends/console/ConsoleUi.h"
#include "platform/ado/ListingProvider.h"
#include "report/RunReport.h"
#include "startup/modMain.h"

namespace filomar::app {

class ProgramHandOvers : public StartupHandOvers {
 public:
  // `windows` is the windows front end when the options chose it, else null.
  ProgramHandOvers(const Options& options, ui::WindowsFrontEnd* windows, ui::ConsoleUi& console, std::ostream& batchOut)
      : options_(options), windows_(windows), console_(console), batchOut_(batchOut) {
    report_.kind = options.dryRun ? report::RunKind::kDryRun
                   : options.restore.empty() ? report::RunKind::kConversion : report::RunKind::kRestore;
    report_.started = std::chrono::system_clock::now();
    report_.stopped = "the program ended before the run";
  }

  bool ProductDatabaseExists() override;
  void RemoveLeftoversOfInterruptedRuns() override;
  bool NeedsNoDatabaseToConvert() override { return !options_.restore.empty(); }
  void RecreateOracleLockProcedures() override;
  bool CreateStandardDatabase() override;
  int ShowSignOn() override;
  void ShowMainWindow() override;

  // Runs the main window shown by ShowMainWindow until the program ends; ProgramEnd carries
  // the exit status.
  [[noreturn]] void RunMainWindow();

  // The program ends with `status`: with --report the report of its run (of the last run of
  // the main window; one saying that no run was made when the program ended before it) is
  // written, and a report that cannot be written is said on standard error and makes the
  // status 1. Yields the exit status.
  int WriteReportAtEnd(int status);

 private:
  [[noreturn]] void RunRestore();
  [[noreturn]] void RunDryRun();

  const Options& options_;
  ui::WindowsFrontEnd* windows_;
  ui::ConsoleUi& console_;
  std::ostream& batchOut_;
  std::unique_ptr<DBSelect> mainWindow_;
  report::RunReport report_;  // of the dry run or restore; a conversion's is the main window's
  // The dry run's server: lists what start-up and the steps would send, sends nothing.
  ado::ListingProviderFactory dryRunServer_;
};

}  // namespace filomar::app
