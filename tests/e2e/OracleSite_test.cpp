// A demo site on the Oracle engine letter, converted by the built program on the embedded
// engine: the Oracle statements are refused and logged, the record conversions complete, and
// the twelve user levels are written into each database's CODE file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/SiteRun.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace {

using testing_support::ReadFile;

// The twelve user levels as they must stand in CODE, written out here rather than taken from the code.
struct Level { const char *key, *description, *mask1, *mask2; };
const Level kLevels[] = {
    {"L0", "ZERO", "YNNNNNNNNNNNNNNNNNNNNNNNNNNN", "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN"},
    {"L1", "ONE", "YYNNNNNNNNNNNNNNNNNNNNNNNNNN", "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN"},
    {"L2", "TWO", "YYYNNNNNNNNNNNNNNNNNNNNNNNNN", "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN"},
    {"L3", "THREE", "YYYNYYNNYNNNNNNNNNNNNNNNNNNN", "YNNNNYYNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN"},
    {"L4", "FOUR", "YYYYYYYNYNNNNNNNNNNNNNNNNNNN", "NNYYNYYNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN"},
    {"L5", "FIVE", "YYYYYYYNYYNNNNNNNNNNNNNNNNNN", "NNYYNYYNNYYYNYNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN"},
    {"L6", "SIX", "YYYYYYYNYYYYYYYYNNNNNNNNNNNN", "NNYYYYYYYYYYYYYYYYYYYYYYYYYYYYYNNNNNNNNNNNNN"},
    {"L7", "SEVEN", "YYYYYYYYYYYYYYYYYNNNNNYYYYYY", "YYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYNNNNNNNNNNNNN"},
    {"L8", "EIGHT", "YYYYYYYYYYYYYYYYYYNYYYYYYYYY", "YYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYY"},
    {"L9", "NINE", "YYYYYYYYYYYYYYYYYYYYYYYYYYYY", "YYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYY"},
    {"LS", "SEARCH", "YYYYNNNNNNNNNYYYNNNNNNNNNNNN", "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN"},
    {"LM", "MOVEMENT", "NNNNNYYNNNNYNNNNNNNNNNNNNNNN", "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN"},
};

// Clears every flag of the demo's level records, so that only the conversion can set them.
void ClearLevelFlags(std::string directory, std::string prefix) {
  using namespace filomar;
  testing_support::LibraryConnection library;
  vb_io_setDirectory(ConnHandle, directory, prefix);
  vb_io_open(CODE_FILE, "");
  for (const Level& level : kLevels) {
    const std::string key = level.key;
    PutField(CODE_Key, key);
    vb_io_read(CODE_FILE, 0, 1);
    ASSERT_EQ(vb_io_erc, 0) << key;
    PutFieldArray(CODE_LevelMask1, std::vector<Variant>(28, Variant(std::string("N"))));
    PutFieldArray(CODE_LevelMask2, std::vector<Variant>(44, Variant(std::string("N"))));
    vb_io_rewrite(CODE_FILE);
    ASSERT_EQ(vb_io_erc, 0) << key;
  }
  vb_io_close(CODE_FILE);
}

using testing_support::Padded;

TEST(OracleDemoSite, OracleStatementsAreRefusedAndLoggedAndTheRecordsAreConverted) {
  const testing_support::DemoSite site({.engine = 'O', .dataRoot = std::nullopt});
  const testing_support::SiteEnvironment environment(site);
  ClearLevelFlags("data", "std");
  ClearLevelFlags("finance", "fin");

  const auto run = e2e::RunConvert(site, "FILOMAR", "--user FILOMAR --database STANDARD --database FINANCE");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("Conversion of Databases has completed "), std::string::npos) << run.out;

  // Each step is announced in order; every other line is a Print remark of the script or a
  // refused statement with the server's error.
  std::vector<std::string> steps, expected = e2e::kLogHeader;
  for (const std::string name : {"STANDARD", "FINANCE"}) {
    const auto lines = e2e::DatabaseLines(name, {"     - Creating new Stored Procedures "});
    expected.insert(expected.end(), lines.begin(), lines.end());
  }
  int refused = 0;
  const auto lines = e2e::LogLines(ReadFile(site.dir() / "convert5.log"));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (i < 4 || line.rfind("     - ", 0) == 0 || line.rfind(std::string(20, ' ') + "Converting ", 0) == 0) {
      steps.push_back(e2e::MaskTime(line));
    } else if (line.find("Error #") != std::string::npos) {
      ++refused;
      EXPECT_NE(line.find("(Source: "), std::string::npos) << line;
    } else {
      EXPECT_EQ(line.rfind("     Print ", 0), 0u) << line;
    }
  }
  EXPECT_EQ(steps, expected);
  EXPECT_GT(refused, 0);

  for (const auto& [dataDir, prefix] : {std::pair{"data", "std"}, std::pair{"finance", "fin"}}) {
    const auto conf = e2e::Records(site, dataDir, prefix, "CONF");
    ASSERT_TRUE(conf.count("C00")) << dataDir;
    EXPECT_EQ(conf.at("C00").substr(438, 4), "500A") << dataDir;
    const auto codes = e2e::Records(site, dataDir, prefix, "CODE");
    for (const Level& level : kLevels) {
      const auto found = codes.find(Padded(level.key, 11));
      ASSERT_NE(found, codes.end()) << dataDir << " " << level.key;
      const std::string& record = found->second;
      EXPECT_EQ(record.substr(11, 70), Padded(level.description, 70)) << dataDir << " " << level.key;
      EXPECT_EQ(record.substr(81, 28), level.mask1) << dataDir << " " << level.key;
      EXPECT_EQ(record.substr(109, 44), level.mask2) << dataDir << " " << level.key;
    }
  }
  // PERSONNEL was not chosen: still at 4.0.
  EXPECT_EQ(e2e::Records(site, "personnel", "per", "CONF").at("C00").substr(438, 4), "400A");
}

}  // namespace
