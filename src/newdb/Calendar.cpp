#include "newdb/Calendar.h"

#include <cstdint>
#include <cstring>

#include "recio/Vb_io.h"
#include "recio/conffld.h"

namespace filomar {
namespace {

constexpr int kEntryBytes = 40;

int DaysIn(int month, int year) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && year % 4 == 0 ? 29 : kDays[month - 1];
}

// 1 Sunday .. 7 Saturday, by Zeller's congruence on the Gregorian calendar.
int Weekday(int year, int month, int day) {
  if (month < 3) {
    month += 12;
    year -= 1;
  }
  const int k = year % 100, j = year / 100;
  const int h = (day + 13 * (month + 1) / 5 + k + k / 4 + j / 4 + 5 * j) % 7;  // 0 Saturday
  return (h + 6) % 7 + 1;
}

int YearWithinCentury(int year) { return (year - 1900) % 100; }

}  // namespace

std::string CalendarMonths(int year) {
  std::string months(12 * kEntryBytes, '\0');
  for (int month = 1; month <= 12; ++month) {
    char* entry = months.data() + (month - 1) * kEntryBytes;
    const int first = Weekday(year, month, 1);
    const int length = DaysIn(month, year);
    entry[38] = static_cast<char>(length);
    entry[39] = static_cast<char>(first);
    for (int day = 1; day <= length; ++day) {
      const int weekday = (first - 1 + day - 1) % 7 + 1;
      entry[day - 1] = weekday == 1 ? kSunday : weekday == 7 ? kSaturday : kWorkingDay;
    }
  }
  return months;
}

void WriteCalendar() {
  for (int year = kFirstCalendarYear; year <= kLastCalendarYear; ++year) {
    PutField(CAL_Year, static_cast<std::int32_t>(YearWithinCentury(year)));
    const std::string months = CalendarMonths(year);
    std::memcpy(Block(CAL_FILE).record + CAL_Months.offset, months.data(), months.size());
    vb_io_write(CAL_FILE);
  }
}

}  // namespace filomar
