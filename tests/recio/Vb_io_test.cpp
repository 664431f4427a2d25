#include "recio/Vb_io.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "FakeReclib.h"
#include "common/FrontEnd.h"
#include "support/ScriptedUi.h"

using namespace filomar;
using fake_reclib::Fake;

namespace {

class VbIo : public ::testing::Test {
 protected:
  ui::ScriptedUi screen;
  void SetUp() override {
    SetFrontEnd(screen);
    Fake() = {};
    for (short f = 0; f < kFileCount; ++f) Block(f) = FileBlock{};
    InitFileTable();
    vb_io_erc = 0;
  }
  static std::string Raw(short file, int offset, int length) {
    return std::string(Block(file).record + offset, static_cast<std::size_t>(length));
  }
  static void SetRaw(short file, int offset, const std::string& chars) {
    std::memcpy(Block(file).record + offset, chars.data(), chars.size());
  }
};

FieldInfo Field(short offset, short length, short type, short count = 1, short file = CONF_FILE) {
  return {offset, length, type, count, file, {}, false, false};
}

// ---- field encodings

TEST_F(VbIo, TextIsBlankPaddedOrCutAndReadBackWithoutTrailingBlanks) {
  SetRaw(CONF_FILE, 9, "XXXXXXX");
  PutField(Field(10, 5, kText), std::string("ABC"));
  EXPECT_EQ(Raw(CONF_FILE, 9, 7), "XABC  X");
  EXPECT_EQ(GetField(Field(10, 5, kText)), Variant(std::string("ABC")));
  PutField(Field(10, 5, kText), std::string("ABCDEFG"));
  EXPECT_EQ(Raw(CONF_FILE, 9, 7), "XABCDEX");
  PutField(Field(10, 5, kText), std::int32_t{-42});
  EXPECT_EQ(GetText(Field(10, 5, kText)), "-42");
  SetRaw(CONF_FILE, 0, std::string("A\0B \0", 5));  // NULs go first, then trailing blanks
  EXPECT_EQ(GetText(Field(0, 5, kText)), "AB ");
}

TEST_F(VbIo, NumbersAreZeroPaddedNonNumbersReadAsShortZeroAndUnfitValuesAreNotWritten) {
  const FieldInfo number = Field(20, 6, kNumeric);
  const std::pair<Variant, const char*> written[] = {{42, "000042"}, {std::string(" 17 "), "000017"}, {Variant{}, "000000"}, {-5, "-00005"}};
  for (const auto& [value, chars] : written) {
    PutField(number, value);
    EXPECT_EQ(Raw(CONF_FILE, 20, 6), chars);
  }
  // Any number is read, rounded to a 32-bit integer as the platform's conversion does (halves
  // to the even neighbour); a text that is no number, or beyond 32 bits, reads as short 0.
  const std::pair<const char*, Variant> read[] = {
      {"-00005", std::int32_t{-5}}, {" 4.5  ", std::int32_t{4}}, {" 5.5  ", std::int32_t{6}}, {"1e3   ", std::int32_t{1000}},
      {"4X    ", std::int16_t{0}}, {"      ", std::int16_t{0}}, {"1e10  ", std::int16_t{0}}, {"nan   ", std::int16_t{0}}};
  for (const auto& [chars, value] : read) {
    SetRaw(CONF_FILE, 20, chars);
    EXPECT_EQ(GetField(number), value) << chars;
  }
  // A number that does not fit, or is no number at all, leaves the field unchanged.
  const FieldInfo four = Field(20, 4, kNumeric);
  PutField(four, 500);
  for (const Variant& unfit : {Variant(12345), Variant(-1234), Variant(std::string("abc")),
                               Variant(Date{std::chrono::year(2006), std::chrono::July, std::chrono::day(13)})})
    PutField(four, unfit);
  EXPECT_EQ(Raw(CONF_FILE, 20, 4), "0500");
}

TEST_F(VbIo, ArrayElementsReadKeepOneTrailingBlankAndTheirNuls) {
  SetRaw(CONF_FILE, 3, std::string("AB   ") + "AB " + "A  " + std::string("A\0\0", 3));
  std::vector<Variant> values;
  GetFieldArray(Field(3, 5, kText, 1), values);
  EXPECT_EQ(values, std::vector<Variant>{std::string("AB")});
  GetFieldArray(Field(8, 3, kText, 3), values);
  EXPECT_EQ(values, (std::vector<Variant>{std::string("AB "), std::string("A"), std::string("A\0\0", 3)}));

  SetRaw(CONF_FILE, 20, "0042  7x  ");
  GetFieldArray(Field(20, 4, kNumeric, 2), values);
  EXPECT_EQ(values, (std::vector<Variant>{std::int32_t{42}, std::int16_t{0}}));

  // Writing pads each element and leaves the missing ones alone.
  SetRaw(CONF_FILE, 3, "ZZZZZZZZZZZZ");
  PutFieldArray(Field(3, 4, kText, 3), {std::string("A"), std::string("BCDEFG")});
  EXPECT_EQ(Raw(CONF_FILE, 3, 12), "A   BCDEZZZZ");
  PutFieldArray(Field(20, 2, kNumeric, 3), {3, std::int16_t{4}, std::string("12")});
  EXPECT_EQ(Raw(CONF_FILE, 20, 6), "030412");
}

TEST_F(VbIo, FieldsOutsideTheBufferAreClipped) {
  FileBlock& block = Block(CONF_FILE);
  block.libraryWord = 0x01020304;
  ClearRecord(CONF_FILE);
  PutField(Field(1530, 20, kText), std::string("ABCDEFGHIJKLMNOPQRST"));
  PutFieldArray(Field(1530, 4, kText, 3), {std::string("abcd"), std::string("efgh"), std::string("ijkl")});
  PutField(Field(-3, 5, kText), std::string("xyz12"));
  EXPECT_EQ(block.libraryWord, 0x01020304);
  EXPECT_EQ(std::string(block.code, 4), "CONF");
  EXPECT_EQ(Raw(CONF_FILE, 1530, 6), "abcdef");
  EXPECT_EQ(Raw(CONF_FILE, 0, 3), "12 ");
  EXPECT_EQ(GetText(Field(1534, 100, kText)), "ef");
  std::vector<Variant> values;
  GetFieldArray(Field(1530, 4, kText, 3), values);
  EXPECT_EQ(values, (std::vector<Variant>{std::string("abcd"), std::string("ef"), std::string()}));
}

TEST_F(VbIo, UninitialisedDescriptorIsReportedAndTheAccessGoesOn) {
  PutField(FieldInfo{}, std::string("x"));
  EXPECT_EQ(GetField(FieldInfo{}), Variant{});
  GetField(Field(0, 3, kText));
  ASSERT_EQ(screen.Shown().size(), 2u);
  EXPECT_EQ(screen.Shown()[0].text, "Field infomation structure not initialised");
}

// ---- status rules, against the fake library

TEST_F(VbIo, OpenFailure88IsReportedAs85) {
  Fake().Then("io_open", 88);
  vb_io_open(CONF_FILE, "");
  EXPECT_EQ(vb_io_erc, kOpenFailed);
  Fake().Then("io_open_exclusive", 88);
  EXPECT_EQ(vb_io_open_exclusive(MATR_FILE, ""), kOpenFailed);
  Fake().Then("io_open_exclusive", 94);
  EXPECT_EQ(vb_io_open_exclusive(MATR_FILE, ""), 94);
}

TEST_F(VbIo, RewriteAlwaysUnlocksAndKeepsItsOwnStatus) {
  Fake().Then("io_rewrite", 59);
  Fake().Then("io_unlock", 46);
  vb_io_rewrite(SACT_FILE);
  EXPECT_EQ(vb_io_erc, 59);
  ASSERT_EQ(Fake().calls.size(), 2u);
  EXPECT_EQ(Fake().calls[1].function, "io_unlock");
  Fake().Then("io_unlock", 46);
  vb_io_rewrite(SACT_FILE);
  EXPECT_EQ(vb_io_erc, 0);
}

TEST_F(VbIo, FileNumbersOutsideTheTableFailWithoutCallingTheLibrary) {
  for (const short file : {short{-1}, kFileCount, short{32767}}) {
    std::vector<Variant> values;
    const std::vector<std::function<void()>> operations = {
        [=] { vb_io_open(file, ""); }, [=] { vb_io_open_exclusive(file, ""); }, [=] { vb_io_read(file, 0, 1); },
        [=] { vb_io_rewrite(file); },  [=] { ClearRecord(file); }, [=] { PutField(Field(0, 3, kText, 1, file), 1); },
        [=] { EXPECT_EQ(GetField(Field(0, 3, kText, 1, file)), Variant{}); },
        [&] { GetFieldArray(Field(0, 3, kText, 2, file), values); }};
    for (const auto& call : operations) {
      vb_io_erc = 0;
      call();
      EXPECT_EQ(vb_io_erc, kInvalidFileNumber) << file;
    }
    EXPECT_THROW(Block(file), std::out_of_range);
  }
  EXPECT_TRUE(Fake().calls.empty());
}

TEST_F(VbIo, ConnectFailureIs5001AndSuccessStampsTheHandle) {
  short handle = 0;
  Fake().Then("io_connect", 3);
  EXPECT_EQ(vb_io_connect(0, handle), kNoConnection);
  Fake().connectThrows = true;
  EXPECT_EQ(vb_io_connect(0, handle), kNoConnection);
  EXPECT_EQ(Block(UID_FILE).connectionHandle, 0);

  Fake().connectThrows = false;
  EXPECT_EQ(vb_io_connect(0, ConnHandle), 0);
  EXPECT_EQ(ConnHandle, 17);
  EXPECT_EQ((std::array{Block(0).connectionHandle, Block(1).connectionHandle, Block(82).connectionHandle}),
            (std::array<std::int16_t, 3>{0, 17, 17}));
}

TEST_F(VbIo, DirectoryTextsAreCopiedBackAndBounded) {
  std::string directory = "data", prefix = "std";
  vb_io_setDirectory(3, directory, prefix);
  EXPECT_EQ(Fake().calls.back().text, "data|std");
  EXPECT_EQ(directory, "DATA");
  EXPECT_EQ(prefix, "STD");

  Fake().directory = "data/sub";
  Fake().reportedLength = 4;
  Fake().prefix = "abcd";
  vb_io_getDirectory(3, directory, prefix);
  EXPECT_EQ(directory, "data");
  EXPECT_EQ(prefix, "abc");
  Fake().reportedLength = 400;
  Fake().prefix = "st";
  vb_io_getDirectory(3, directory, prefix);
  EXPECT_EQ(directory.size(), 150u);
  EXPECT_EQ(prefix, "st");
}

}  // namespace
