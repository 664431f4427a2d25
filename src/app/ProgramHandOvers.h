// What the program hands the start-up for the parts that follow it: the server detection,
// the new-database creation, the sign-on window and the main window.
#pragma once

#include "app/Options.h"
#include "startup/modMain.h"

namespace filomar::app {

class ProgramHandOvers : public StartupHandOvers {
 public:
  explicit ProgramHandOvers(const Options& options) : options_(options) {}

  bool ProductDatabaseExists() override;
  void RecreateOracleLockProcedures() override;
  bool CreateStandardDatabase() override;
  void ShowSignOn() override;
  void ShowMainWindow() override;

  // Runs the main window until it closes; the exit status of the run.
  int RunMainWindow();

 private:
  const Options& options_;
};

}  // namespace filomar::app
