// ConvertVers and ConvertComp on the demo site's version and component records.
#include "conversion/steps/VersionsAndComponents.h"

#include "StepSite.h"
#include "recio/conffld.h"

using namespace filomar;

namespace conversion_test {
namespace {

using UpperCaseSteps = StepSite;

// `before` with each text field [offset, offset + width) of record `number` (1-based) set to
// `texts` (blank padded), and every other byte of every record as it was.
RecordMap With(RecordMap before, std::size_t offset, std::size_t width, const std::map<int, std::string>& texts) {
  for (const auto& [number, text] : texts) std::next(before.begin(), number - 1)->second.replace(offset, width, Padded(text, width));
  return before;
}

TEST_F(UpperCaseSteps, VersionTextsAreUpperCasedInPlaceAndNulFieldsBecomeBlanks) {
  const RecordMap before = Records(VERS_FILE);
  ASSERT_EQ(std::next(before.begin(), 2)->second.substr(394, 255), std::string(255, '\0'));
  RecordMap expected = With(before, 139, 255, {{1, "C:\\FILOMAR\\DOCS\\CONTRACTS\\LEASE_1.DOC"}});
  // Record 2 is already in upper case; record 4 has Windows-1252 letters.
  expected = With(expected, 394, 255, {{1, "DRAFT 1 FOR REVIEW BY J.SMITH"}, {3, ""}, {4, "CAF\xC9 CONTRACT \x96 R\xC9SUM\xC9 OF TERMS"}});
  steps::ConvertVers(ctx);
  EXPECT_EQ(Records(VERS_FILE), expected);
  EXPECT_EQ(progress.RecordCountText(), "6 of 6 records");
}

TEST_F(UpperCaseSteps, ComponentTextIsUpperCasedByteForByteAndTheRestOfTheRecordKept) {
  const FieldInfo key{0, 40, kText, 1, COMP_FILE, {}, false, false};
  // Letters without an upper-case pair stay; NULs go, and trailing blanks with them.
  testing_support::InsertRecord(COMP_FILE, {{&key, "Z1"}, {&COMP_Text276, "s\x9A oe\x9C z\x9E y\xFF \xE0\xE9\xF6\xF8\xFE \xF7\xDF\xB5\xAA"}});
  testing_support::InsertRecord(COMP_FILE, {{&key, "Z2"}, {&COMP_Text276, std::string("ab\0cd  \0", 8)}});
  const RecordMap before = Records(COMP_FILE);
  steps::ConvertComp(ctx);
  EXPECT_EQ(Records(COMP_FILE), With(before, 276, 256, {{1, "APPENDIX 1 - SITE PLANS.PDF"}, {3, ""},
                                                         {4, "CAF\xC9 CONTRACT \x96 R\xC9SUM\xC9 OF TERMS"},
                                                         {7, "S\x8A OE\x8C Z\x8E Y\x9F \xC0\xC9\xD6\xD8\xDE \xF7\xDF\xB5\xAA"},
                                                         {8, "ABCD"}}));
}

}  // namespace
}  // namespace conversion_test
