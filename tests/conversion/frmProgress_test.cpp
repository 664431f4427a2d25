// The progress window's record count: the step it belongs to, and the count lines of the batch
// face, paced to at most one a second.
#include "conversion/frmProgress.h"

#include <gtest/gtest.h>

#include <sstream>

#include "ConversionSite.h"
#include "frontends/faces/DBSelectFace.h"
#include "shared/ProgramEnd.h"

using namespace filomar;
using namespace std::chrono_literals;

namespace {

// A clock that moves only when told.
struct ManualClock {
  std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
  frmProgress::Clock Get() {
    return [this] { return now; };
  }
};

TEST(frmProgressCount, TheCountBelongsToTheStepItWasBegunFor) {
  frmProgress window;
  window.lblstatus = " Updating Sact table ";
  EXPECT_FALSE(window.ShowsRecordCount());
  window.BeginRecordCount(5);
  EXPECT_TRUE(window.ShowsRecordCount());
  window.lblstatus = " Converting Filters";
  EXPECT_FALSE(window.ShowsRecordCount());
}

class BatchCountLines : public conversion_test::ConversionSite {};

TEST_F(BatchCountLines, ALongScanPrintsItsCountAtMostOnceASecond) {
  AddDatabase("STANDARD", "400A");
  ShowWindow();
  window.progress.painter = nullptr;  // the face paints
  ManualClock time;
  steps.during = [&](const std::string& call) {
    if (call != "ConvertSact") return;
    window.progress.clock = time.Get();
    window.progress.BeginRecordCount(100);
    for (long done = 1; done <= 100; ++done) {
      time.now += 100ms;
      window.progress.RecordsDone(done);
    }
    window.progress.EndRecordCount(100);
  };
  std::ostringstream out;
  try {
    ui::RunDBSelectInBatch(window, out, {{}, false, home.str() + "/run.log"});
  } catch (const ProgramEnd&) {
  }

  std::istringstream lines(out.str());
  std::vector<std::string> counts;
  for (std::string line; std::getline(lines, line);)
    if (line.find("STANDARD: Updating Sact table  ") != std::string::npos) counts.push_back(line.substr(line.find("table") + 7));
  // Ten seconds of scanning: one line a second at most, and more than one.
  EXPECT_LE(counts.size(), 10u) << out.str();
  ASSERT_GE(counts.size(), 5u) << out.str();
  EXPECT_EQ(counts.back().substr(counts.back().find(" of ")), " of 100 records");
  EXPECT_NE(out.str().find("STANDARD: Updating Sact table\n"), std::string::npos);
}

}  // namespace
