// The built filomar-convert in batch on a demo site: sign-on, the main window, a whole run.
#include <gtest/gtest.h>

#include <string>

#include "support/DemoSite.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

using testing_support::DemoSite;
using testing_support::ProgramRun;
using testing_support::RunShell;
using testing_support::ReadFile;
using testing_support::ScopedEnv;

namespace {

class ConvertProgram : public ::testing::Test {
 protected:
  DemoSite site;
  testing_support::SiteEnvironment environment{site};

  // Runs the program in batch as the demo administrator with `args` after the sign-on options.
  ProgramRun Run(const std::string& args) {
    return RunShell("echo FILOMAR | '" FILOMAR_CONVERT_EXE "' --batch --user FILOMAR --password-stdin " + args,
                    site.dir() / "program.out");
  }
  std::string Log() const { return ReadFile(site.dir() / "convert5.log"); }
};

TEST_F(ConvertProgram, ConvertsEveryListedDatabaseAndLogsIt) {
  const ProgramRun run = Run("--all");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("Conversion of Databases has completed"), std::string::npos) << run.out;
  const std::string log = Log();
  EXPECT_EQ(log.rfind("Filomar 4.0 to Filomar 5.0 Conversion  \r\n\r\nStarted at:     ", 0), 0u) << log;
  for (const char* name : {"STANDARD", "FINANCE", "PERSONNEL"}) {
    EXPECT_NE(log.find(std::string("                    Converting ") + name + " Database\r\n"), std::string::npos)
        << name;
    EXPECT_NE(log.find(std::string("     - Conversion of ") + name + " completed at "), std::string::npos) << name;
  }
  EXPECT_EQ(log.find("LEGAL"), std::string::npos);  // already at 5.0: not listed
}

TEST_F(ConvertProgram, AnUnreachableServerConvertsNothingAndFails) {
  const std::string ini = "[filomar4]\nDriver=SQLite3\nDatabase=" + (site.dir() / "no-such-folder" / "x.db").string() + "\n";
  const testing_support::TempDir other;
  const ScopedEnv badServer{"ODBCINI", other.Write("odbc.ini", ini).string()};
  const ProgramRun run = Run("--database FINANCE");
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_NE(run.out.find("No database was converted because the database server could not be reached."),
            std::string::npos)
      << run.out;
  EXPECT_EQ(Log().find("Converting"), std::string::npos);
}

}  // namespace
