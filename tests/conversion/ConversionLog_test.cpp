// The log file: time form, header, and a path that cannot be written.
#include "conversion/ConversionLog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "ConversionSite.h"
#include "conversion/DBSelect.h"
#include "support/TempDir.h"

using namespace filomar;

namespace {

TEST(LogTime, IsDayMonthYearHoursMinutesWithLeadingZeros) {
  std::tm early{};
  early.tm_year = 100, early.tm_mon = 0, early.tm_mday = 9, early.tm_hour = 7, early.tm_min = 3;
  EXPECT_EQ(LogTime(early, std::locale::classic()), "09-Jan-00 07:03");
}

TEST(DefaultLogPath, NeverDoublesTheSeparator) {
  EXPECT_EQ(DefaultLogPath("/srv/filomar/"), "/srv/filomar/convert5.log");
  EXPECT_EQ(DefaultLogPath(" /srv/filomar  "), "/srv/filomar/convert5.log");
  EXPECT_EQ(DefaultLogPath("/"), "/convert5.log");
}

ConversionLog FixedLog() { return ConversionLog([] { return conversion_test::FixedTime(); }, std::locale::classic()); }

TEST(ConversionLog, ReplacesALongerOlderLog) {
  testing_support::TempDir dir;
  ConversionLog log = FixedLog();
  std::string description;
  const std::string path = dir.str() + "/convert5.log";
  dir.Write("convert5.log", "Filomar 4.0 to Filomar 5.0 Conversion  \r\n\r\nan older log, longer than the new one\r\n\r\n\r\n\r\n\r\n\r\n");
  ASSERT_TRUE(log.Open(path, description));
  log.WriteLine("Error #1\r   text\r");
  log.Close();
  EXPECT_EQ(testing_support::ReadFile(path),
            "Filomar 4.0 to Filomar 5.0 Conversion  \r\n\r\nStarted at:     04-Dec-26 16:05\r\n\r\n"
            "Error #1\r   text\r\r\n");
}

// A path the log must not take: the reason given, and the file left byte for byte as it was. (A
// record store, a directory and a missing folder are refused by the built program's runs.)
TEST(ConversionLog, RefusesToReplaceWhatIsNotAConversionLog) {
  testing_support::TempDir dir;
  dir.Write("notes.txt", "Filomar 4.0 to Filomar 5.0 Conversion\r\nbut not quite\r\n");
  dir.Write("old.log", "Filomar 4.0 to Filomar 5.0 Conversion  \r\n\r\nStarted at:     01-Jan-26 10:00\r\n");
  dir.Write("empty.log", "");
  mkfifo((dir.path() / "fifo").c_str(), 0600);
  struct Case { std::string path; bool opens; std::string description; };
  const Case cases[] = {
      {"notes.txt", false, dir.str() + "/notes.txt is not a conversion log: it was left as it is"},
      {"fifo", false, dir.str() + "/fifo is not a regular file: it was left as it is"},
      {"old.log", true, ""},
      {"empty.log", true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const auto path = dir.path() / c.path;
    const std::string before = std::filesystem::is_regular_file(path) ? testing_support::ReadFile(path) : "";
    ConversionLog log = FixedLog();
    std::string description;
    EXPECT_EQ(log.Open(path.string(), description), c.opens);
    EXPECT_EQ(description, c.description);
    log.Close();
    const std::string after = std::filesystem::is_regular_file(path) ? testing_support::ReadFile(path) : "";
    const std::string head = "Filomar 4.0 to Filomar 5.0 Conversion  \r\n\r\n";  // a log replaced; anything else kept
    EXPECT_EQ(c.opens ? after.substr(0, head.size()) : after, c.opens ? head : before);
  }
}

TEST(ConversionLog, AWriteThatFailsAfterTheHeaderIsReportedAndSoIsTheClose) {
  testing_support::TempDir dir;
  const std::string path = dir.str() + "/convert5.log";
  ConversionLog log = FixedLog();
  std::string description;
  ASSERT_TRUE(log.Open(path, description));
  {
    const conversion_test::FileSizeLimit full(std::filesystem::file_size(path) + 10);
    log.WriteIndented(kDatabaseIndent, "Converting STANDARD Database");
  }
  EXPECT_TRUE(log.Failed());
  EXPECT_NE(log.FailureReason().find(path), std::string::npos) << log.FailureReason();
  log.WriteLine("later lines are dropped");
  EXPECT_FALSE(log.Close());
  EXPECT_EQ(testing_support::ReadFile(path).find("later"), std::string::npos);
}

}  // namespace
