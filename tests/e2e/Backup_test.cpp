// Backups and restores by the built program in batch: a conversion backs each database up, a
// restore gives back the exact 4.0 records and letter files (a name with blanks included), a
// damaged backup is refused, and an unwritable backup root stops the run before anything changes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>

#include "e2e/SiteRun.h"
#include "platform/copylib/Sha256.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;

class Backup : public ::testing::Test {
 protected:
  testing_support::DemoSite site;
  testing_support::SiteEnvironment environment{site};

  testing_support::ProgramRun Run(const std::string& args) { return e2e::RunConvert(site, "FILOMAR", "--user FILOMAR " + args); }

  // FINANCE's record files as dumped and its letter files, by name and content.
  std::string FinanceState() {
    std::string state;
    for (const std::string& code : e2e::kDatabaseFiles)
      for (const auto& [key, record] : e2e::Records(site, "finance", "fin", code)) state += code + key + record;
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(site.DataDir("finance"))) names.insert(entry.path().filename().string());
    for (const std::string& name : names)
      if (name.rfind("Letter", 0) == 0 || name.rfind("ActSht", 0) == 0) state += name + ReadFile(site.DataDir("finance") / name);
    return state;
  }

  fs::path OnlyBackupOf(const std::string& name) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(site.dir() / "backups"))
      if (entry.path().filename().string().rfind(name + "-", 0) == 0) found.push_back(entry.path());
    EXPECT_EQ(found.size(), 1u) << name;
    return found.empty() ? fs::path() : found.front();
  }
};

TEST_F(Backup, ARestoreGivesBackTheExactRecordsAndLettersAndTheDatabaseIsOfferedAgain) {
  std::ofstream(site.DataDir("finance") / "Letter Memo 2") << "a letter whose name holds blanks";
  const std::string before = FinanceState();
  const auto converted = Run("--all");
  ASSERT_EQ(converted.status, 0) << converted.out;
  const fs::path backup = OnlyBackupOf("FINANCE");
  EXPECT_NE(converted.out.find("FINANCE: Backed up to " + backup.string()), std::string::npos) << converted.out;
  EXPECT_NE(ReadFile(backup / "MANIFEST").find("\tLetter Memo 2\t"), std::string::npos);
  // The embedded server's file, once for the run, in a folder of its own.
  const fs::path server = OnlyBackupOf("server");
  const std::string serverManifest = ReadFile(server / "MANIFEST");
  EXPECT_NE(serverManifest.find("\tserver.sqlite\t" + fs::canonical(site.dir() / "server.sqlite").string() + "\n"), std::string::npos)
      << serverManifest;
  std::string why;
  EXPECT_NE(serverManifest.find(copylib::FileSha256((server / "server.sqlite").string(), why).value()), std::string::npos);
  ASSERT_NE(FinanceState(), before);

  fs::remove(site.DataDir("finance") / "Letter Memo 2");
  const auto restored = Run("--restore FINANCE");
  EXPECT_EQ(restored.status, 0) << restored.out;
  EXPECT_NE(restored.out.find("The FINANCE Database was restored from " + backup.string()), std::string::npos)
      << restored.out;
  EXPECT_EQ(FinanceState(), before);
  const auto again = Run("--database FINANCE --no-backup");
  EXPECT_EQ(again.status, 0) << again.out;
  EXPECT_NE(ReadFile(site.dir() / "convert5.log").find("- Conversion of FINANCE completed at "), std::string::npos);
}

// One changed byte in a letter or in the store, a store page damaged behind a manifest whose
// sum was brought up to date, a missing manifest, an unknown database, no backup at all:
// refused, and the database stays as it is.
TEST_F(Backup, ADamagedOrMissingBackupIsRefusedWithNothingChanged) {
  ASSERT_EQ(Run("--all").status, 0);
  const fs::path backup = OnlyBackupOf("FINANCE");
  const std::string converted = FinanceState();
  const auto overwrite = [](const fs::path& file, std::streamoff at, const std::string& bytes) {
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(at);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  };
  const auto flipByte = [&](const fs::path& file, std::streamoff at) {
    std::fstream f(file, std::ios::in | std::ios::binary);
    f.seekg(at);
    overwrite(file, at, std::string(1, static_cast<char>(f.get() ^ 1)));
  };
  // The b-tree header of page 2 broken, and the store's line given the new size and sum.
  const auto damagePageKeepingSums = [&] {
    const fs::path store = backup / "fin.records";
    std::string why;
    const std::string oldSum = copylib::FileSha256(store.string(), why).value();
    overwrite(store, 8192, std::string(16, '\xff'));
    std::string manifest = ReadFile(backup / "MANIFEST");
    manifest.replace(manifest.find(oldSum), oldSum.size(), copylib::FileSha256(store.string(), why).value());
    std::ofstream(backup / "MANIFEST", std::ios::binary | std::ios::trunc) << manifest;
  };
  struct Case {
    const char* what;
    std::function<void()> damage;
    std::string args;
    const char* refusal;
  };
  const fs::path saved = site.dir() / "saved-backup";
  fs::copy(backup, saved);
  const Case cases[] = {
      {"letter byte", [&] { flipByte(backup / "LetterA", 3); }, "--restore FINANCE", "cannot be used"},
      {"store byte", [&] { flipByte(backup / "fin.records", 5000); }, "--restore FINANCE", "cannot be used"},
      {"store page, sums rewritten", damagePageKeepingSums, "--restore FINANCE", "integrity check"},
      {"no manifest", [&] { fs::remove(backup / "MANIFEST"); }, "--restore FINANCE", "No backup of the FINANCE"},
      {"no manifest, --from", [&] { fs::remove(backup / "MANIFEST"); }, "--restore FINANCE --from '" + backup.string() + "'",
       "cannot be used"},
      {"not catalogued", [] {}, "--restore NOSUCH", "is not catalogued"},
      {"no backup", [&] { fs::remove_all(site.dir() / "backups"); }, "--restore FINANCE", "No backup of the FINANCE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(site.dir() / "backups");
    fs::create_directories(backup.parent_path());
    fs::copy(saved, backup);
    c.damage();
    const auto refused = Run(c.args);
    EXPECT_EQ(refused.status, 1) << refused.out;
    EXPECT_NE(refused.out.find(c.refusal), std::string::npos) << refused.out;
    EXPECT_NE(refused.out.find("Nothing was restored."), std::string::npos) << refused.out;
    EXPECT_EQ(FinanceState(), converted);
  }
}

// The MANIFEST is written while the steps run: when it cannot be (a letter name holding a tab
// cannot be listed), the steps' records and letter renames are not committed.
TEST_F(Backup, AManifestThatCannotBeWrittenLeavesTheDatabaseAt40) {
  std::ofstream(site.DataDir("finance") / "Letter\tTab") << "x";
  const std::string before = FinanceState();
  const auto run = Run("--all");
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_NE(run.out.find("The FINANCE Database was not converted: its backup could not be written ("), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("cannot be listed in the manifest"), std::string::npos) << run.out;
  EXPECT_EQ(FinanceState(), before);
  EXPECT_NE(ReadFile(site.dir() / "convert5.log").find("- The FINANCE Database was not converted"), std::string::npos);
  for (const auto& entry : fs::directory_iterator(site.dir() / "backups"))
    EXPECT_NE(entry.path().filename().string().rfind("FINANCE-", 0), 0u) << entry.path();
}

// Tests run as root, so the root is made unwritable by putting it under a regular file.
TEST_F(Backup, AnUnwritableBackupRootStopsTheRunBeforeTheFirstDatabase) {
  const std::string before = FinanceState();
  const std::string standardStore = ReadFile(site.DataDir("data") / "std.records");
  const fs::path blocker = site.dir() / "a-file";
  std::ofstream(blocker) << "x";
  const auto run = Run("--all --backup-dir '" + (blocker / "backups").string() + "'");
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_NE(run.out.find("The STANDARD Database was not converted: its backup could not be written (" +
                         (blocker / "backups").string()),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("The conversion stopped because a backup could not be written."), std::string::npos);
  EXPECT_EQ(run.out.find("Updating"), std::string::npos) << run.out;
  EXPECT_EQ(FinanceState(), before);
  EXPECT_EQ(ReadFile(site.DataDir("data") / "std.records"), standardStore);
}

}  // namespace
