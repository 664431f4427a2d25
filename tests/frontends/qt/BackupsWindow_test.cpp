// The backups window and the main window's backup settings, driven through their widgets;
// message boxes go to the scripted front end.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "QtTest.h"
#include "conversion/ConversionSite.h"
#include "frontends/qt/QtFaces.h"
#include "shared/ProgramEnd.h"
#include "support/Screen.h"
#include "support/StoreRecords.h"

using namespace filomar;
using qt_test::WhenShown;
using testing::HasSubstr;

namespace {

class BackupsWindowTest : public conversion_test::ConversionSite {
 protected:
  void SetUp() override {
    ConversionSite::SetUp();
    AddDatabase("STANDARD", "400A");
    window.backupRoot = home.str() + "/backups";
    ShowWindow();
  }
  int Run() { return qt_test::RunMainWindowToEnd(window); }
  std::string Records() const { return testing_support::StoreRecords((home.path() / "data" / "std.records").string()); }
  static void Click(QWidget* window, const char* button) {
    QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
  }
};

// A run backs STANDARD up; the backups window lists the backup under it, checks it, and
// restores it once the confirmation is answered OK: the records are those before the run.
TEST_F(BackupsWindowTest, ListsTheBackupOfARunAndRestoresItAfterTheConfirmation) {
  const std::string before = Records();
  std::string converted, listed, checked, asked, barAfterCheck;
  WhenShown("DBSelect", [&](QWidget* main) {
    Click(main, "cmdStart");
    converted = Records();
    WhenShown("frmBackups", [&](QWidget* backups) {
      auto* tree = backups->findChild<QTreeWidget*>("lstBackups");
      QTreeWidgetItem* folder = tree->topLevelItem(0)->child(0);
      listed = tree->topLevelItem(0)->text(0).toStdString() + " " + std::to_string(tree->topLevelItem(0)->childCount());
      QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(folder).center());
      Click(backups, "cmdCheck");
      checked = tree->topLevelItem(0)->child(0)->text(2).toStdString();
      barAfterCheck = backups->findChild<QProgressBar*>("checkBar")->isVisible() ? "bar shown" : "bar hidden";
      screen.Answer(ui::kOK);
      Click(backups, "cmdRestore");
      asked = screen.Shown().at(screen.Shown().size() - 2).text;
      Click(backups, "cmdClose");
    });
    Click(main, "cmdBackups");
    Click(main, "cmdExit");
  });

  EXPECT_EQ(Run(), kExitNormal);
  EXPECT_NE(converted, before);
  EXPECT_EQ(listed, "STANDARD 1");
  EXPECT_EQ(checked, "passed");
  EXPECT_EQ(barAfterCheck, "bar hidden");
  EXPECT_THAT(asked, HasSubstr("Restore the STANDARD Database from its backup of "));
  EXPECT_THAT(testing_support::Texts(screen).back(), HasSubstr("The STANDARD Database was restored from "));
  EXPECT_EQ(Records(), before);
  EXPECT_EQ(ListState(), "STANDARD*");
}

// Unchecking the check box asks with the warning; OK turns backups off, the folder stays shown.
TEST_F(BackupsWindowTest, TurningBackupsOffShowsTheWarning) {
  bool checkedAfter = true;
  std::string folderShown;
  WhenShown("DBSelect", [&](QWidget* main) {
    screen.Answer(ui::kOK);
    QTest::mouseClick(main->findChild<QCheckBox*>("chkBackup"), Qt::LeftButton);
    checkedAfter = main->findChild<QCheckBox*>("chkBackup")->isChecked();
    folderShown = main->findChild<QLineEdit*>("txtBackupDir")->text().toStdString();
    Click(main, "cmdExit");
  });

  EXPECT_EQ(Run(), kExitNormal);
  ASSERT_FALSE(screen.Shown().empty());
  EXPECT_EQ(screen.Shown().back().text, DBSelect::kNoBackupWarning);
  EXPECT_FALSE(checkedAfter);
  EXPECT_FALSE(window.backupRoot);
  EXPECT_EQ(folderShown, home.str() + "/backups");
}

}  // namespace
