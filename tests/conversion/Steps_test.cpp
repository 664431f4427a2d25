// The record conversion steps on a demo site: UpdateCONF and ConvertCodes, the letters, ConvertSact
// and ConvertFilters, ConvertVers and ConvertComp, each compared byte for byte with the records
// before.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "common/FrontEnd.h"
#include "conversion/StepContext.h"
#include "conversion/steps/ActionsAndFilters.h"
#include "conversion/steps/ConfigurationAndCodes.h"
#include "conversion/steps/Letters.h"
#include "conversion/steps/VersionsAndComponents.h"
#include "platform/reclib/Fixture.h"
#include "platform/reclib/trace.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "shared/Connection.h"
#include "shared/DbEngine.h"
#include "shared/Session.h"
#include "support/DemoSite.h"
#include "support/RecordingProvider.h"
#include "support/Records.h"
#include "support/ScriptedUi.h"

namespace {

using namespace filomar;
using steps::convertLettersInDB;
using steps::renameLetters;
using RecordMap = std::map<std::string, std::string>;  // whole records by key, in key order

using testing_support::Padded;

// A demo site for the steps: the record library connected in this process with FINANCE
// selected (as convertdb leaves it), a log, a progress window, a recording server, the
// library's trace on, and the records of a file read back byte for byte.
class StepSite : public ::testing::Test {
 protected:
  static constexpr std::size_t kRecords = 6;
  testing_support::DemoSite site{{.records = kRecords, .dataRoot = {}}};
  testing_support::SiteEnvironment environment{site};
  ui::ScriptedUi screen;
  testing_support::LibraryConnection library;
  ConversionLog log;
  ado::RecordingProviderFactory server;
  frmProgress progress;
  StepContext ctx{log, "FINANCE", "fin", server, progress};

  void SetUp() override {
    SetFrontEnd(screen);
    TRACE_Init();
    TRACE_Enable(8, 1);
    Select("finance", "fin");
    std::string why;
    ASSERT_TRUE(log.Open((site.dir() / "convert5.log").string(), why)) << why;
  }
  void TearDown() override {
    log.Close();
    TRACE_Stop();
  }

  static void Select(std::string directory, std::string prefix) {
    vb_io_setDirectory(ConnHandle, directory, prefix);
    ASSERT_EQ(vb_io_erc, 0) << directory;
  }
  // Every record of `file` in the selected database, keyed by its first `keyLength` bytes.
  static RecordMap Records(short file, std::size_t keyLength = 40) {
    RecordMap records;
    vb_io_open(file, "");
    ClearRecord(file);
    vb_io_start(file, 0, 0, 1025);
    for (vb_io_next(file, 0); vb_io_erc == 0; vb_io_next(file, 0))
      records[std::string(Block(file).record, keyLength)] = std::string(Block(file).record, sizeof Block(file).record);
    EXPECT_EQ(vb_io_erc, kEndOfScan);
    vb_io_endstart(file);
    vb_io_close(file);
    return records;
  }
  int TraceLines(const std::string& text) const {
    std::istringstream lines(testing_support::ReadFile(site.dir() / reclib::kTraceFileName));
    int count = 0;
    for (std::string line; std::getline(lines, line);) count += line.find(text) != std::string::npos;
    return count;
  }
  std::string LogText() {
    log.Close();
    return testing_support::ReadFile(site.dir() / "convert5.log");
  }
};

// ---- UpdateCONF and ConvertCodes

using ConfigurationAndCodes = StepSite;

// `record` with the captions written 20 characters each from element `first` of its list.
std::string WithCaptions(std::string record, std::size_t first, const std::vector<std::string>& captions) {
  for (const std::string& caption : captions) record.replace(3 + 20 * first++, 20, Padded(caption, 20));
  return record;
}

TEST_F(ConfigurationAndCodes, UpdateConfAddsCaptionsStampsC00AndMovesItsRunToC12) {
  const RecordMap before = Records(CONF_FILE, 3);
  steps::UpdateCONF(ctx);
  RecordMap expected = before;
  expected["C04"] = WithCaptions(before.at("C04"), 26,
      {"User code 1", "User code 2", "User code 3", "Security", "Record Category ID", "Related Files",
       "Permanent Record", "Vital Record Type", "Supplemental Markup", "Last Review Date", "Next Review Date",
       "User Box No."});
  expected["C05"] = WithCaptions(before.at("C05"), 32,
      {"User code 1:", "User code 2:", "User code 3:", "Supplemental Markup", "Media Type", "Format",
       "Publication Date", "Addressees", "Other Addressees", "Originating Organisa", "Vital Record Type",
       "Permanent Record", "Record Category ID", "Record Category", "Related Documents", "Last Review Date",
       "Next Review Date", "User Box Number", "Security Code"});
  expected["C06"] = WithCaptions(before.at("C06"), 20,
      {"Security Code", "Space Number", "Permanent Record", "Record Category ID", "Record Category",
       "Last Review Date", "Next Review Date", "Related Boxes"});
  expected["C00"].replace(438, 4, "500A").replace(839, 8, "NNNN0500").replace(1201, 3, "00N");
  const std::string moved = before.at("C00").substr(838, 20);
  expected["C12"] = Padded("C12" + moved, 1536);
  EXPECT_NE(moved.substr(1, 8), "NNNN0500");  // the demo's old settings differ from the new ones
  EXPECT_EQ(Records(CONF_FILE, 3), expected);
  EXPECT_TRUE(screen.Shown().empty());
}

TEST_F(ConfigurationAndCodes, WithoutC00TheC12RowIsBlank) {
  std::filesystem::create_directories(site.dir() / "noconf");
  ASSERT_EQ(io_createStore((site.dir() / "noconf").c_str(), "noc"), 0);
  testing_support::CatalogueDatabase("NOCONF", "noconf", "noc", "");
  Select("noconf", "noc");
  steps::UpdateCONF(ctx);
  EXPECT_EQ(Records(CONF_FILE, 3), (RecordMap{{"C12", Padded("C12", 1536)}}));
}

TEST_F(ConfigurationAndCodes, D007IsAddedOnceAndAnExistingOneIsKept) {
  RecordMap expected = Records(CODE_FILE, 11);
  steps::ConvertCodes(ctx);
  steps::ConvertCodes(ctx);
  expected[Padded("D007", 11)] = Padded(Padded("D007", 11) + "FROZEN", 1536);
  EXPECT_EQ(Records(CODE_FILE, 11), expected);

  Select("personnel", "per");
  testing_support::InsertRecord(CODE_FILE, {{&CODE_Key, "D007"}, {&CODE_Description, "Frozen by the auditors"}});
  const RecordMap personnel = Records(CODE_FILE, 11);
  steps::ConvertCodes(ctx);
  EXPECT_EQ(Records(CODE_FILE, 11), personnel);
}

// ---- renameLetters and convertLettersInDB: the files of a data directory, the "C03" and "C13"
// rows and the "G" code records
namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;
using Letters = StepSite;
using testing_support::LetterFiles;

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

// ---- ConvertSact and the statement ConvertFilters sends

using ConvertSact = StepSite;

std::string Widened(const std::string& record) { return record.substr(0, 64) + std::string(20, ' ') + record.substr(64, 1452); }

TEST_F(ConvertSact, EveryActionGetsTwentyBlanksAfterItsFirst64CharactersAndLosesItsLast20) {
  Select("data", "std");
  const RecordMap standard = Records(SACT_FILE);
  Select("finance", "fin");
  const RecordMap before = Records(SACT_FILE);
  ASSERT_EQ(before.size(), kRecords);
  // The demo's 4.0 actions end in a note (record 2 in NULs) that the widening pushes out.
  EXPECT_EQ(before.begin()->second.substr(1516), "end of action 1     ");
  EXPECT_EQ(std::next(before.begin(), 2)->second.substr(1516), std::string(20, '\0'));

  steps::ConvertSact(ctx);
  RecordMap expected;
  for (const auto& [key, record] : before) expected[key] = Widened(record);
  EXPECT_EQ(Records(SACT_FILE), expected);
  EXPECT_EQ(progress.RecordCountText(), "6 of 6 records");
  Select("data", "std");
  EXPECT_EQ(Records(SACT_FILE), standard);  // only the selected database changes
}

class ConvertFilters : public StepSite {
 protected:
  void TearDown() override {
    DbEngine = Engine::SqlServer;
    Session.SignedOnUserId.clear();
    StepSite::TearDown();
  }
};

TEST_F(ConvertFilters, TheStatementNamesTheSignedOnUserOnEitherEngine) {
  struct Case { Engine engine; std::string userId, statement; };
  for (const Case& c : {Case{Engine::SqlServer, "ADMIN", "update std_filter set filter_userID = 'ADMIN'"},
                        Case{Engine::Oracle, "ADMIN", "update std_filter set filter_userID =HEXTORAW(RAWTOHEX('ADMIN'))"},
                        Case{Engine::SqlServer, "O'BRIEN", "update std_filter set filter_userID = 'O''BRIEN'"},
                        Case{Engine::Oracle, "'X''", "update std_filter set filter_userID =HEXTORAW(RAWTOHEX('''X'''''))"}}) {
    ado::RecordingProviderFactory recording;
    DbEngine = c.engine;
    Session.SignedOnUserId = c.userId;
    StepContext step{log, "STANDARD", "std", recording, progress};
    steps::ConvertFilters(step);
    EXPECT_EQ(recording.Statements(), std::vector<std::string>{c.statement});
  }
  EXPECT_EQ(LogText().find("Error #"), std::string::npos);
}

TEST_F(ConvertFilters, ARefusedStatementOrConnectionIsLoggedAndTheRunGoesOn) {
  Session.SignedOnUserId = "FILOMAR";
  const std::string statement = "update std_filter set filter_userID = 'FILOMAR'";
  const ado::Error missing{ado::kObjectNotFound, "no such table: std_filter", "src", "42S02", 1};
  const ado::Error unreachable{ado::kConnectionFailed, "unable to open database file", "src", "08001", 14};
  server.FailStatement(statement, {missing});
  steps::ConvertFilters(ctx);
  server.FailOpen({unreachable});
  steps::ConvertFilters(ctx);
  // Each error's text and the statement; no statement after a failed connection.
  const std::string text = LogText();
  EXPECT_NE(text.find(ServerError(missing) + statement + "\r\n" + ServerError(unreachable) + "\r\n"), std::string::npos) << text;
}

// ---- ConvertVers and ConvertComp

using UpperCaseSteps = StepSite;

TEST_F(UpperCaseSteps, VersionTextsAreUpperCasedInPlaceAndNulFieldsBecomeBlanks) {
  const RecordMap before = Records(VERS_FILE);
  steps::ConvertVers(ctx);
  const RecordMap after = Records(VERS_FILE);
  ASSERT_EQ(after.size(), before.size());
  const auto nth = [](const RecordMap& records, int n) { return std::next(records.begin(), n - 1)->second; };
  EXPECT_EQ(nth(before, 3).substr(394, 255), std::string(255, '\0'));
  EXPECT_EQ(nth(after, 1).substr(139, 510), Padded("C:\\FILOMAR\\DOCS\\CONTRACTS\\LEASE_1.DOC", 255) +
                                                 Padded("DRAFT 1 FOR REVIEW BY J.SMITH", 255));
  EXPECT_EQ(nth(after, 2), nth(before, 2));  // already upper case
  EXPECT_EQ(nth(after, 3).substr(394, 255), std::string(255, ' '));
  EXPECT_EQ(nth(after, 4).substr(394, 255), Padded("CAF\xC9 CONTRACT \x96 R\xC9SUM\xC9 OF TERMS", 255));  // Windows-1252
  for (const auto& [key, record] : before) {  // nothing outside the two texts changes
    std::string masked = after.at(key);
    EXPECT_EQ(masked.replace(139, 510, record, 139, 510), record) << key;
  }
  EXPECT_EQ(progress.RecordCountText(), "6 of 6 records");
}

TEST_F(UpperCaseSteps, ComponentTextIsUpperCasedByteForByteAndTheRestOfTheRecordKept) {
  const FieldInfo key{0, 40, kText, 1, COMP_FILE, {}, false, false};
  // Letters without an upper-case pair stay; NULs go, and trailing blanks with them.
  testing_support::InsertRecord(COMP_FILE, {{&key, "Z1"}, {&COMP_Text276, "s\x9A oe\x9C z\x9E y\xFF \xE0\xE9\xF6\xF8\xFE \xF7\xDF\xB5\xAA"}});
  testing_support::InsertRecord(COMP_FILE, {{&key, "Z2"}, {&COMP_Text276, std::string("ab\0cd  \0", 8)}});
  const RecordMap before = Records(COMP_FILE);
  steps::ConvertComp(ctx);
  const RecordMap after = Records(COMP_FILE);
  ASSERT_EQ(after.size(), before.size());
  std::vector<std::string> texts;
  for (const auto& [key, record] : before) {
    std::string masked = after.at(key);
    texts.push_back(masked.substr(276, 256));
    EXPECT_EQ(masked.replace(276, 256, record, 276, 256), record) << key;
  }
  EXPECT_EQ(texts[0], Padded("APPENDIX 1 - SITE PLANS.PDF", 256));
  EXPECT_EQ(texts[2], std::string(256, ' '));
  EXPECT_EQ(texts[3], Padded("CAF\xC9 CONTRACT \x96 R\xC9SUM\xC9 OF TERMS", 256));
  EXPECT_EQ(texts[6], Padded("S\x8A OE\x8C Z\x8E Y\x9F \xC0\xC9\xD6\xD8\xDE \xF7\xDF\xB5\xAA", 256));
  EXPECT_EQ(texts[7], Padded("ABCD", 256));
}

}  // namespace
