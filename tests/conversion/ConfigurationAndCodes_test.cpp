// UpdateCONF and ConvertCodes on a demo site, compared byte for byte with the records before.
#include "conversion/steps/ConfigurationAndCodes.h"

#include <filesystem>

#include "StepSite.h"
#include "recio/conffld.h"

using namespace filomar;

namespace conversion_test {
namespace {

using ConfigurationAndCodes = StepSite;

// `record` with the captions written 20 characters each from element `first` of its list.
std::string WithCaptions(std::string record, std::size_t first, const std::vector<std::string>& captions) {
  for (const std::string& caption : captions) record.replace(3 + 20 * first++, 20, Padded(caption, 20));
  return record;
}

TEST_F(ConfigurationAndCodes, UpdateConfAddsCaptionsStampsC00AndMovesItsRunToC12) {
  const RecordMap before = Records(CONF_FILE, 3);
  steps::UpdateCONF(ctx);
  RecordMap expected = before;
  expected["C04"] = WithCaptions(before.at("C04"), 26,
      {"User code 1", "User code 2", "User code 3", "Security", "Record Category ID", "Related Files",
       "Permanent Record", "Vital Record Type", "Supplemental Markup", "Last Review Date", "Next Review Date",
       "User Box No."});
  expected["C05"] = WithCaptions(before.at("C05"), 32,
      {"User code 1:", "User code 2:", "User code 3:", "Supplemental Markup", "Media Type", "Format",
       "Publication Date", "Addressees", "Other Addressees", "Originating Organisa", "Vital Record Type",
       "Permanent Record", "Record Category ID", "Record Category", "Related Documents", "Last Review Date",
       "Next Review Date", "User Box Number", "Security Code"});
  expected["C06"] = WithCaptions(before.at("C06"), 20,
      {"Security Code", "Space Number", "Permanent Record", "Record Category ID", "Record Category",
       "Last Review Date", "Next Review Date", "Related Boxes"});
  expected["C00"].replace(438, 4, "500A").replace(839, 8, "NNNN0500").replace(1201, 3, "00N");
  const std::string moved = before.at("C00").substr(838, 20);
  expected["C12"] = Padded("C12" + moved, 1536);
  EXPECT_NE(moved.substr(1, 8), "NNNN0500");  // the demo's old settings differ from the new ones
  EXPECT_EQ(Records(CONF_FILE, 3), expected);
  EXPECT_TRUE(screen.Shown().empty());
}

TEST_F(ConfigurationAndCodes, WithoutC00TheC12RowIsBlank) {
  std::filesystem::create_directories(site.dir() / "noconf");
  ASSERT_EQ(io_createStore((site.dir() / "noconf").c_str(), "noc"), 0);
  testing_support::CatalogueDatabase("NOCONF", "noconf", "noc", "");
  Select("noconf", "noc");
  steps::UpdateCONF(ctx);
  EXPECT_EQ(Records(CONF_FILE, 3), (RecordMap{{"C12", Padded("C12", 1536)}}));
}

TEST_F(ConfigurationAndCodes, D007IsAddedOnceAndAnExistingOneIsKept) {
  RecordMap expected = Records(CODE_FILE, 11);
  steps::ConvertCodes(ctx);
  steps::ConvertCodes(ctx);
  expected[Padded("D007", 11)] = Padded(Padded("D007", 11) + "FROZEN", 1536);
  EXPECT_EQ(Records(CODE_FILE, 11), expected);

  Select("personnel", "per");
  testing_support::InsertRecord(CODE_FILE, {{&CODE_Key, "D007"}, {&CODE_Description, "Frozen by the auditors"}});
  const RecordMap personnel = Records(CODE_FILE, 11);
  steps::ConvertCodes(ctx);
  EXPECT_EQ(Records(CODE_FILE, 11), personnel);
}

}  // namespace
}  // namespace conversion_test
