// The built filomar-convert starting on demo sites: the exclusivity of a running program (its
// MATR hold lasts past the sign-on), the silent end when nothing is left to convert (the
// catalogue's database without a data directory included), a record store that cannot be opened.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "platform/reclib/trace.h"
#include "recio/Vb_io.h"
#include "support/DemoSite.h"
#include "support/ProgramRun.h"
#include "support/Records.h"
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

  ProgramRun RunBatch(const std::string& args = "") {
    return RunShell("echo FILOMAR | " + Program() + " --batch --user FILOMAR --password-stdin " + args,
                    site.dir() / "batch.out");
  }

  // The keys the inter-process store holds (one file per key, named "k" and the key in hex).
  std::vector<std::string> StoreKeys() const {
    std::vector<std::string> keys;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(site.dir() / "ipc", ec)) {
      const std::string hex = entry.path().filename().string().substr(1);
      std::string key;
      for (std::size_t i = 0; i + 1 < hex.size(); i += 2) key += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
      keys.push_back(key);
    }
    return keys;
  }

  // Rewrites the version code of a database's CONF C00 row.
  static void SetVersion(std::string directory, std::string prefix, const std::string& version) {
    testing_support::LibraryConnection library;
    filomar::vb_io_setDirectory(filomar::ConnHandle, directory, prefix);
    testing_support::SetVersionCode(version);
  }
};

TEST_F(StartProgramOnSite, SecondProgramIsRefusedWhileTheFirstSitsInTheMainWindow) {
  const std::string firstOut = (site.dir() / "first.out").string();
  FILE* first = popen((Program() + " --console > '" + firstOut + "' 2>&1").c_str(), "w");
  ASSERT_NE(first, nullptr);
  std::fputs("FILOMAR\nFILOMAR\nok\n", first);
  std::fflush(first);
  // The first program signs on and waits in its main window for the next command.
  for (int i = 0; i < 200 && ReadFile(firstOut).find("Log File: ") == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_NE(ReadFile(firstOut).find("Log File: "), std::string::npos) << ReadFile(firstOut);

  const ProgramRun second = RunBatch("--all");
  EXPECT_EQ(second.status, 1) << second.out;
  EXPECT_NE(second.out.find("[Filomar 5.0 Conversion Utility ]\nThere are users currently logged on to Filomar."),
            std::string::npos)
      << second.out;
  pclose(first);  // end of input closes the first program's main window
}

TEST_F(StartProgramOnSite, NothingLeftToConvertEndsSilently) {
  SetVersion("data", "std", "500A");
  SetVersion("finance", "fin", "500a");
  SetVersion("personnel", "per", "500A");
  const ProgramRun run = RunBatch();
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out.find('['), std::string::npos) << run.out;  // no message box, no window
  EXPECT_FALSE(std::filesystem::exists(site.dir() / reclib::kTraceFileName));  // no trace without /T
}

TEST_F(StartProgramOnSite, UnreadableRecordStoreEndsWithAClearMessage) {
  std::ofstream(site.DataDir("data") / "std.records", std::ios::trunc) << "garbage, not a record store";
  const ProgramRun run = RunBatch();
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_NE(run.out.find("Can't open the record files of the STANDARD database. Err ="), std::string::npos)
      << run.out;
}

TEST_F(StartProgramOnSite, PublishedValuesDoNotOutliveARunOrARefusedSignOn) {
  const ProgramRun refused = RunShell("echo WRONG | " + Program() + " --batch --user FILOMAR --password-stdin --all",
                                      site.dir() / "refused.out");
  EXPECT_EQ(refused.status, 1) << refused.out;
  EXPECT_EQ(StoreKeys(), std::vector<std::string>{}) << refused.out;

  const ProgramRun converted = RunBatch("--all");
  EXPECT_EQ(converted.status, 0) << converted.out;
  EXPECT_EQ(StoreKeys(), std::vector<std::string>{}) << converted.out;
}

TEST_F(StartProgramOnSite, EndingSignalWithdrawsThePublishedPassword) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    const std::string out = (site.dir() / "console.out").string(), pid = (site.dir() / "pid").string();
    std::filesystem::remove(out);
    FILE* program = popen(("echo $$ > '" + pid + "'; exec " + Program() + " --console > '" + out + "' 2>&1").c_str(), "w");
    ASSERT_NE(program, nullptr);
    std::fputs("FILOMAR\nFILOMAR\nok\n", program);
    std::fflush(program);
    for (int i = 0; i < 200 && ReadFile(out).find("Log File: ") == std::string::npos; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_NE(ReadFile(out).find("Log File: "), std::string::npos) << ReadFile(out);
    const auto published = StoreKeys();
    EXPECT_NE(std::find(published.begin(), published.end(), "USER_PASSWORD"), published.end());

    ASSERT_EQ(kill(std::stoi(ReadFile(pid)), signal), 0);
    const int status = pclose(program);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(StoreKeys(), std::vector<std::string>{});
  }
}

}  // namespace
