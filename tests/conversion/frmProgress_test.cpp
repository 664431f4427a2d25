// The progress window's record count: paced repaints, the step it belongs to, and the count
// lines of the batch face.
#include "conversion/frmProgress.h"

#include <gtest/gtest.h>

#include <sstream>

#include "ConversionSite.h"
#include "frontends/faces/DBSelectFace.h"
#include "shared/ProgramEnd.h"

using namespace filomar;
using namespace std::chrono_literals;

namespace {

struct CountingPainter : frmProgress::Painter {
  int paints = 0;
  void Paint(const frmProgress&) override { ++paints; }
  void Closed(const frmProgress&) override {}
};

// A clock that moves only when told.
struct ManualClock {
  std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
  frmProgress::Clock Get() {
    return [this] { return now; };
  }
};

TEST(frmProgressCount, RepaintsAFewTimesASecondNotOncePerRecord) {
  frmProgress window;
  CountingPainter painter;
  ManualClock time;
  window.painter = &painter;
  window.clock = time.Get();
  window.Show();
  painter.paints = 0;

  window.BeginRecordCount(1000);
  for (long done = 1; done <= 1000; ++done) {
    time.now += 10ms;  // ten seconds in all
    window.RecordsDone(done);
  }
  window.EndRecordCount(1000);

  EXPECT_GE(painter.paints, 10 * frmProgress::kCountRepaintsPerSecond);
  EXPECT_LE(painter.paints, 10 * frmProgress::kCountRepaintsPerSecond + 2);
  EXPECT_EQ(window.RecordCountText(), "1000 of 1000 records");
}

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
