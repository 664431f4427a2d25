// ConvertVers and ConvertComp on the demo site's version and component records.
#include "conversion/steps/VersionsAndComponents.h"

#include <gtest/gtest.h>

#include "StepSite.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"

using namespace filomar;
using conversion_test::RawRecords;
using conversion_test::ReadRawRecords;

namespace {

const FieldInfo kComponentKey{0, 40, kText, 1, COMP_FILE, {}, false, false};

class UpperCaseSteps : public conversion_test::StepSite {
 protected:
  // The record with `number` (1-based, as the site tool numbers them) of a raw file.
  static const std::string& Nth(const RawRecords& records, std::size_t number) {
    return std::next(records.begin(), static_cast<long>(number - 1))->second;
  }
  static std::string Padded(const std::string& text, std::size_t width) { return text + std::string(width - text.size(), ' '); }
  // `after` equals `before` outside [offset, offset + width) for every field given.
  static void ExpectOnlyFieldsChanged(const RawRecords& before, const RawRecords& after,
                                      std::vector<std::pair<std::size_t, std::size_t>> fields) {
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [key, record] : before) {
      std::string masked = record, maskedAfter = after.at(key);
      for (const auto& [offset, width] : fields) {
        masked.replace(offset, width, width, '#');
        maskedAfter.replace(offset, width, width, '#');
      }
      EXPECT_EQ(maskedAfter, masked) << key;
    }
  }
};

TEST_F(UpperCaseSteps, VersionTextsAreUpperCasedInPlaceAndNulFieldsBecomeBlanks) {
  const RawRecords before = ReadRawRecords(VERS_FILE);
  ASSERT_EQ(Nth(before, 3).substr(394, 255), std::string(255, '\0'));

  steps::ConvertVers(context);

  const RawRecords after = ReadRawRecords(VERS_FILE);
  ExpectOnlyFieldsChanged(before, after, {{139, 255}, {394, 255}});
  EXPECT_EQ(Nth(after, 1).substr(139, 255), Padded("C:\\FILOMAR\\DOCS\\CONTRACTS\\LEASE_1.DOC", 255));
  EXPECT_EQ(Nth(after, 1).substr(394, 255), Padded("DRAFT 1 FOR REVIEW BY J.SMITH", 255));
  EXPECT_EQ(Nth(after, 2), Nth(before, 2));  // already upper case
  EXPECT_EQ(Nth(after, 3).substr(394, 255), std::string(255, ' '));
  EXPECT_EQ(Nth(after, 4).substr(394, 255), Padded("CAF\xC9 CONTRACT \x96 R\xC9SUM\xC9 OF TERMS", 255));
  EXPECT_EQ(progress.RecordCountText(), "6 of 6 records");
}

TEST_F(UpperCaseSteps, ComponentTextIsUpperCasedAndTheRestOfTheRecordKept) {
  const RawRecords before = ReadRawRecords(COMP_FILE);

  steps::ConvertComp(context);

  const RawRecords after = ReadRawRecords(COMP_FILE);
  ExpectOnlyFieldsChanged(before, after, {{276, 256}});
  EXPECT_EQ(Nth(after, 1).substr(276, 256), Padded("APPENDIX 1 - SITE PLANS.PDF", 256));
  EXPECT_EQ(Nth(after, 2), Nth(before, 2));
  EXPECT_EQ(Nth(after, 3).substr(276, 256), std::string(256, ' '));
  EXPECT_EQ(Nth(after, 4).substr(276, 256), Padded("CAF\xC9 CONTRACT \x96 R\xC9SUM\xC9 OF TERMS", 256));
}

TEST_F(UpperCaseSteps, Windows1252LettersAreUpperCasedByteForByte) {
  struct Case {
    std::string stored, converted;
  };
  const Case cases[] = {
      {"s\x9A oe\x9C z\x9E y\xFF", "S\x8A OE\x8C Z\x8E Y\x9F"},
      {"\xE0\xE9\xF6\xF8\xFE", "\xC0\xC9\xD6\xD8\xDE"},
      {"\xF7 \xDF \xB5 \xAA 1\xBD", "\xF7 \xDF \xB5 \xAA 1\xBD"},  // no lower-case pair: unchanged
      {std::string("ab\0cd  \0", 8), "ABCD"},                      // NULs go, trailing blanks too
  };
  int number = 0;
  for (const Case& c : cases) {
    const std::string key = "Z" + std::to_string(++number);
    testing_support::InsertRecord(COMP_FILE, {{&kComponentKey, key}, {&COMP_Text276, c.stored}});
    steps::ConvertComp(context);
    const RawRecords after = ReadRawRecords(COMP_FILE);
    EXPECT_EQ(std::prev(after.end())->second.substr(276, 256), Padded(c.converted, 256)) << key;
  }
}

}  // namespace
