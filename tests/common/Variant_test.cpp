#include "common/Variant.h"

#include <gtest/gtest.h>

using namespace filomar;
using namespace std::chrono;

namespace {

TEST(ParseDate, OrderOfTheShortDatePattern) {
  EXPECT_EQ(ParseDate("13/07/2006", "dd/MM/yyyy"), (Date{year(2006), month(7), day(13)}));
  EXPECT_EQ(ParseDate("07/13/2006", "M/d/yy"), (Date{year(2006), month(7), day(13)}));
  EXPECT_EQ(ParseDate("2006-07-13", "dd.MM.yyyy"), (Date{year(2006), month(7), day(13)}));
  EXPECT_EQ(ParseDate(" 1.2.29 ", "d.M.yy"), (Date{year(2029), month(2), day(1)}));
  EXPECT_EQ(ParseDate("1.2.30", "d.M.yy"), (Date{year(1930), month(2), day(1)}));
}

TEST(ParseDate, RejectsNonDates) {
  for (const char* text : {"", " ", "abc", "13/13/2006", "29/02/2005", "1/2", "1//2/3", "1/2/3/4", "12345/1/1",
                           "1/2/3/"})
    EXPECT_FALSE(ParseDate(text, "dd/MM/yyyy")) << text;
  EXPECT_TRUE(ParseDate("29/02/2004", "dd/MM/yyyy"));
}

}  // namespace
