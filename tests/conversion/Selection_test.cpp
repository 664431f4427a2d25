// The rule that turns --database NAME... and --all into the databases of the list a run takes.
#include "conversion/Selection.h"

#include <gtest/gtest.h>

namespace filomar {
namespace {

using Names = std::vector<std::string>;

TEST(Selection, TakesTheListsNamesInListOrderAndNamesTheOthers) {
  const std::vector<DBSelect::ListEntry> list = {{"STANDARD"}, {"FINANCE"}, {"PERSONNEL"}, {"L\xC9GAL"}};
  struct Case {
    Names wanted;
    bool all;
    Names chosen, notListed;
  } cases[] = {
      {{}, true, {"STANDARD", "FINANCE", "PERSONNEL", "L\xC9GAL"}, {}},
      {{"personnel", "Standard"}, false, {"STANDARD", "PERSONNEL"}, {}},
      {{"NOPE", "FINANCE", "NOPE"}, false, {"FINANCE"}, {"NOPE", "NOPE"}},
      {{"NOPE"}, true, {"STANDARD", "FINANCE", "PERSONNEL", "L\xC9GAL"}, {"NOPE"}},
      {{"l\xC3\xA9gal", "FINANCE", "FINANCE"}, false, {"FINANCE", "L\xC9GAL"}, {}},  // typed in UTF-8
      {{}, false, {}, {}},
  };
  for (const Case& c : cases) {
    const Selection selection = ChooseDatabases(list, c.wanted, c.all);
    EXPECT_EQ(selection.chosen, c.chosen) << testing::PrintToString(c.wanted);
    EXPECT_EQ(selection.notListed, c.notListed) << testing::PrintToString(c.wanted);
  }
}

}  // namespace
}  // namespace filomar
