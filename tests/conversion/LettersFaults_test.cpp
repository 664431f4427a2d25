// convertLettersInDB when the record library fails it: statuses queued by the fake library.
#include <gtest/gtest.h>

#include <algorithm>

#include "../recio/FakeReclib.h"
#include "common/FrontEnd.h"
#include "conversion/steps/Letters.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "support/RecordingProvider.h"
#include "support/ScriptedUi.h"

using namespace filomar;
using fake_reclib::Fake;

namespace {

class LettersFaults : public ::testing::Test {
 protected:
  ui::ScriptedUi screen;
  ConversionLog log;
  ado::RecordingProviderFactory server;
  frmProgress progress;
  StepContext ctx{log, "FINANCE", "fin", server, progress};

  void SetUp() override {
    SetFrontEnd(screen);
    Fake() = {};
    InitFileTable();
    InitFieldTable();
    Fake().Then("io_next", kEndOfScan);  // an empty CODE file
  }
  int Calls(const std::string& function, const std::string& code) const {
    return static_cast<int>(std::count_if(Fake().calls.begin(), Fake().calls.end(), [&](const fake_reclib::Call& c) {
      return c.function == function && c.code == code;
    }));
  }
};

constexpr std::uint16_t kRetryCancelCritical = ui::mb::RetryCancel | ui::mb::Critical;

TEST_F(LettersFaults, AMissingC03EndsTheStepQuietlyAnyOtherFailureIsShown) {
  Fake().Then("io_read", 4);
  steps::convertLettersInDB(ctx);
  EXPECT_TRUE(screen.Shown().empty());
  EXPECT_EQ(Calls("io_open", "CODE"), 0);
  EXPECT_EQ(Calls("io_close", "CONF"), 1);

  Fake().Then("io_read", 59);
  steps::convertLettersInDB(ctx);
  ASSERT_EQ(screen.Shown().size(), 1u);
  EXPECT_EQ(screen.Shown()[0].text, "ERROR: Row C03 from the CONF record could not be accessed.  (vb_io_erc = 59)");
  EXPECT_EQ(screen.Shown()[0].code, kRetryCancelCritical);
  EXPECT_EQ(screen.Shown()[0].title, kProgramTitle);
  EXPECT_EQ(screen.Beeps(), 1);
  EXPECT_EQ(Calls("io_open", "CODE"), 0);
  EXPECT_EQ(Calls("io_rewrite", "CONF"), 0);
}

// "C03" holds the only copy of the letter names until "C13" has them: when they cannot be
// written there, "C03" is not rewritten, and the code records are still converted.
TEST_F(LettersFaults, C03IsKeptWhenTheNamesCannotBeStoredInC13) {
  struct Case {
    short c13Read, c13Write;  // status of reading "C13" and of writing the names there
  };
  for (const Case c : {Case{4, 22}, Case{0, 99}}) {
    SetUp();
    Fake().Then("io_read", 0);  // C03
    Fake().Then("io_read", 0);  // C03, for the letter names
    Fake().Then("io_read", c.c13Read);
    Fake().Then(c.c13Read == 0 ? "io_rewrite" : "io_write", c.c13Write);
    steps::convertLettersInDB(ctx);
    ASSERT_EQ(screen.Shown().size(), 1u) << c.c13Read;
    EXPECT_EQ(screen.Shown().back().text, "ERROR: Row C13 from the CONF record could not be accessed.");
    EXPECT_EQ(screen.Shown().back().code, kRetryCancelCritical);
    EXPECT_EQ(Calls("io_rewrite", "CONF"), c.c13Read == 0 ? 1 : 0);
    EXPECT_EQ(Calls("io_open", "CODE"), 1);
    screen = {};
  }
}

TEST_F(LettersFaults, AMissingC13IsAddedAndC03Rewritten) {
  Fake().Then("io_read", 0);
  Fake().Then("io_read", 0);
  Fake().Then("io_read", 4);
  steps::convertLettersInDB(ctx);
  EXPECT_TRUE(screen.Shown().empty());
  EXPECT_EQ(Calls("io_write", "CONF"), 1);
  EXPECT_EQ(Calls("io_rewrite", "CONF"), 1);
}

}  // namespace
