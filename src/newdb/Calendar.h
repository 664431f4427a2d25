// The calendar of a new database (file CAL): one record per year, with per month the kind of
// every day, the month's length and the weekday of its first day, as byte values.
#pragma once

#include <string>

namespace filomar {

inline constexpr int kFirstCalendarYear = 1986;
inline constexpr int kLastCalendarYear = 2005;

// Kinds of day in a month entry.
inline constexpr char kWorkingDay = 0, kSaturday = 1, kSunday = 2;

// The twelve 40-byte month entries of `year` (480 bytes, January first). In the entry of a
// month, the byte of day d (1 to 31) is at index d - 1 and holds the kind of that day; the
// bytes after the month's last day are 0 up to the month's length at index 38 (the entry's
// 39th byte) and the weekday of the 1st (1 Sunday to 7 Saturday) at index 39. February has
// 29 days in every year divisible by 4 (enough for the years the calendar covers).
std::string CalendarMonths(int year);

// Writes one CAL record per year from kFirstCalendarYear to kLastCalendarYear into the open
// CAL file, keyed by the year within its century ("86" for 1986, "00" for 2000). Write failures are not reported: a year already present keeps its record.
void WriteCalendar();

}  // namespace filomar
