// The steps over a record library that fails them, with statuses queued by the fake library:
// the record conversions' scan, and convertLettersInDB.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "../recio/FakeReclib.h"
#include "common/FrontEnd.h"
#include "conversion/steps/Letters.h"
#include "conversion/steps/RecordScan.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "support/RecordingProvider.h"
#include "support/ScriptedUi.h"

using namespace filomar;
using fake_reclib::Fake;

namespace {

int Calls(const std::string& function, const std::string& code = "") {
  return static_cast<int>(std::count_if(Fake().calls.begin(), Fake().calls.end(), [&](const auto& c) {
    return c.function == function && (code.empty() || c.code == code);
  }));
}

// A scan ends after a bound of failures in a row (a record between them starts the count again),
// and a record whose read for update fails is not rewritten; the file is closed in every case.
TEST(RecordScan, FailuresInARowAndARecordThatCannotBeReadForUpdate) {
  constexpr int kBound = steps::kMaxScanFailuresInARow;
  struct Case {
    const char* name;
    long count;                                 // what io_count finds
    std::vector<std::pair<short, int>> nexts;  // io_next statuses, each so many times
    short readStatus;
    int changes, nextCalls;
    const char* countText;  // what the progress window shows at the end, where it is certain
  };
  const Case cases[] = {
      {"keeps failing", 0, {{99, 150}}, 0, 0, kBound, "0 of 0 records"},
      {"a record between failures", 1, {{99, kBound - 1}, {0, 1}, {99, kBound - 1}, {9, 1}}, 0, 1, 2 * kBound, nullptr},
      // the first of two records is locked elsewhere
      {"read for update fails", 2, {{0, 2}, {9, 1}}, 59, 1, 3, "2 of 2 records"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fake() = {};
    Fake().count = c.count;
    InitFileTable();
    for (const auto& [status, times] : c.nexts)
      for (int i = 0; i < times; ++i) Fake().Then("io_next", status);
    if (c.readStatus) Fake().Then("io_read", c.readStatus);
    frmProgress progress;
    int changes = 0;
    steps::RewriteEveryRecord({COMP_FILE, "ConvertComp", [] { ClearRecord(COMP_FILE); }, [&] { ++changes; }}, progress);

    EXPECT_EQ(changes, c.changes);
    EXPECT_EQ(Calls("io_rewrite"), c.changes);
    EXPECT_EQ(Calls("io_next"), c.nextCalls);
    EXPECT_EQ(Calls("io_endstart"), 1);
    EXPECT_EQ(Fake().calls.back().function, "io_close");
    if (c.countText) {
      EXPECT_EQ(progress.RecordCountText(), c.countText);
    }
  }
}

// "C03" holds the only copy of the letter names until "C13" has them: when they cannot be
// stored there, "C03" is not rewritten; the codes are converted all the same.
TEST(LettersFaults, FailuresOfC03AndC13) {
  const std::string c03 = "ERROR: Row C03 from the CONF record could not be accessed.  (vb_io_erc = 59)";
  const std::string c13 = "ERROR: Row C13 from the CONF record could not be accessed.";
  struct Case {
    std::vector<short> reads;  // C03, C03 again, C13
    const char* write;         // how the names go to C13, and its status
    short writeStatus;
    std::string shown;
    int confRewrites, codeOpens;  // C13 when it was there; C03 once the names are stored
  };
  for (const Case& c : {Case{{4}, "", 0, "", 0, 0}, Case{{59}, "", 0, c03, 0, 0},
                        Case{{0, 0, 4}, "io_write", 22, c13, 0, 1}, Case{{0, 0, 0}, "io_rewrite", 99, c13, 1, 1},
                        Case{{0, 0, 4}, "io_write", 0, "", 1, 1}}) {
    ui::ScriptedUi screen;
    SetFrontEnd(screen);
    Fake() = {};
    InitFileTable();
    InitFieldTable();
    for (short status : c.reads) Fake().Then("io_read", status);
    if (*c.write) Fake().Then(c.write, c.writeStatus);
    Fake().Then("io_next", kEndOfScan);
    ConversionLog log;
    ado::RecordingProviderFactory server;
    frmProgress progress;
    StepContext ctx{log, "FINANCE", "fin", server, progress};
    steps::convertLettersInDB(ctx);

    EXPECT_EQ(screen.Shown().empty() ? "" : screen.Shown()[0].text, c.shown);
    EXPECT_EQ(screen.Beeps(), c.shown.empty() ? 0 : 1);
    if (!c.shown.empty()) {
      EXPECT_EQ(screen.Shown()[0].code, ui::mb::RetryCancel | ui::mb::Critical);
      EXPECT_EQ(screen.Shown()[0].title, kProgramTitle);
    }
    EXPECT_EQ(Calls("io_rewrite", "CONF"), c.confRewrites);
    EXPECT_EQ(Calls("io_open", "CODE"), c.codeOpens);
    EXPECT_EQ(Calls("io_close", "CONF"), 1);
  }
}

}  // namespace
