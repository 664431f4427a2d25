// A whole conversion of a SQL Server demo site by the built program in batch: the log line by
// line, the record files before and after, the letter files, and the start after it.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "e2e/SiteRun.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;

std::set<std::string> FileNames(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
  return names;
}

TEST(FullConversion, EveryDatabaseIsConvertedAsLoggedAndTheNextStartIsSilent) {
  const testing_support::DemoSite site;
  const testing_support::SiteEnvironment environment(site);
  std::map<std::string, std::map<std::string, std::string>> before;
  for (const e2e::Database& db : e2e::kConvertedDatabases)
    for (const std::string& code : e2e::kDatabaseFiles) before[db.prefix + code] = e2e::Records(site, db.dataDir, db.prefix, code);
  for (const std::string& code : e2e::kDatabaseFiles) before["leg" + code] = e2e::Records(site, "legal", "leg", code);
  for (const std::string& code : e2e::kSharedFiles) before[code] = e2e::Records(site, "data", "std", code);
  const std::set<std::string> legalFiles = FileNames(site.DataDir("legal"));

  const auto run = e2e::RunConvert(site, "FILOMAR", "--user FILOMAR --all");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("[Filomar Conversion Utility ]\nConversion of Databases has completed \n[OK] -> OK\n"),
            std::string::npos)
      << run.out;

  // The log, line by line.
  std::vector<std::string> expected = e2e::kLogHeader;
  const std::string script = ReadFile(site.dir() / "flm50.sql");
  for (const e2e::Database& db : e2e::kConvertedDatabases) {
    const auto lines = e2e::DatabaseLines(db.name, e2e::SqlServerScriptLines(script, db.prefix));
    expected.insert(expected.end(), lines.begin(), lines.end());
  }
  std::vector<std::string> logged;
  for (const std::string& line : e2e::LogLines(ReadFile(site.dir() / "convert5.log"))) logged.push_back(e2e::MaskTime(line));
  EXPECT_EQ(logged, expected);

  // Converted databases: version 500A, no record lost, every file the steps convert changed.
  for (const e2e::Database& db : e2e::kConvertedDatabases) {
    for (const std::string& code : e2e::kDatabaseFiles) {
      const auto after = e2e::Records(site, db.dataDir, db.prefix, code);
      const auto& old = before[db.prefix + code];
      for (const auto& [key, record] : old) EXPECT_TRUE(after.count(key)) << db.name << " " << code << " lost '" << key << "'";
      EXPECT_NE(after, old) << db.name << " " << code << " was not converted";
    }
    const auto conf = e2e::Records(site, db.dataDir, db.prefix, "CONF");
    ASSERT_TRUE(conf.count("C00")) << db.name;
    EXPECT_EQ(conf.at("C00").substr(438, 4), "500A") << db.name;
    // The 4.0 letter files (letters by letter code) carry their 5.0 numbers.
    for (const auto& [name, letter] : testing_support::LetterFiles(site.DataDir(db.dataDir)))
      EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(name.back()))) << db.name << ": " << name;
  }
  // LEGAL (already at 5.0) and the shared files are left byte for byte.
  for (const std::string& code : e2e::kDatabaseFiles)
    EXPECT_EQ(e2e::Records(site, "legal", "leg", code), before["leg" + code]) << "LEGAL " << code;
  for (const std::string& code : e2e::kSharedFiles) EXPECT_EQ(e2e::Records(site, "data", "std", code), before[code]) << code;
  EXPECT_EQ(FileNames(site.DataDir("legal")), legalFiles);

  // Nothing is left at 4.0: the next start ends without a word and leaves the log alone.
  const std::string log = ReadFile(site.dir() / "convert5.log");
  const auto again = e2e::RunConvert(site, "FILOMAR", "--user FILOMAR --all");
  EXPECT_EQ(again.status, 0) << again.out;
  EXPECT_EQ(again.out, "");
  EXPECT_EQ(ReadFile(site.dir() / "convert5.log"), log);
}

}  // namespace
