// A small installation for the conversion run: a program directory whose catalogue and CONF
// records are written through the record layer, a recording database server, a scripted front
// end, and step routines that record what they were called with.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "conversion/StepTable.h"
#include "conversion/DBSelect.h"
#include "support/FileSizeLimit.h"
#include "support/RecordingProvider.h"
#include "support/TempDir.h"
#include "support/ScriptedUi.h"

namespace conversion_test {

// "dir/prefix" of the record library's current database.
std::string CurrentDatabaseOfLibrary();

// 04-Dec-26 16:05 on a fixed clock.
std::tm FixedTime();

// The product's step table with each routine replaced by a recorder: a call is recorded as
// "Name", or "Name(db,prefix)" for the upgrade-script runners, with the record library's
// current database ("dir/prefix") at the call. `during` runs inside every call, after recording.
struct RecordingSteps {
  std::vector<std::string> calls;
  std::vector<std::string> databases;
  std::function<void(const std::string& call)> during;
  filomar::frmProgress* progress = nullptr;  // the progress window of the call under way
  bool stampConverted = true;  // UpdateCONF writes "500A" as the real one does

  filomar::StepTable Table();
  void Called(const std::string& call);
};

// The status captions the progress window was painted with.
struct RecordingPainter : filomar::frmProgress::Painter {
  std::vector<std::string> captions;
  int closes = 0;
  void Paint(const filomar::frmProgress& window) override { captions.push_back(window.lblstatus); }
  void Closed(const filomar::frmProgress&) override { ++closes; }
};

using testing_support::FileSizeLimit;

class ConversionSite : public ::testing::Test {
 protected:
  testing_support::TempDir home;
  // A trailing "/" on the program directory must not double the log path's separator.
  testing_support::ScopedEnv homeEnv{"FILOMAR_HOME", home.str() + "/"};
  testing_support::ScopedEnv ipcEnv{"FILOMAR_IPC_DIR", (home.path() / "ipc").string()};
  ui::ScriptedUi screen;
  ado::RecordingProviderFactory server;
  ado::ScopedProviderFactory serverInstalled{server};
  RecordingSteps steps;
  RecordingPainter painter;
  filomar::DBSelect window{steps.Table(), server, [] { return FixedTime(); }, std::locale::classic()};

  // Connected to the library with STANDARD selected, as start-up leaves it; SQL Server engine.
  void SetUp() override;
  void TearDown() override;

  // Catalogues a database and, unless `version` is empty, writes its CONF C00 row.
  void AddDatabase(const std::string& name, const std::string& version);
  // Loads the window as start-up does (DB held open) and activates it.
  void ShowWindow();
  int IndexOf(const std::string& name) const;
  // The list as its names, each selected one followed by "*": "STANDARD* SALES".
  std::string ListState() const;
  std::string LogText() const;
};

}  // namespace conversion_test
