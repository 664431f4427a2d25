// renameLetters and convertLettersInDB on a demo site: the files of a data directory, the
// "C03" and "C13" rows and the "G" code records, byte for byte.
#include "conversion/steps/Letters.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "RecordStepSite.h"
#include "common/FrontEnd.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"

using namespace filomar;
using filomar::steps::convertLettersInDB;
using filomar::steps::renameLetters;
using Files = std::map<std::string, std::string>;

namespace conversion_test {
namespace {
namespace fs = std::filesystem;

using Letters = RecordStepSite;

constexpr std::size_t kRecord = 1536;

TEST_F(Letters, RenamesTheLetterFilesAndReplacesAnExistingNewName) {
  const fs::path dir = site.DataDir("finance");
  const Files before = LetterFiles(dir);
  ASSERT_EQ(before.size(), 4u);  // LetterA, LetterC, ActShtB and a stale Letter01
  EXPECT_TRUE(renameLetters(ctx));
  EXPECT_EQ(LetterFiles(dir),
            (Files{{"Letter01", before.at("LetterA")}, {"Letter03", before.at("LetterC")},
                   {"ActSht02", before.at("ActShtB")}}));
  const std::string d = dir.string() + "/";
  EXPECT_EQ(TraceLines(" - Original Filename : '"), 20);
  EXPECT_EQ(TraceLines(" - Renaming to   : '"), 3);
  EXPECT_EQ(TraceLines("' does not exist"), 17);
  EXPECT_EQ(TraceLines("]  - Original Filename : '" + d + "LetterA'"), 1);
  EXPECT_EQ(TraceLines("]  - Renaming to   : '" + d + "ActSht02'"), 1);
  EXPECT_EQ(TraceLines("]  - '" + d + "ActShtJ' does not exist"), 1);

  EXPECT_FALSE(renameLetters(ctx));  // a second run finds nothing left to rename
  EXPECT_EQ(TraceLines("' does not exist"), 17 + 20);
  EXPECT_EQ(LetterFiles(dir).size(), 3u);
  EXPECT_TRUE(screen.Shown().empty());
}

TEST(LettersUnderADataRoot, AreFoundWhereTheRecordsAreAndWithoutRegardToCase) {
  testing_support::DemoSite site({.records = 1, .dataRoot = "records"});  // relative StandardDataDir
  testing_support::SiteEnvironment environment(site);
  ui::ScriptedUi screen;
  SetFrontEnd(screen);
  testing_support::LibraryConnection library;
  std::string directory = "personnel", prefix = "per";
  vb_io_setDirectory(ConnHandle, directory, prefix);
  const fs::path dir = site.DataDir("personnel");
  const std::string lower = "lower-case letter";
  std::ofstream(dir / "lettere") << lower;
  std::ofstream(dir / "LETTER05") << "stale";

  ConversionLog log;
  ado::RecordingProviderFactory server;
  frmProgress progress;
  StepContext ctx{log, "PERSONNEL", "per", server, progress};
  EXPECT_TRUE(renameLetters(ctx));
  const Files after = LetterFiles(dir);
  EXPECT_EQ(after.at("Letter05"), lower);
  for (const char* gone : {"lettere", "LETTER05", "LetterA", "ActShtJ"}) EXPECT_EQ(after.count(gone), 0u) << gone;
  for (const char* renamed : {"Letter01", "Letter03", "Letter10", "ActSht02", "ActSht10"})
    EXPECT_EQ(after.count(renamed), 1u) << renamed;
}

// Makes a directory refuse changes even to root (the immutable attribute); undone on exit.
class ReadOnlyDirectory {
 public:
  explicit ReadOnlyDirectory(const fs::path& dir) : dir_(dir) {
    if (geteuid() != 0) {
      fs::permissions(dir, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove);
      applied_ = true;
      return;
    }
    fd_ = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    applied_ = SetImmutable(true);
  }
  ~ReadOnlyDirectory() {
    if (geteuid() != 0) fs::permissions(dir_, fs::perms::owner_write, fs::perm_options::add);
    else if (applied_) SetImmutable(false);
    if (fd_ >= 0) close(fd_);
  }
  bool applied() const { return applied_; }

 private:
  bool SetImmutable(bool on) {
    int flags = 0;
    if (fd_ < 0 || ioctl(fd_, FS_IOC_GETFLAGS, &flags) != 0) return false;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    return ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
  }
  fs::path dir_;
  int fd_ = -1;
  bool applied_ = false;
};

std::string AccessErrorText(const std::string& d, const std::string& from, const std::string& to) {
  return "Error 75: Path/File access error\r\nOld Filename : '" + d + from + "'   New Filename: '" + d + to +
         "'\r\nClick OK to continue or Cancel to abort the renaming of Standard Letters & Action Sheets.";
}

TEST_F(Letters, ARefusedRenamingAsksAndOkGoesOnCancelStops) {
  const fs::path dir = site.DataDir("data");  // LetterA, LetterC, LetterJ, ActShtB, ActShtJ
  Select("data", "std");
  const Files before = LetterFiles(dir);
  bool renamed = true;
  {
    ReadOnlyDirectory readOnly(dir);
    if (!readOnly.applied()) GTEST_SKIP() << "running as root on a file system without the immutable attribute";
    screen.Answer(ui::kOK);
    screen.Answer(ui::kCancel);
    renamed = renameLetters(ctx);
  }
  EXPECT_FALSE(renamed);
  const std::string d = dir.string() + "/";
  ASSERT_EQ(screen.Shown().size(), 2u);
  EXPECT_EQ(screen.Shown()[0].text, AccessErrorText(d, "LetterA", "Letter01"));
  EXPECT_EQ(screen.Shown()[1].text, AccessErrorText(d, "LetterC", "Letter03"));
  for (const ui::ShownMessage& shown : screen.Shown()) {
    EXPECT_EQ(shown.title, "Rename Letters");
    EXPECT_EQ(shown.code, ui::mb::OKCancel | ui::mb::Critical);
  }
  EXPECT_EQ(TraceLines(" - Original Filename : '"), 3);  // A, B (missing), C: then Cancel
  EXPECT_EQ(LetterFiles(dir), before);
}

// The 4.0 letter field of each demo "G" code and the letter and action sheet fields after.
struct LetterCase {
  const char* code;
  const char* before;  // offsets 95..98
  const char* after;
};
constexpr LetterCase kLetterCases[] = {
    {"ACK", "AB  ", "0001"},      {"CLOSE", "    ", "    "},   {"FOI", "ab  ", "ab  "},
    {"INSPECT", "C   ", "02  "},  {"LEGACY", "12  ", "12  "},  {"REMIND", "JJ  ", "0909"},
    {"REVIEW", "EF  ", "0405"},   {"SUMMONS", "KB  ", "KB01"}, {"TRANSFER", " B  ", "  01"},
};

std::string CodeKey(const char* type, const char* code) { return Padded(std::string(type) + code, 11); }

// C13 with the ten 4.0 letter names of `c03`, each widened from 49 to 50 characters.
std::string C13From(const std::string& c03) {
  std::string names;
  for (std::size_t i = 0; i < 10; ++i) names += c03.substr(3 + 49 * i, 49) + " ";
  return Padded("C13" + names, kRecord);
}

class LettersInDatabase : public RecordStepSite, public ::testing::WithParamInterface<bool> {};

// Without "C13" (as on a 4.0 site) and with the empty "C13" an upgrade would bring.
TEST_P(LettersInDatabase, MoveTheNamesAndTurnTheCodeLettersIntoIndexes) {
  if (GetParam()) testing_support::InsertRecord(CONF_FILE, {{&CONF_RowKey, "C13"}});
  const RecordMap conf = Records(CONF_FILE, 3), codes = Records(CODE_FILE, 11);
  for (const LetterCase& c : kLetterCases)
    ASSERT_EQ(codes.at(CodeKey("G", c.code)).substr(95, 4), c.before) << c.code;

  renameLetters(ctx);
  EXPECT_EQ(convertLettersInDB(ctx), Variant());

  RecordMap expectedConf = conf;
  expectedConf["C13"] = C13From(conf.at("C03"));
  expectedConf["C03"] = Padded("C03" + conf.at("C03").substr(493, 490), kRecord);
  RecordMap expectedCodes = codes;
  for (const LetterCase& c : kLetterCases) {
    std::string& record = expectedCodes[CodeKey("G", c.code)];
    record = Replaced(record, 95, c.after);
  }
  EXPECT_EQ(Records(CONF_FILE, 3), expectedConf);
  EXPECT_EQ(Records(CODE_FILE, 11), expectedCodes);
  EXPECT_TRUE(screen.Shown().empty());
  EXPECT_EQ(TraceLines("Row C13 was not found; adding it"), GetParam() ? 0 : 1);

  // A second run leaves the moved names and the indexes as they are.
  EXPECT_FALSE(renameLetters(ctx));
  convertLettersInDB(ctx);
  EXPECT_EQ(Records(CONF_FILE, 3), expectedConf);
  EXPECT_EQ(Records(CODE_FILE, 11), expectedCodes);
  EXPECT_TRUE(screen.Shown().empty());
}

INSTANTIATE_TEST_SUITE_P(C13, LettersInDatabase, ::testing::Values(false, true));

}  // namespace
}  // namespace conversion_test
