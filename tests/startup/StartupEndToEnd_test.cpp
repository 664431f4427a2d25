// The built filomar-convert starting on demo sites: the exclusivity of a running program, the
// silent end when nothing is left to convert, a record store that cannot be opened.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "support/DemoSite.h"
#include "support/TempDir.h"

using testing_support::DemoSite;
using testing_support::ReadFile;
using testing_support::ScopedEnv;

namespace {

struct ProgramRun {
  int status = -1;
  std::string out;
};

class StartProgramOnSite : public ::testing::Test {
 protected:
  DemoSite site;
  ScopedEnv home{"FILOMAR_HOME", site.dir().string()};
  ScopedEnv odbc{"ODBCINI", site.OdbcIni().string()};
  ScopedEnv ipc{"FILOMAR_IPC_DIR", (site.dir() / "ipc").string()};

  std::string Program() const { return std::string("'") + FILOMAR_CONVERT_EXE + "'"; }

  ProgramRun RunBatch(const std::string& args = "") {
    const std::string outFile = (site.dir() / "batch.out").string();
    const std::string command = "echo FILOMAR | " + Program() + " --batch --user FILOMAR --password-stdin " + args +
                                " > '" + outFile + "' 2>&1";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(outFile)};
  }

  // Rewrites the version code of a database's CONF C00 row through the record layer.
  static void SetVersion(const std::string& directory, const std::string& prefix, const std::string& version) {
    using namespace filomar;
    InitFileTable();
    InitFieldTable();
    short handle = 0;
    ASSERT_EQ(vb_io_connect(0, handle), 0);
    std::string dir = directory, pre = prefix;
    vb_io_setDirectory(handle, dir, pre);
    vb_io_open(CONF_FILE, "");
    ClearRecord(CONF_FILE);
    PutField(CONF_RowKey, std::string("C00"));
    vb_io_read(CONF_FILE, 0, 1);
    ASSERT_EQ(vb_io_erc, 0);
    PutField(CONF_VersionText, version);
    vb_io_rewrite(CONF_FILE);
    ASSERT_EQ(vb_io_erc, 0);
    vb_io_close(CONF_FILE);
    vb_io_disconnect(0, handle);
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
}

TEST_F(StartProgramOnSite, UnreadableRecordStoreEndsWithAClearMessage) {
  std::ofstream(site.DataDir("data") / "std.records", std::ios::trunc) << "garbage, not a record store";
  const ProgramRun run = RunBatch();
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_NE(run.out.find("Can't open the record files of the STANDARD database. Err ="), std::string::npos)
      << run.out;
}

}  // namespace
