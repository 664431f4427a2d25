// What the program hands the start-up for the parts that follow it: the server detection,
// the new-database creation, the sign-on window and the main window.
#pragma once

#include <iosfwd>
#include <memory>

#include "app/Options.h"
#include "conversion/DBSelect.h"
#include "frontends/console/ConsoleUi.h"
#include "platform/ado/ListingProvider.h"
#include "startup/modMain.h"

namespace filomar::app {

class ProgramHandOvers : public StartupHandOvers {
 public:
  ProgramHandOvers(const Options& options, ui::ConsoleUi& console, std::ostream& batchOut)
      : options_(options), console_(console), batchOut_(batchOut) {}

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

 private:
  [[noreturn]] void RunRestore();
  [[noreturn]] void RunDryRun();

  const Options& options_;
  ui::ConsoleUi& console_;
  std::ostream& batchOut_;
  std::unique_ptr<DBSelect> mainWindow_;
  // The dry run's server: lists what start-up and the steps would send, sends nothing.
  ado::ListingProviderFactory dryRunServer_;
};

}  // namespace filomar::app
