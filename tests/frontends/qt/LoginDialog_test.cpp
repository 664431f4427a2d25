// The sign-on window, driven through its widgets; its message boxes go to the scripted front end.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "QtTest.h"
#include "frontends/qt/LoginDialog.h"
#include "frontends/qt/QtFaces.h"
#include "shared/Session.h"
#include "startup/StartupSite.h"
#include "startup/modMain.h"

using namespace filomar;

namespace {

using qt_test::WhenShown;

// The sign-on window over a small installation.
class LoginDialogTest : public startup_test::StartupSite {
 protected:
  void SetUp() override {
    StartupSite::SetUp();
    AddUser("FILOMAR", "FILOMAR");
    AddAccess("FILOMAR", "STANDARD", "9");
    init0();
  }
};

struct AfterRefusal {
  QString password, firstEntry;
  bool open = false, passwordFocused = false;
};

TEST_F(LoginDialogTest, AWrongPasswordIsClearedThenTypedKeysSignOn) {
  login form;
  AfterRefusal after;
  WhenShown(nullptr, [&](QWidget* dialog) {
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

  EXPECT_EQ(Messages(), std::vector<std::string>{"Invalid password. Try again."});
  EXPECT_EQ(after.password, "");
  EXPECT_TRUE(after.open);
  EXPECT_TRUE(after.passwordFocused);
  EXPECT_EQ(after.firstEntry, "STANDARD - STANDARD records");
  EXPECT_TRUE(form.closed);
  EXPECT_EQ(Session.SignOnAccepted, 1);
  EXPECT_EQ(Session.SignedOnUserId, "FILOMAR");
}

}  // namespace
