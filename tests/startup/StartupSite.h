// A small product installation for start-up and sign-on tests: a program directory with the
// STANDARD database's user, access and catalogue records written through the record layer,
// a private inter-process store, a recording database server, and a scripted front end.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/RecordingProvider.h"
#include "support/Screen.h"
#include "support/TempDir.h"

namespace startup_test {

class StartupSite : public ::testing::Test {
 protected:
  testing_support::TempDir home;
  testing_support::ScopedEnv homeEnv{"FILOMAR_HOME", home.str()};
  testing_support::ScopedEnv ipcEnv{"FILOMAR_IPC_DIR", (home.path() / "ipc").string()};
  ui::ScriptedUi screen;
  ado::RecordingProviderFactory server;
  ado::ScopedProviderFactory serverInstalled{server};

  void SetUp() override;
  void TearDown() override;

  // Writes through the record layer, each on its own connection to the library.
  void AddUser(const std::string& id, const std::string& password);
  void AddAccess(const std::string& user, const std::string& database, const std::string& level);
  // Catalogues a database and, unless `version` is empty, writes its CONF C00 row.
  void AddDatabase(const std::string& name, const std::string& directory, const std::string& prefix,
                   const std::string& version);

  std::vector<std::string> Messages() const { return testing_support::Texts(screen); }
};

}  // namespace startup_test
