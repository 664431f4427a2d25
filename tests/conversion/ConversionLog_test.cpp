// The log file: time form, header, and a path that cannot be written.
#include "conversion/ConversionLog.h"

#include <gtest/gtest.h>

#include "ConversionSite.h"
#include "conversion/DBSelect.h"
#include "support/TempDir.h"

using namespace filomar;

namespace {

TEST(LogTime, IsDayMonthYearHoursMinutesWithLeadingZeros) {
  EXPECT_EQ(LogTime(conversion_test::FixedTime(), std::locale::classic()), "04-Dec-26 16:05");
  std::tm early{};
  early.tm_year = 100;  // 2000
  early.tm_mon = 0;
  early.tm_mday = 9;
  early.tm_hour = 7;
  early.tm_min = 3;
  EXPECT_EQ(LogTime(early, std::locale::classic()), "09-Jan-00 07:03");
}

TEST(DefaultLogPath, NeverDoublesTheSeparator) {
  EXPECT_EQ(DefaultLogPath("/srv/filomar/"), "/srv/filomar/convert5.log");
  EXPECT_EQ(DefaultLogPath(" /srv/filomar  "), "/srv/filomar/convert5.log");
  EXPECT_EQ(DefaultLogPath("/"), "/convert5.log");
}

TEST(ConversionLog, AFailedOpenLeavesTheLogClosedAndDropsLaterLines) {
  testing_support::TempDir dir;
  ConversionLog log([] { return conversion_test::FixedTime(); }, std::locale::classic());
  std::string description;
  EXPECT_FALSE(log.Open(dir.str() + "/missing/convert5.log", description));
  EXPECT_EQ(description, "File not found");
  EXPECT_FALSE(log.IsOpen());
  log.WriteIndented(kStepIndent, "- Updating Codes");  // no file, no failure

  const std::string path = dir.str() + "/convert5.log";
  dir.Write("convert5.log", "an older log that is longer than the new one\r\n\r\n\r\n\r\n\r\n\r\n");
  ASSERT_TRUE(log.Open(path, description));
  log.WriteLine("Error #1\r   text\r");
  log.Close();
  EXPECT_EQ(testing_support::ReadFile(path),
            "Filomar 4.0 to Filomar 5.0 Conversion  \r\n\r\nStarted at:     04-Dec-26 16:05\r\n\r\n"
            "Error #1\r   text\r\r\n");
}

}  // namespace
