// The built filomar-convert starting on demo sites: the exclusivity of a running program (its
// MATR hold lasts past the sign-on), the silent end when nothing is left to convert (the
// catalogue's database without a data directory included), a record store that cannot be opened.
#include <gtest/gtest.h>
#include <unistd.h>

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

}  // namespace
