// A demo site's record dump, which external checks compare.
#include "support/DemoSite.h"

#include <gtest/gtest.h>

#include <sstream>


namespace {
using testing_support::DemoSite;
using testing_support::RunSiteTool;
namespace fs = std::filesystem;

TEST(DemoSite, HexDumpIsOneLineOfTheWholeRecordEach) {
  DemoSite site({.records = 1, .dataRoot = {}});
  const auto hex = RunSiteTool({"dump", site.dir().string(), "data", "std", "CONF", "--hex"});
  ASSERT_EQ(hex.exitCode, 0) << hex.err;
  std::istringstream lines(hex.out);
  std::string line, c00;
  int count = 0;
  for (; std::getline(lines, line); ++count) {
    EXPECT_EQ(line.size(), 3072u);
    if (line.rfind("433030", 0) == 0) c00 = line;  // key "C00"
  }
  EXPECT_EQ(count, 5);
  ASSERT_FALSE(c00.empty());
  EXPECT_EQ(c00.substr(438 * 2, 8), "34303041");  // "400A"
}

}  // namespace
