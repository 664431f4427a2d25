#include "startup/login.h"

#include <gtest/gtest.h>

#include <sstream>

#include "StartupSite.h"
#include "startup/modMain.h"
#include "platform/ipc/ipc.h"
#include "recio/Vb_io.h"
#include "frontends/faces/LoginFace.h"

using namespace filomar;
using startup_test::StartupSite;

namespace {

class LoginTest : public StartupSite {
 protected:
  login form;

  void SetUp() override {
    StartupSite::SetUp();
    AddDatabase("OTHER", "other", "oth", "400A");
    AddUser("FILOMAR", "FILOMAR");
    AddAccess("FILOMAR", "STANDARD", "9");
    AddAccess("FILOMAR", "OTHER", "5");
    AddAccess("FILOMAR", "NOSUCHDB", "9");
    init0();
    form.Form_Load();
  }
  void TearDown() override {
    if (ConnHandle != -1) terminate();
    StartupSite::TearDown();
  }
  // Presses OK with the given entries; the exit status when the run ended, else -1.
  int SignOn(const std::string& user, const std::string& password) {
    form.UID_Change(user);
    form.PWD_Change(password);
    try {
      form.ok_Click();
      return -1;
    } catch (const ProgramEnd& end) {
      return end.status;
    }
  }
  std::string Published(const char* key) {
    char buffer[64];
    int length = sizeof buffer;
    if (ipc_read(key, buffer, &length) != 0) return "<missing>";
    return std::string(buffer, static_cast<std::size_t>(length));
  }
};

TEST_F(LoginTest, UserIdAndPasswordAreTrimmedAndComparedInUpperCase) {
  EXPECT_EQ(SignOn("  filomar ", "  filomar "), -1);
  EXPECT_TRUE(form.closed);
  EXPECT_EQ(Session.SignOnAccepted, 1);
  EXPECT_EQ(Session.SignedOnUserId, "FILOMAR");
  EXPECT_EQ(Published("DATABASEDIR") + "|" + Published("DB_PREFIX") + "|" + Published("DATABASENAME") + "|" +
                Published("USER_ID") + "|" + Published("USER_PASSWORD"),
            "data|std|STANDARD|FILOMAR|FILOMAR");
  EXPECT_TRUE(screen.Shown().empty());
}

TEST(PasswordLine, EndsBeforeLfOrCrLf) {
  for (const char* input : {"FILOMAR\r\nrest", "FILOMAR\nrest", "FILOMAR"}) {
    std::istringstream in(input);
    EXPECT_EQ(ui::ReadPasswordLine(in), "FILOMAR") << input;
  }
  std::istringstream inner("A\rB\r\n");
  EXPECT_EQ(ui::ReadPasswordLine(inner), "A\rB");
}

TEST_F(LoginTest, ThirdFailureEndsTheRun) {
  EXPECT_EQ(SignOn("FILOMAR", "wrong"), -1);
  EXPECT_EQ(form.PWD, "");
  EXPECT_EQ(form.focus, login::Control::PWD);
  EXPECT_EQ(SignOn("NOBODY", "x"), -1);
  EXPECT_EQ(form.focus, login::Control::UID);
  EXPECT_EQ(SignOn("FILOMAR", "c"), kExitFailure);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Invalid password. Try again.", "Invalid user id. Try again.",
                                                  "Maximum Number of Attempts Exceeded"}));
  EXPECT_EQ(ConnHandle, -1);
}

TEST_F(LoginTest, DatabaseListLeavesOutUncataloguedAndRefillsOnlyOnChange) {
  form.UID_Change("FILOMAR");
  form.Combo1_GotFocus();
  EXPECT_EQ(form.Combo1, (std::vector<std::string>{"OTHER - OTHER records", "STANDARD - STANDARD records"}));
  EXPECT_EQ(form.keys, (std::vector<std::string>{"other", "data"}));
  EXPECT_EQ(form.Combo1ListIndex, 0);
  form.Combo1_Click(1);
  form.Combo1_GotFocus();  // same user id: the list and the choice stay
  EXPECT_EQ(form.keysListIndex, 1);
  form.UID_Change("NOBODY");
  form.Combo1_GotFocus();
  EXPECT_EQ(form.Combo1, std::vector<std::string>{"    "});
}

// Users whose level or password records are unusual, each signing on with "secret".
class LoginLevelTest : public StartupSite {
 protected:
  // -1 signed on, -2 refused with the window still open, else the exit status.
  int SignOnAs(const std::string& user, const std::string& stored, const std::string& level, bool access) {
    AddUser(user, stored);
    if (access) AddAccess(user, "STANDARD", level);
    init0();
    login form;
    form.Form_Load();
    form.UID_Change(user);
    form.PWD_Change("secret");
    try {
      form.ok_Click();
    } catch (const ProgramEnd& end) {
      return end.status;
    }
    const int accepted = Session.SignOnAccepted;
    terminate();
    return accepted == 1 ? -1 : -2;
  }
};

TEST_F(LoginLevelTest, OnlyLevelNineAndAMatchingStoredPasswordSignOn) {
  const std::string noLevel = "You must have level 9 to run the Conversion utility";
  EXPECT_EQ(SignOnAs("TRAILING", "SECRET", "9 ", true), -1);
  EXPECT_EQ(SignOnAs("BLANKS", " secret", "9", true), -2);  // leading blanks never match
  EXPECT_EQ(SignOnAs("ZERONINE", "secret", "09", true), kExitFailure);
  EXPECT_EQ(SignOnAs("NOACCESS", "secret", "", false), kExitFailure);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Invalid password. Try again.", noLevel, noLevel}));
}

TEST_F(LoginTest, BatchFaceNeverShowsTheRefusedPassword) {
  std::ostringstream out;
  login batchForm;
  EXPECT_EQ(ui::RunLoginInBatch(batchForm, out, "FILOMAR", "nope"), kExitFailure);
  EXPECT_EQ(out.str().find("nope"), std::string::npos);
}

}  // namespace
