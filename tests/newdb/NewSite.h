// A program directory with an empty STANDARD data directory, a connected record library, a
// private inter-process store, a recording database server and a scripted front end: the
// place where a new STANDARD database is created in these tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "newdb/modCrStd.h"
#include "support/RecordingProvider.h"
#include "support/Records.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace newdb_test {

// Remembers what the creation showed of its progress.
class RecordedProgress : public filomar::CreationProgress {
 public:
  void Show(const std::string& heading, const std::string& database) override { shown.push_back(heading + " " + database); }
  void Status(const std::string& text) override { shown.push_back(text); }
  void Close() override { shown.push_back("closed"); }
  std::vector<std::string> shown;
};

class NewSite : public ::testing::Test {
 protected:
  testing_support::TempDir home;
  testing_support::ScopedEnv homeEnv{"FILOMAR_HOME", home.str()};
  testing_support::ScopedEnv ipcEnv{"FILOMAR_IPC_DIR", (home.path() / "ipc").string()};
  ui::ScriptedUi screen;
  ado::RecordingProviderFactory server;
  RecordedProgress progress;
  std::unique_ptr<testing_support::LibraryConnection> library;

  void SetUp() override;
  void TearDown() override;

  std::string ProgramDirectory() const { return home.str() + "/"; }
  void WriteScript(const std::string& name, const std::string& text) const { home.Write(name, text); }
  // Runs the creation for `engine` ('S' or 'O').
  void Create(char engine);

  // The record of `file` whose key is `key` (blank padded), from STANDARD; empty when absent.
  static std::string Record(short file, const std::string& key);
  // Every record of `file` in key order, from STANDARD.
  static std::vector<std::string> Records(short file);
};

}  // namespace newdb_test
