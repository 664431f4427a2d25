// ConvertVers and ConvertComp on the demo site's version and component records.
#include "conversion/steps/VersionsAndComponents.h"

#include "StepSite.h"
#include "recio/conffld.h"

using namespace filomar;

namespace conversion_test {
namespace {

using UpperCaseSteps = StepSite;

TEST_F(UpperCaseSteps, VersionTextsAreUpperCasedInPlaceAndNulFieldsBecomeBlanks) {
  const RecordMap before = Records(VERS_FILE);
  steps::ConvertVers(ctx);
  const RecordMap after = Records(VERS_FILE);
  ASSERT_EQ(after.size(), before.size());
  const auto nth = [](const RecordMap& records, int n) { return std::next(records.begin(), n - 1)->second; };
  EXPECT_EQ(nth(before, 3).substr(394, 255), std::string(255, '\0'));
  EXPECT_EQ(nth(after, 1).substr(139, 510), Padded("C:\\FILOMAR\\DOCS\\CONTRACTS\\LEASE_1.DOC", 255) +
                                                 Padded("DRAFT 1 FOR REVIEW BY J.SMITH", 255));
  EXPECT_EQ(nth(after, 2), nth(before, 2));  // already upper case
  EXPECT_EQ(nth(after, 3).substr(394, 255), std::string(255, ' '));
  EXPECT_EQ(nth(after, 4).substr(394, 255), Padded("CAF\xC9 CONTRACT \x96 R\xC9SUM\xC9 OF TERMS", 255));  // Windows-1252
  for (const auto& [key, record] : before) {  // nothing outside the two texts changes
    std::string masked = after.at(key);
    EXPECT_EQ(masked.replace(139, 510, record, 139, 510), record) << key;
  }
  EXPECT_EQ(progress.RecordCountText(), "6 of 6 records");
}

TEST_F(UpperCaseSteps, ComponentTextIsUpperCasedByteForByteAndTheRestOfTheRecordKept) {
  const FieldInfo key{0, 40, kText, 1, COMP_FILE, {}, false, false};
  // Letters without an upper-case pair stay; NULs go, and trailing blanks with them.
  testing_support::InsertRecord(COMP_FILE, {{&key, "Z1"}, {&COMP_Text276, "s\x9A oe\x9C z\x9E y\xFF \xE0\xE9\xF6\xF8\xFE \xF7\xDF\xB5\xAA"}});
  testing_support::InsertRecord(COMP_FILE, {{&key, "Z2"}, {&COMP_Text276, std::string("ab\0cd  \0", 8)}});
  const RecordMap before = Records(COMP_FILE);
  steps::ConvertComp(ctx);
  const RecordMap after = Records(COMP_FILE);
  ASSERT_EQ(after.size(), before.size());
  std::vector<std::string> texts;
  for (const auto& [key, record] : before) {
    std::string masked = after.at(key);
    texts.push_back(masked.substr(276, 256));
    EXPECT_EQ(masked.replace(276, 256, record, 276, 256), record) << key;
  }
  EXPECT_EQ(texts[0], Padded("APPENDIX 1 - SITE PLANS.PDF", 256));
  EXPECT_EQ(texts[2], std::string(256, ' '));
  EXPECT_EQ(texts[3], Padded("CAF\xC9 CONTRACT \x96 R\xC9SUM\xC9 OF TERMS", 256));
  EXPECT_EQ(texts[6], Padded("S\x8A OE\x8C Z\x8E Y\x9F \xC0\xC9\xD6\xD8\xDE \xF7\xDF\xB5\xAA", 256));
  EXPECT_EQ(texts[7], Padded("ABCD", 256));
}

}  // namespace
}  // namespace conversion_test
