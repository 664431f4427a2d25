// The built filomar-convert starting on demo sites: the exclusivity of a running program (its
// MATR hold lasts past the sign-on), and the published values withdrawn at its end, whether
// normal or by a signal.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

#include "support/DemoSite.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

using testing_support::DemoSite;
using testing_support::ProgramRun;
using testing_support::RunShell;
using testing_support::ReadFile;

namespace {

class StartProgramOnSite : public ::testing::Test {
 protected:
  DemoSite site;
  testing_support::SiteEnvironment environment{site};

  std::string Program() const { return std::string("'") + FILOMAR_CONVERT_EXE + "'"; }

  // A batch run of FILOMAR, with `environment` set for the program only.
  ProgramRun RunBatch(const std::string& environment = "") {
    return RunShell("echo FILOMAR | " + environment + " " + Program() + " --batch --user FILOMAR --password-stdin --all",
                    site.dir() / "batch.out");
  }

  // Starts the program on the console, signed on and waiting in its main window; its process id
  // is written to the file "pid" of the site.
  FILE* StartInMainWindow() {
    const std::string out = (site.dir() / "console.out").string();
    std::filesystem::remove(out);
    FILE* program = popen(("echo $$ > '" + (site.dir() / "pid").string() + "'; exec " + Program() + " --console > '" +
                           out + "' 2>&1").c_str(), "w");
    if (program == nullptr) return nullptr;
    std::fputs("FILOMAR\nFILOMAR\nok\n", program);
    std::fflush(program);
    for (int i = 0; i < 200 && ReadFile(out).find("Log File: ") == std::string::npos; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_NE(ReadFile(out).find("Log File: "), std::string::npos) << ReadFile(out);
    return program;
  }

  // The keys the inter-process store holds (one file per key, named "k" and the key in hex).
  std::vector<std::string> StoreKeys() const {
    std::vector<std::string> keys;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(site.dir() / "ipc", ec)) {
      if (entry.path().filename().string().front() != 'k') continue;  // the run's claim, not a value
      const std::string hex = entry.path().filename().string().substr(1);
      std::string key;
      for (std::size_t i = 0; i + 1 < hex.size(); i += 2) key += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
      keys.push_back(key);
    }
    return keys;
  }
};

// Another user's program (a store of its own) is kept out by the site's MATR; another run of
// the same user, even on another site, by the claim on the store they share.
TEST_F(StartProgramOnSite, SecondProgramIsRefusedWhileTheFirstSitsInTheMainWindow) {
  FILE* first = StartInMainWindow();
  ASSERT_NE(first, nullptr);
  {
    const testing_support::ScopedEnv otherUser{"FILOMAR_IPC_DIR", (site.dir() / "ipc-other").string()};
    const ProgramRun second = RunBatch();
    EXPECT_EQ(second.status, 1) << second.out;
    EXPECT_NE(second.out.find("[Filomar 5.0 Conversion Utility ]\nThere are users currently logged on to Filomar."),
              std::string::npos) << second.out;
  }
  DemoSite otherSite;
  const auto before = testing_support::Snapshot(otherSite.dir());
  const ProgramRun sameUser =
      RunBatch("FILOMAR_HOME='" + otherSite.dir().string() + "' ODBCINI='" + (otherSite.dir() / "odbc.ini").string() + "'");
  EXPECT_EQ(sameUser.status, 1) << sameUser.out;
  EXPECT_NE(sameUser.out.find("Another conversion of this user is running, on the site " + site.dir().string()),
            std::string::npos) << sameUser.out;
  EXPECT_EQ(testing_support::Changes(before, testing_support::Snapshot(otherSite.dir())), "");
  pclose(first);  // end of input closes the first program's main window
  // What the programs published ends with them (a refused sign-on: the bad-input tests).
  EXPECT_EQ(StoreKeys(), std::vector<std::string>{});
}

TEST_F(StartProgramOnSite, EndingSignalWithdrawsThePublishedPassword) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    FILE* program = StartInMainWindow();
    ASSERT_NE(program, nullptr);
    const auto published = StoreKeys();
    EXPECT_NE(std::find(published.begin(), published.end(), "USER_PASSWORD"), published.end());

    ASSERT_EQ(kill(std::stoi(ReadFile(site.dir() / "pid")), signal), 0);
    const int status = pclose(program);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(StoreKeys(), std::vector<std::string>{});
  }
}

}  // namespace
