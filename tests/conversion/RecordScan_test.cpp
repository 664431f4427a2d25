// The record conversions' scan over a record library that keeps failing (the fake library).
#include "conversion/steps/RecordScan.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "../recio/FakeReclib.h"
#include "recio/Vb_io.h"

using namespace filomar;
using fake_reclib::Fake;

namespace {

class RecordScanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Fake() = {};
    InitFileTable();
  }
  long Count(const std::string& function) const {
    return std::count_if(Fake().calls.begin(), Fake().calls.end(), [&](const auto& c) { return c.function == function; });
  }
  void Run() {
    steps::RewriteEveryRecord({COMP_FILE, "ConvertComp", [] { ClearRecord(COMP_FILE); }, [this] { ++changes; }},
                              progress);
  }
  void Queue(const std::string& function, short status, int times) {
    for (int i = 0; i < times; ++i) Fake().Then(function, status);
  }
  frmProgress progress;
  int changes = 0;
};

TEST_F(RecordScanTest, AScanThatKeepsFailingEndsAfterTheBoundAndClosesTheFile) {
  Queue("io_next", 9, 1);      // the count finds no record
  Queue("io_next", 99, 150);  // then every step of the scan fails

  Run();

  EXPECT_EQ(Count("io_next"), 1 + steps::kMaxScanFailuresInARow);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(Count("io_rewrite"), 0);
  EXPECT_EQ(Count("io_endstart"), 2);
  EXPECT_EQ(Fake().calls.back().function, "io_close");
}

TEST_F(RecordScanTest, ARecordBetweenFailuresStartsTheCountAgain) {
  Queue("io_next", 9, 1);
  Queue("io_next", 99, steps::kMaxScanFailuresInARow - 1);
  Queue("io_next", 0, 1);
  Queue("io_next", 99, steps::kMaxScanFailuresInARow - 1);
  Queue("io_next", 9, 1);

  Run();

  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Count("io_rewrite"), 1);
  EXPECT_EQ(Count("io_next"), 1 + 2 * steps::kMaxScanFailuresInARow);
}

TEST_F(RecordScanTest, ARecordWhoseReadForUpdateFailsIsNotRewritten) {
  Queue("io_next", 0, 2);  // the count: two records
  Queue("io_next", 9, 1);
  Queue("io_next", 0, 2);
  Queue("io_next", 9, 1);
  Fake().Then("io_read", 59);  // the first is locked elsewhere

  Run();

  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Count("io_rewrite"), 1);
  EXPECT_EQ(progress.RecordCountText(), "2 of 2 records");
}

}  // namespace
