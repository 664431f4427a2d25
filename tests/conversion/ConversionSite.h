// A small installation for the conversion run: a program directory whose catalogue and CONF
// records are written through the record layer, a recording database server, a scripted front
// end, and step routines that record what they were called with.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "conversion/ConversionSteps.h"
#include "conversion/DBSelect.h"
#include "platform/ado/RecordingProvider.h"
#include "support/TempDir.h"
#include "ui/ScriptedUi.h"

namespace conversion_test {

// "dir/prefix" of the record library's current database.
std::string CurrentDatabaseOfLibrary();

// 04-Dec-26 16:05 on a fixed clock.
std::tm FixedTime();

// Records each step routine as "Name" or "Name(db,prefix)", with the record library's current
// database ("dir/prefix") at the call. `during` runs inside every call, after recording.
struct RecordingSteps : filomar::ConversionSteps {
  std::vector<std::string> calls;
  std::vector<std::string> databases;
  std::function<void(const std::string& call)> during;
  bool stampConverted = false;  // UpdateCONF writes "500A" as the real one does

  void UpdateTablesSQL5(const std::string& db, const std::string& prefix) override;
  void UpdateTablesORACLE5(const std::string& db, const std::string& prefix) override;
  void CreateOracleLockProcedures() override { Called("CreateOracleLockProcedures"); }
  void UpdateOraclePrivs() override { Called("UpdateOraclePrivs"); }
  void UpdateCONF() override;
  void renameLetters() override { Called("renameLetters"); }
  void convertLettersInDB() override { Called("convertLettersInDB"); }
  void ConvertCodes() override { Called("ConvertCodes"); }
  void ConvertSact() override { Called("ConvertSact"); }
  void ConvertFilters() override { Called("ConvertFilters"); }
  void ConvertVers() override { Called("ConvertVers"); }
  void ConvertComp() override { Called("ConvertComp"); }

  void Called(const std::string& call);
};

// The status captions the progress window was painted with.
struct RecordingPainter : filomar::frmProgress::Painter {
  std::vector<std::string> captions;
  int closes = 0;
  void Paint(const filomar::frmProgress& window) override { captions.push_back(window.lblstatus); }
  void Closed(const filomar::frmProgress&) override { ++closes; }
};

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
  filomar::DBSelect window{steps, [] { return FixedTime(); }, std::locale::classic()};

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
