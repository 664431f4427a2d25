// UpdateCONF and ConvertCodes on a demo site, compared byte for byte with the records before.
#include "conversion/steps/ConfigurationAndCodes.h"

#include <filesystem>

#include "RecordStepSite.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"

using namespace filomar;
using filomar::steps::ConvertCodes;
using filomar::steps::UpdateCONF;

namespace conversion_test {
namespace {

using ConfigurationAndCodes = RecordStepSite;

constexpr std::size_t kRecord = 1536;

// A caption list with `captions` written from `first` on, 20 characters each.
std::string WithCaptions(const std::string& record, std::size_t first, const std::vector<std::string>& captions) {
  std::string list;
  for (const std::string& caption : captions) list += Padded(caption, 20);
  return Replaced(record, 3 + 20 * first, list);
}

TEST_F(ConfigurationAndCodes, UpdateConfAddsCaptionsStampsC00AndMovesItsRunToC12) {
  const RecordMap before = Records(CONF_FILE, 3);
  ASSERT_TRUE(before.count("C00") && !before.count("C12"));
  UpdateCONF(ctx);

  RecordMap expected = before;
  expected["C04"] = WithCaptions(before.at("C04"), 26,
                                 {"User code 1", "User code 2", "User code 3", "Security", "Record Category ID",
                                  "Related Files", "Permanent Record", "Vital Record Type", "Supplemental Markup",
                                  "Last Review Date", "Next Review Date", "User Box No."});
  expected["C05"] = WithCaptions(before.at("C05"), 32,
                                 {"User code 1:", "User code 2:", "User code 3:", "Supplemental Markup", "Media Type",
                                  "Format", "Publication Date", "Addressees", "Other Addressees",
                                  "Originating Organisa", "Vital Record Type", "Permanent Record", "Record Category ID",
                                  "Record Category", "Related Documents", "Last Review Date", "Next Review Date",
                                  "User Box Number", "Security Code"});
  expected["C06"] = WithCaptions(before.at("C06"), 20,
                                 {"Security Code", "Space Number", "Permanent Record", "Record Category ID",
                                  "Record Category", "Last Review Date", "Next Review Date", "Related Boxes"});
  std::string c00 = Replaced(before.at("C00"), 438, "500A");
  c00 = Replaced(Replaced(c00, 839, "NNNN0500"), 1201, "00N");
  expected["C00"] = c00;
  const std::string moved = before.at("C00").substr(838, 20);
  expected["C12"] = Padded("C12" + moved, kRecord);

  const RecordMap after = Records(CONF_FILE, 3);
  EXPECT_EQ(after, expected);
  EXPECT_EQ(after.at("C00").substr(847, 11), before.at("C00").substr(847, 11));
  EXPECT_NE(moved.substr(1, 4), "NNNN");  // the demo's flags differ from what the step writes
  EXPECT_TRUE(screen.Shown().empty());
}

TEST_F(ConfigurationAndCodes, WithoutC00TheC12RowIsBlankAndNoVersionIsWritten) {
  std::filesystem::create_directories(site.dir() / "noconf");
  testing_support::CatalogueDatabase("NOCONF", "noconf", "noc", "");
  Select("noconf", "noc");
  UpdateCONF(ctx);
  const RecordMap after = Records(CONF_FILE, 3);
  EXPECT_EQ(after, (RecordMap{{"C12", Padded("C12", kRecord)}}));
}

TEST_F(ConfigurationAndCodes, D007IsAddedOnceAndAnExistingOneIsKept) {
  const RecordMap before = Records(CODE_FILE, 11);
  ConvertCodes(ctx);
  ConvertCodes(ctx);
  RecordMap expected = before;
  expected[Padded("D007", 11)] = Padded(Padded("D007", 11) + "FROZEN", kRecord);
  EXPECT_EQ(Records(CODE_FILE, 11), expected);

  Select("personnel", "per");
  testing_support::InsertRecord(CODE_FILE, {{&CODE_Key, "D007"}, {&CODE_Description, "Frozen by the auditors"}});
  const RecordMap personnel = Records(CODE_FILE, 11);
  ConvertCodes(ctx);
  EXPECT_EQ(Records(CODE_FILE, 11), personnel);
  EXPECT_TRUE(screen.Shown().empty());
}

}  // namespace
}  // namespace conversion_test
