// The sign-on window on Qt, typed into through its widgets over a small installation; its
// message boxes go to the scripted front end.
#include "frontends/qt/LoginDialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "QtDriver.h"
#include "recio/Vb_io.h"
#include "startup/StartupSite.h"
#include "startup/modMain.h"
#include "support/Screen.h"
#include "frontends/qt/QtFaces.h"

using namespace filomar;

namespace {

class LoginDialogTest : public startup_test::StartupSite {
 protected:
  void SetUp() override {
    StartupSite::SetUp();
    AddUser("FILOMAR", "FILOMAR");
    AddAccess("FILOMAR", "STANDARD", "9");
    init0();
  }
  void TearDown() override {
    if (ConnHandle != -1) terminate();
    StartupSite::TearDown();
  }
};

struct AfterRefusal {
  QString password, firstEntry;
  bool open = false, passwordFocused = false;
};

TEST_F(LoginDialogTest, AWrongPasswordIsClearedThenTypedKeysSignOn) {
  login form;
  AfterRefusal after;
  ui_qt_test::WhenModal([&](QWidget* dialog) {
    auto* uid = dialog->findChild<QLineEdit*>("UID");
    auto* pwd = dialog->findChild<QLineEdit*>("PWD");
    auto* ok = dialog->findChild<QPushButton*>("ok");
    QTest::keyClicks(uid, "FILOMAR");
    QTest::keyClicks(pwd, "wrong");
    QTest::mouseClick(ok, Qt::LeftButton);
    after = {pwd->text(), dialog->findChild<QComboBox*>("Combo1")->itemText(0), dialog->isVisible(),
             dialog->focusWidget() == pwd};
    QTest::keyClicks(pwd, "filomar");
    QTest::mouseClick(ok, Qt::LeftButton);
    static_cast<QDialog*>(dialog)->reject();  // a refused sign-on fails the test instead of waiting
  });
  ui::RunLoginWindow(form);

  EXPECT_EQ(testing_support::Texts(screen), std::vector<std::string>{"Invalid password. Try again."});
  EXPECT_EQ(after.password, "");
  EXPECT_TRUE(after.open);
  EXPECT_TRUE(after.passwordFocused);
  EXPECT_EQ(after.firstEntry, "STANDARD - STANDARD records");
  EXPECT_TRUE(form.closed);
  EXPECT_EQ(Session.SignOnAccepted, 1);
  EXPECT_EQ(Session.SignedOnUserId, "FILOMAR");
}

}  // namespace
