// The calendar of a new database: the bytes of its month entries and its year records.
#include "newdb/Calendar.h"

#include <gtest/gtest.h>

#include "NewSite.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"

namespace newdb_test {
namespace {

using filomar::CalendarMonths;

// Byte n (1 to 40) of the entry of `month` (1 to 12).
int Byte(const std::string& months, int month, int n) {
  return static_cast<unsigned char>(months.at(static_cast<std::size_t>((month - 1) * 40 + n - 1)));
}

TEST(CalendarMonths, LengthsAndFirstWeekdays) {
  struct Case { int year, month, days, firstWeekday; };
  // 1 January 1986 a Wednesday; 2000 a leap year
  const Case cases[] = {{1986, 1, 31, 4}, {1987, 2, 28, 1}, {2000, 2, 29, 3}, {2005, 4, 30, 6}, {2005, 12, 31, 5}};
  for (const Case& c : cases) {
    const std::string months = CalendarMonths(c.year);
    ASSERT_EQ(months.size(), 480u);
    EXPECT_EQ(Byte(months, c.month, 39), c.days) << c.year << "-" << c.month;
    EXPECT_EQ(Byte(months, c.month, 40), c.firstWeekday) << c.year << "-" << c.month;
  }
}

TEST(CalendarMonths, KindsOfDayAndZerosAfterTheLastDay) {
  const std::string january1986 = CalendarMonths(1986);
  EXPECT_EQ(Byte(january1986, 1, 1), filomar::kWorkingDay);
  EXPECT_EQ(Byte(january1986, 1, 4), filomar::kSaturday);
  EXPECT_EQ(Byte(january1986, 1, 5), filomar::kSunday);
  EXPECT_EQ(Byte(january1986, 1, 31), filomar::kWorkingDay);  // a Friday
  const std::string y1987 = CalendarMonths(1987);
  EXPECT_EQ(Byte(y1987, 2, 28), filomar::kSaturday);
  for (int n = 29; n <= 38; ++n) EXPECT_EQ(Byte(y1987, 2, n), 0) << n;
  const std::string y2000 = CalendarMonths(2000);
  EXPECT_EQ(Byte(y2000, 2, 27), filomar::kSunday);
  EXPECT_EQ(Byte(y2000, 2, 29), filomar::kWorkingDay);  // a Tuesday
}

using CalendarRecords = NewSite;

TEST_F(CalendarRecords, OneRecordPerYearKeyedByTheTwoDigitYear) {
  filomar::vb_io_open(filomar::CAL_FILE, "");
  filomar::WriteCalendar();
  filomar::vb_io_close(filomar::CAL_FILE);
  const std::vector<std::string> years = Records(filomar::CAL_FILE);  // in key order: 00 .. 05, 86 .. 99
  ASSERT_EQ(years.size(), 20u);
  EXPECT_EQ(years.at(5).substr(0, 482), "05" + CalendarMonths(2005));  // the last year written
  EXPECT_EQ(years.at(6).substr(0, 2) + years.back().substr(0, 2), "8699");
  EXPECT_EQ(years.front().substr(0, 482), "00" + CalendarMonths(2000));
}

}  // namespace
}  // namespace newdb_test
