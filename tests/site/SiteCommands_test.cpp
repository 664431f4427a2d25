// What filomar-site refuses, and that a refusal leaves nothing half-made behind.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "platform/copylib/InstallRecordFile.h"
#include "platform/reclib/io.h"
#include "site/RecordDump.h"
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
           {}, {"build", dir}, {"demo", dir, "--records", "12x"}, {"install-record", dir, "--password-stdin"},
           {"dump", dir, "data", "std"}}) {
    const auto run = RunSiteTool(args);
    EXPECT_EQ(run.exitCode, 2) << (args.empty() ? "" : args[0]) << " " << run.err;
    EXPECT_NE(run.err.find("usage: filomar-site demo DIR"), std::string::npos);
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

TEST(RecordDump, ReadableFormSplitsAtBlankRunsAndEscapesOddBytesAndCodesIgnoreCase) {
  std::string record(reclib::kRecordSize, ' ');
  record.replace(0, 3, "C00");
  record.replace(3, 11, "User code 1");
  record.replace(40, 4, "A\\B\x01");
  record.back() = 'Z';
  EXPECT_EQ(site::ReadableRecord(record.data(), reclib::kRecordSize, 3),
            "key 'C00'\n  3: User code 1\n  40: A\\x5cB\\x01\n  1535: Z\n");
  EXPECT_EQ(site::ReadableRecord(record.data(), 2, 3), "key 'C0'\n");  // the key stays in the buffer
  EXPECT_EQ(site::FileNumberOf("conf"), 7);  // codes are found without regard to case
  EXPECT_EQ(site::FileNumberOf("CONFX"), 0);
}

}  // namespace
