// The backups window over a backup made by a conversion run: listed, checked without a file
// written beside it, restored only after the confirmation, refused when tampered with; and
// the main window's backup settings.
#include "conversion/Backups.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "ConversionSite.h"
#include "backup/Manifest.h"
#include "backup/Seal.h"
#include "platform/copylib/Sha256.h"
#include "support/Screen.h"
#include "support/StoreRecords.h"

using namespace filomar;
using testing::HasSubstr;
using testing::MatchesRegex;
using testing_support::ReadFile;
using testing_support::StoreRecords;
using testing_support::Texts;

namespace {

namespace fs = std::filesystem;

// The progress a check painted with a measure: "<caption up to " of "> <percent>%".
struct ProgressSeen : Backups::Painter {
  std::vector<std::string> figures;
  void Paint(const Backups& window) override {
    if (!window.checking || window.progressTotal == 0) return;
    figures.push_back(window.lblProgress.substr(0, window.lblProgress.find(" of ")) + " " +
                      std::to_string(100 * window.progressDone / window.progressTotal) + "%");
  }
};

// STANDARD converted with a backup, then the main window loaded again (STANDARD is at 5.0 and
// no longer listed), as a later start shows it.
class BackupsTest : public conversion_test::ConversionSite {
 protected:
  void SetUp() override {
    ConversionSite::SetUp();
    AddDatabase("STANDARD", "400A");
    home.Write("data/LetterA", "letter A");
    window.backupRoot = home.str() + "/backups";
    ShowWindow();
    before = Records();
    window.cmdStart_Click();
    home.Write("data/LetterA", "changed since");
    window.Reload();
    backups.painter = &progress;
    backups.Form_Load();
  }
  std::string Records() const { return StoreRecords((home.path() / "data" / "std.records").string()); }
  std::string Folder() const { return backups.list.at(0).folders.at(0).path; }

  Backups backups{window};
  ProgressSeen progress;
  std::string before;
};

TEST_F(BackupsTest, ListsTheBackupOfARunChecksItAndRestoresItOnlyAfterTheConfirmation) {
  ASSERT_EQ(ListState(), "");
  EXPECT_FALSE(window.cmdStartEnabled);
  const std::string converted = Records();
  ASSERT_NE(converted, before);
  ASSERT_EQ(backups.list.size(), 1u);
  ASSERT_EQ(backups.list[0].folders.size(), 1u);
  const Backups::Folder& folder = backups.list[0].folders[0];
  EXPECT_EQ(backups.list[0].name, "STANDARD");
  EXPECT_EQ(backups.lblRoot, "Backups in " + home.str() + "/backups");
  EXPECT_THAT(folder.time, MatchesRegex("20[0-9][0-9]-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]"));
  EXPECT_EQ(folder.size, static_cast<long long>(fs::file_size(fs::path(Folder()) / "std.records") +
                                                fs::file_size(fs::path(Folder()) / "LetterA") +
                                                fs::file_size(fs::path(Folder()) / "MANIFEST")));
  EXPECT_EQ(folder.check, Backups::kNotChecked);
  EXPECT_FALSE(backups.cmdCheckEnabled());  // nothing chosen yet

  // The check reads the folder only: not even a lock or journal file appears beside the store.
  const auto untouched = testing_support::Snapshot(Folder());
  backups.List_Click(0, 0);
  backups.cmdCheck_Click();
  EXPECT_EQ(folder.check, Backups::kCheckPassed);
  EXPECT_EQ(testing_support::Changes(untouched, testing_support::Snapshot(Folder())), "");
  // The sums, then the store, each measured from the start to the end.
  const auto at = [this](const std::string& figure) {
    return std::find(progress.figures.begin(), progress.figures.end(), figure) - progress.figures.begin();
  };
  EXPECT_LT(at("Checking the sums 100%"), at("Checking the record store 0%"));
  EXPECT_LT(at("Checking the record store 0%"), at("Checking the record store 100%"));
  EXPECT_LT(at("Checking the record store 100%"), static_cast<long>(progress.figures.size()));
  EXPECT_FALSE(backups.checking);

  screen.Answer(ui::kCancel);
  backups.cmdRestore_Click();
  const ui::ShownMessage question = screen.Shown().back();
  EXPECT_EQ(question.code, ui::mb::OKCancel | ui::mb::Exclamation | ui::mb::DefaultButton2);
  for (const std::string& named : {"Restore the STANDARD Database from its backup of " + folder.time,
                                   "its record store " + fs::canonical(home.path()).string() + "/data/std.records",
                                   "the letter files in " + fs::canonical(home.path()).string() + "/data",
                                   std::string("(converted to Filomar 5.0) is lost")})
    EXPECT_THAT(question.text, HasSubstr(named));
  EXPECT_EQ(Records(), converted);

  screen.Answer(ui::kOK);
  backups.cmdRestore_Click();
  EXPECT_THAT(Texts(screen).back(), HasSubstr("The STANDARD Database was restored from " + Folder()));
  EXPECT_EQ(Records(), before);
  EXPECT_EQ(ReadFile(home.path() / "data" / "LetterA"), "letter A");
  // The main window lists it again, selected, and can start.
  EXPECT_EQ(ListState(), "STANDARD*");
  EXPECT_TRUE(window.cmdStartEnabled);
  EXPECT_EQ(conversion_test::CurrentDatabaseOfLibrary(), "data/std");
}

// A folder changed after its backup fails the check, naming why, and its restore is refused
// with nothing of the database changed.
TEST_F(BackupsTest, ATamperedBackupFailsItsCheckAndItsRestoreChangesNothing) {
  const fs::path folder = Folder(), pristine = home.path() / "pristine";
  fs::copy(folder, pristine);
  const auto reseal = [&folder] {
    backup::Manifest manifest;
    std::string why, key;
    ASSERT_TRUE(backup::ReadManifest(folder.string(), manifest).ok());
    for (backup::ManifestEntry& entry : manifest.entries) {
      entry.size = static_cast<long long>(fs::file_size(folder / entry.name));
      entry.sha256 = copylib::FileSha256((folder / entry.name).string(), why).value_or("");
    }
    ASSERT_TRUE(backup::LoadKey(folder.parent_path().parent_path().string(), key).ok());
    ASSERT_TRUE(backup::WriteManifest(folder.string(), manifest, key).ok());
  };
  const struct {
    const char* tampering;
    std::function<void()> tamper;
    std::string why;
  } cases[] = {
      {"a line added to the MANIFEST", [&] { std::ofstream(folder / "MANIFEST", std::ios::app) << "letter\t1\t"; },
       folder.string() + "/MANIFEST: "},
      {"a damaged store copy sealed again",
       [&] {
         std::fstream store(folder / "std.records", std::ios::in | std::ios::out | std::ios::binary);
         store.seekp(8192 + 8);
         store << std::string(512, '\xA5');
         store.close();
         reseal();
       },
       folder.string() + "/std.records: integrity check: "},
  };
  const std::string converted = Records();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tampering);
    fs::remove_all(folder);
    fs::copy(pristine, folder);
    c.tamper();
    Backups fresh(window);
    fresh.Form_Load();
    fresh.List_Click(0, 0);
    fresh.cmdCheck_Click();
    EXPECT_THAT(fresh.list[0].folders[0].check, HasSubstr("failed: " + c.why));
    screen.Answer(ui::kOK);
    fresh.cmdRestore_Click();
    EXPECT_THAT(Texts(screen).back(), HasSubstr("Nothing was restored: " + c.why));
    EXPECT_EQ(Records(), converted);
    EXPECT_EQ(ReadFile(home.path() / "data" / "LetterA"), "changed since");
    EXPECT_EQ(ListState(), "");
  }
}

// Backups are turned off only once the warning is answered OK; choosing a folder turns them on.
TEST_F(BackupsTest, TurningBackupsOffWarnsWhatIsLost) {
  const std::string root = home.str() + "/backups";
  ASSERT_TRUE(window.chkBackup());
  screen.Answer(ui::kCancel);
  window.chkBackup_Click();
  EXPECT_EQ(window.backupRoot, root);
  screen.Answer(ui::kOK);
  window.chkBackup_Click();
  EXPECT_FALSE(window.chkBackup());
  EXPECT_EQ(screen.Shown().back().text, DBSelect::kNoBackupWarning);
  EXPECT_THAT(screen.Shown().back().text, HasSubstr("cannot be put back as it was before its conversion"));
  window.chkBackup_Click();  // on again, into the same folder, without a question
  EXPECT_EQ(window.backupRoot, root);
  const std::size_t asked = screen.Shown().size();

  screen.Answer(ui::kOK);
  window.chkBackup_Click();
  window.txtBackupDir_Change("   ");
  EXPECT_FALSE(window.chkBackup());
  window.txtBackupDir_Change("elsewhere/backups");
  EXPECT_EQ(window.backupRoot, (fs::current_path() / "elsewhere/backups").string());
  EXPECT_EQ(window.txtBackupDir, *window.backupRoot);
  EXPECT_EQ(screen.Shown().size(), asked + 1);
}

}  // namespace
