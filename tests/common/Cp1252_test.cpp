#include "common/Cp1252.h"

#include <gtest/gtest.h>

using namespace ui;

namespace {

TEST(Cp1252, RoundTripOfEverySingleByteCharacter) {
  std::string all;
  for (int c = 1; c < 256; ++c)
    if (c < 0x80 || c > 0x9F || (c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D))
      all += static_cast<char>(c);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
  EXPECT_EQ(Cp1252ToUtf8("\x80\xe9"), "\xe2\x82\xac\xc3\xa9");
}

TEST(Cp1252, UnmappableAndBrokenUtf8BecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("\xe4\xb8\xad"), "?");    // a CJK character
  EXPECT_EQ(Utf8ToCp1252("a\xc3"), "a?");          // cut in the middle of a character
  EXPECT_EQ(Utf8ToCp1252("\xff" "b"), "?b");
}

}  // namespace
