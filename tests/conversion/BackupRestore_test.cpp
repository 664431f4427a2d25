// The built filomar-convert's backups and restores on a demo site: a conversion backs each
// database up, a restore gives back the exact 4.0 records and letter files, a damaged backup
// is refused, and an unwritable backup root stops the run before anything changes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>

#include "support/DemoSite.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using testing_support::DemoSite;
using testing_support::ProgramRun;
using testing_support::ReadFile;
using testing_support::RunShell;
using testing_support::RunSiteTool;

namespace {

class BackupRestore : public ::testing::Test {
 protected:
  DemoSite site;
  testing_support::SiteEnvironment environment{site};

  ProgramRun Run(const std::string& args) {
    return RunShell("echo FILOMAR | '" FILOMAR_CONVERT_EXE "' --batch --user FILOMAR --password-stdin " + args,
                    site.dir() / "program.out");
  }

  // FINANCE's converted record files and its letter files, by name and content.
  std::string FinanceState() {
    std::string state;
    for (const char* code : {"CONF", "CODE", "SACT", "VERS", "COMP"}) {
      state += code + RunSiteTool({"dump", site.dir().string(), "finance", "fin", code}).out;
    }
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(site.DataDir("finance"))) names.insert(entry.path().filename().string());
    for (const std::string& name : names) {
      if (name.rfind("Letter", 0) == 0 || name.rfind("ActSht", 0) == 0) state += name + ReadFile(site.DataDir("finance") / name);
    }
    return state;
  }

  fs::path OnlyBackupOf(const std::string& name) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(site.dir() / "backups")) {
      if (entry.path().filename().string().rfind(name + "-", 0) == 0) found.push_back(entry.path());
    }
    EXPECT_EQ(found.size(), 1u) << name;
    return found.empty() ? fs::path() : found.front();
  }
};

TEST_F(BackupRestore, ARestoreGivesBackTheExactRecordsAndLettersOfTheBackup) {
  const std::string before = FinanceState();
  const ProgramRun converted = Run("--all");
  ASSERT_EQ(converted.status, 0) << converted.out;
  const fs::path backup = OnlyBackupOf("FINANCE");
  EXPECT_NE(converted.out.find("FINANCE: Backed up to " + backup.string()), std::string::npos) << converted.out;
  ASSERT_NE(FinanceState(), before);

  const ProgramRun restored = Run("--restore FINANCE");
  EXPECT_EQ(restored.status, 0) << restored.out;
  EXPECT_NE(restored.out.find("The FINANCE Database was restored from " + backup.string()), std::string::npos)
      << restored.out;
  EXPECT_EQ(FinanceState(), before);
  // At 4.0 again: offered, and converted as the first time.
  const ProgramRun again = Run("--database FINANCE --no-backup");
  EXPECT_EQ(again.status, 0) << again.out;
  EXPECT_NE(ReadFile(site.dir() / "convert5.log").find("- Conversion of FINANCE completed at "), std::string::npos);
}

// One changed byte in a letter or in the store, a missing manifest, an unknown database or
// no backup at all: refused, and the database stays as it is.
TEST_F(BackupRestore, ADamagedOrMissingBackupIsRefusedWithNothingChanged) {
  ASSERT_EQ(Run("--all").status, 0);
  const fs::path backup = OnlyBackupOf("FINANCE");
  const std::string converted = FinanceState();
  const auto flipByte = [](const fs::path& file, std::streamoff at) {
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekg(at);
    const char c = static_cast<char>(f.get());
    f.seekp(at);
    f.put(static_cast<char>(c ^ 1));
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
      {"no manifest", [&] { fs::remove(backup / "MANIFEST"); }, "--restore FINANCE", "cannot be used"},
      {"not catalogued", [] {}, "--restore NOSUCH", "is not catalogued"},
      {"no backup", [&] { fs::remove_all(site.dir() / "backups"); }, "--restore FINANCE", "No backup of the FINANCE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(site.dir() / "backups");
    fs::create_directories(backup.parent_path());
    fs::copy(saved, backup);
    c.damage();
    const ProgramRun refused = Run(c.args);
    EXPECT_EQ(refused.status, 1) << refused.out;
    EXPECT_NE(refused.out.find(c.refusal), std::string::npos) << refused.out;
    EXPECT_NE(refused.out.find("Nothing was restored."), std::string::npos) << refused.out;
    EXPECT_EQ(FinanceState(), converted);
  }
}

TEST_F(BackupRestore, AnUnwritableBackupRootStopsTheRunBeforeTheFirstDatabase) {
  const std::string before = FinanceState();
  const std::string standardStore = ReadFile(site.DataDir("data") / "std.records");
  const fs::path blocker = site.dir() / "a-file";
  std::ofstream(blocker) << "x";
  const ProgramRun run = Run("--all --backup-dir '" + (blocker / "backups").string() + "'");
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
