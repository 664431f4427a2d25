// renameLetters and convertLettersInDB on a demo site: the files of a data directory, the
// "C03" and "C13" rows and the "G" code records, byte for byte.
#include "conversion/steps/Letters.h"

#include <filesystem>

#include "StepSite.h"
#include "platform/reclib/Fixture.h"
#include "common/Text.h"
#include "recio/conffld.h"

using namespace filomar;
using steps::convertLettersInDB;
using steps::renameLetters;

namespace conversion_test {
namespace {
namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;
using Letters = StepSite;

// The letter and action sheet files of `dir` (any case) with their contents.
Files LetterFiles(const fs::path& dir) {
  Files files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string(), kind = UpperCp1252(name.substr(0, 6));
    if (kind == "LETTER" || kind == "ACTSHT") files[name] = testing_support::ReadFile(entry.path());
  }
  return files;
}

TEST_F(Letters, RenamesTheLetterFilesAndReplacesAnExistingNewName) {
  const fs::path dir = site.DataDir("finance");
  const Files before = LetterFiles(dir);  // LetterA, LetterC, ActShtB and a stale Letter01
  ASSERT_EQ(before.size(), 4u);
  EXPECT_TRUE(renameLetters(ctx));
  EXPECT_EQ(LetterFiles(dir), (Files{{"Letter01", before.at("LetterA")}, {"Letter03", before.at("LetterC")},
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
  EXPECT_TRUE(screen.Shown().empty());
}

TEST_F(Letters, ARefusedRenamingAsksAndOkGoesOnCancelStops) {
  const fs::path dir = site.DataDir("data");  // LetterA, LetterC, LetterJ, ActShtB, ActShtJ
  Select("data", "std");
  const Files before = LetterFiles(dir);
  screen.Answer(ui::kOK);
  screen.Answer(ui::kCancel);
  {
    reclib_test::ImmutableDirectory readOnly(dir);
    if (!readOnly.applied()) GTEST_SKIP() << "no immutable attribute here (not root, or not supported)";
    EXPECT_FALSE(renameLetters(ctx));
  }
  const std::string d = dir.string() + "/", tail = "'\r\nClick OK to continue or Cancel to abort the renaming of "
                                                   "Standard Letters & Action Sheets.";
  const std::string text = "Error 75: Path/File access error\r\nOld Filename : '" + d;
  ASSERT_EQ(screen.Shown().size(), 2u);
  EXPECT_EQ(screen.Shown()[0].text, text + "LetterA'   New Filename: '" + d + "Letter01" + tail);
  EXPECT_EQ(screen.Shown()[1].text, text + "LetterC'   New Filename: '" + d + "Letter03" + tail);
  EXPECT_EQ(screen.Shown()[1].title, "Rename Letters");
  EXPECT_EQ(screen.Shown()[1].code, ui::mb::OKCancel | ui::mb::Critical);
  EXPECT_EQ(TraceLines(" - Original Filename : '"), 3);  // A, B (missing), C: then Cancel
  EXPECT_EQ(LetterFiles(dir), before);
}

// The letter field of each demo "G" code (95..98) before and after.
constexpr const char* kLetterCases[][3] = {
    {"ACK", "AB  ", "0001"},     {"CLOSE", "    ", "    "},  {"FOI", "ab  ", "ab  "},
    {"INSPECT", "C   ", "02  "}, {"LEGACY", "12  ", "12  "}, {"REMIND", "JJ  ", "0909"},
    {"REVIEW", "EF  ", "0405"},  {"SUMMONS", "KB  ", "KB01"}, {"TRANSFER", " B  ", "  01"}};

class LettersInDatabase : public StepSite, public ::testing::WithParamInterface<bool> {};

// Without "C13" (as on a 4.0 site) and with the blank "C13" an upgrade script would add.
TEST_P(LettersInDatabase, MoveTheNamesAndTurnTheCodeLettersIntoIndexes) {
  if (GetParam()) testing_support::InsertRecord(CONF_FILE, {{&CONF_RowKey, "C13"}});
  const RecordMap conf = Records(CONF_FILE, 3);
  RecordMap codes = Records(CODE_FILE, 11);
  renameLetters(ctx);
  EXPECT_EQ(convertLettersInDB(ctx), Variant());

  RecordMap expectedConf = conf;
  std::string names;
  for (std::size_t i = 0; i < 10; ++i) names += conf.at("C03").substr(3 + 49 * i, 49) + " ";
  expectedConf["C13"] = Padded("C13" + names, 1536);
  expectedConf["C03"] = Padded("C03" + conf.at("C03").substr(493, 490), 1536);
  for (const auto& [code, before, after] : kLetterCases) {
    std::string& record = codes.at(Padded(std::string("G") + code, 11));
    ASSERT_EQ(record.substr(95, 4), before) << code;
    record.replace(95, 4, after);
  }
  for (int run = 1; run <= 2; ++run) {  // a second run leaves names and indexes as they are
    EXPECT_EQ(Records(CONF_FILE, 3), expectedConf) << run;
    EXPECT_EQ(Records(CODE_FILE, 11), codes) << run;
    EXPECT_FALSE(renameLetters(ctx));
    convertLettersInDB(ctx);
  }
  EXPECT_TRUE(screen.Shown().empty());
  EXPECT_EQ(TraceLines("Row C13 was not found; adding it"), GetParam() ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(C13, LettersInDatabase, ::testing::Values(false, true));

}  // namespace
}  // namespace conversion_test
