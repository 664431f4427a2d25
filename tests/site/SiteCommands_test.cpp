// What filomar-site refuses, and that a refusal leaves nothing half-made behind.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "platform/copylib/InstallRecordFile.h"
#include "support/DemoSite.h"

namespace {
using testing_support::RunSiteTool;
using testing_support::TempDir;
namespace fs = std::filesystem;

long Entries(const fs::path& dir) { return std::distance(fs::directory_iterator(dir), fs::directory_iterator()); }

TEST(SiteCommands, BadArgumentsGiveTheUsageAndStatusTwo) {
  TempDir temp;
  const std::string dir = (temp.path() / "site").string();
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"build", dir}, {"demo", dir, "--records", "12x"}, {"install-record", dir, "--password-stdin"}}) {
    const auto run = RunSiteTool(args);
    EXPECT_EQ(run.exitCode, 2) << (args.empty() ? "" : args[0]) << " " << run.err;
    EXPECT_NE(run.err.find("Usage: filomar-site demo DIR"), std::string::npos);
  }
  EXPECT_EQ(Entries(temp.path()), 0);
}

TEST(SiteCommands, NonEmptyDirectoryIsRefusedAndForceReplacesOnlyAnEarlierSite) {
  TempDir temp;
  const fs::path other = temp.path() / "other", dir = temp.path() / "site";
  temp.Write("other/notes.txt", "keep me");
  const auto run = RunSiteTool({"demo", other.string(), "--records", "1"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("not empty"), std::string::npos);
  EXPECT_EQ(RunSiteTool({"demo", other.string(), "--force"}).exitCode, 1);
  EXPECT_EQ(Entries(other), 1);

  ASSERT_EQ(RunSiteTool({"empty", dir.string()}).exitCode, 0);
  ASSERT_EQ(RunSiteTool({"demo", dir.string(), "--records", "1", "--force"}).exitCode, 0);
  EXPECT_TRUE(fs::exists(dir / "data" / "std.records"));
  EXPECT_EQ(Entries(temp.path()), 2);  // no staging directory left beside them
}

TEST(SiteCommands, InstallRecordTakesThePasswordFromStandardInput) {
  TempDir temp;
  const fs::path dir = temp.path() / "site";
  ASSERT_EQ(RunSiteTool({"empty", dir.string()}).exitCode, 0);
  auto run = RunSiteTool({"install-record", dir.string(), "--engine", "O", "--password-stdin"}, "s3cret pw\r\nignored\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (const fs::path& where : {dir, dir / "data"}) {
    const auto info = copylib::Describe(*copylib::ReadInstallRecord(where));
    EXPECT_EQ(info.engine, 'O');
    EXPECT_EQ(info.password, "s3cret pw");
  }
  run = RunSiteTool({"install-record", dir.string(), "--engine", "S", "--password-stdin"}, "");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(copylib::ReadInstallRecord(dir)->engine[0], 'O');  // unchanged
  EXPECT_EQ(RunSiteTool({"install-record", (temp.path() / "none").string(), "--engine", "S", "--password-stdin"}, "pw\n").exitCode, 1);
}

}  // namespace
