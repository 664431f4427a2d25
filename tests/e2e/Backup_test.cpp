// Backups and restores by the built program in batch: a conversion backs each database up, a
// restore gives back the exact 4.0 records and letter files (a name with blanks included), a
// damaged backup is refused, and an unwritable backup root stops the run before anything changes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include "backup/Seal.h"
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
    for (const auto& [name, content] : testing_support::LetterFiles(site.DataDir("finance"))) state += name + content;
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

// A damaged, missing or hostile backup is refused with status 1, and no file of the site's data
// directories changes (bytes, modes, times).
TEST_F(Backup, ADamagedMissingOrHostileBackupIsRefusedWithNothingChanged) {
  ASSERT_EQ(Run("--all").status, 0);
  const fs::path backup = OnlyBackupOf("FINANCE");
  const fs::path personnel = OnlyBackupOf("PERSONNEL");
  const auto overwrite = [](const fs::path& file, std::streamoff at, const std::string& bytes) {
    std::fstream(file, std::ios::in | std::ios::out | std::ios::binary).seekp(at).write(bytes.data(), std::ssize(bytes));
  };
  const auto flipByte = [&](const fs::path& file, std::streamoff at) {
    overwrite(file, at, std::string(1, static_cast<char>(ReadFile(file).at(static_cast<std::size_t>(at)) ^ 1)));
  };
  const auto sum = [](const fs::path& file) {
    std::string why;
    return copylib::FileSha256(file.string(), why).value();
  };
  // The MANIFEST without its seal line, and sealed again with `key` (none: left without one).
  const auto unsealed = [&] {
    const std::string manifest = ReadFile(backup / "MANIFEST");
    return manifest.substr(0, manifest.rfind("seal\t"));
  };
  const auto rewrite = [&](const std::string& text, const std::string& key) {
    std::ofstream(backup / "MANIFEST", std::ios::binary | std::ios::trunc)
        << text << (key.empty() ? "" : "seal\t" + filomar::backup::SealOf(text, key) + "\n");
  };
  const std::string siteKey = ReadFile(site.dir() / filomar::backup::kKeyName);
  // A MANIFEST line for `name` of the backup folder with its true size and sum, as someone
  // who writes to the backup root would add it, sealed with `key` (none: no seal).
  const auto list = [&](const std::string& name, const std::string& from, const std::string& key = "") {
    rewrite(unsealed() + "letter\t" + std::to_string(fs::file_size(backup / name)) + "\t" + sum(backup / name) + "\t" + name +
                "\t" + from + "\n",
            key);
  };
  // `file` changed by `change`, and its sum in the MANIFEST rewritten and sealed with `key`.
  const auto changeKeepingSums = [&](const std::string& file, const std::function<void()>& change, const std::string& key) {
    const std::string oldSum = sum(backup / file);
    change();
    std::string manifest = unsealed();
    manifest.replace(manifest.find(oldSum), oldSum.size(), sum(backup / file));
    rewrite(manifest, key);
  };
  const fs::path finance = fs::canonical(site.DataDir("finance"));
  struct Case {
    const char* what;
    std::function<void()> damage;
    std::string args;
    const char* refusal;
  };
  const fs::path saved = site.dir() / "saved-backup";
  fs::copy(backup, saved);
  const Case cases[] = {
      {"letter byte", [&] { flipByte(backup / "LetterA", 3); }, "--restore FINANCE", "LetterA: its SHA-256 differs"},
      {"store byte", [&] { flipByte(backup / "fin.records", 5000); }, "--restore FINANCE", "fin.records: its SHA-256 differs"},
      // The b-tree header of page 2 broken behind a sum sealed with the site's key: the
      // store's integrity check still refuses it.
      {"store page, sums rewritten and sealed",
       [&] { changeKeepingSums("fin.records", [&] { overwrite(backup / "fin.records", 8192, std::string(16, '\xff')); }, siteKey); },
       "--restore FINANCE", "fin.records: integrity check"},
      {"letter edited, sums rewritten without the key",
       [&] { changeKeepingSums("LetterA", [&] { flipByte(backup / "LetterA", 3); }, std::string(filomar::backup::kKeySize, 'x')); },
       "--restore FINANCE", "its seal does not verify"},
      {"installation record as a letter",
       [&] { std::ofstream(backup / "install.rec") << "EVIL", list("install.rec", (finance / "install.rec").string()); },
       "--restore FINANCE", "\"install.rec\" is listed as a letter but is not a letter file name"},
      {"letter a link",
       [&] {
         fs::create_symlink(site.DataDir("data") / "install.rec", backup / "LetterZ");
         list("LetterZ", (finance / "LetterZ").string(), siteKey);
       },
       "--restore FINANCE", "LetterZ: a symbolic link, not a file"},
      {"letter twice", [&] { list("LetterA", (finance / "LetterA").string()); }, "--restore FINANCE", "\"LetterA\" is listed twice"},
      {"another database's backup", [] {}, "--restore FINANCE --from '" + personnel.string() + "'",
       "a backup of PERSONNEL, not of FINANCE"},
      {"no manifest", [&] { fs::remove(backup / "MANIFEST"); }, "--restore FINANCE", "no backup of FINANCE"},
      {"no manifest, --from", [&] { fs::remove(backup / "MANIFEST"); }, "--restore FINANCE --from '" + backup.string() + "'",
       "MANIFEST: no such file"},
      {"not catalogued", [] {}, "--restore NOSUCH", "NOSUCH: not catalogued"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(backup);
    fs::copy(saved, backup);
    c.damage();
    std::map<std::string, testing_support::FileSnapshot> before;
    for (const char* directory : {"data", "finance", "personnel"}) before[directory] = testing_support::Snapshot(site.DataDir(directory));
    const auto refused = Run(c.args);
    EXPECT_EQ(refused.status, 1) << refused.out;
    EXPECT_NE(refused.out.find("Nothing was restored: "), std::string::npos) << refused.out;
    EXPECT_NE(refused.out.find(c.refusal), std::string::npos) << refused.out;
    for (const auto& [directory, files] : before)
      EXPECT_EQ(testing_support::Changes(files, testing_support::Snapshot(site.DataDir(directory))), "") << directory;
  }
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
