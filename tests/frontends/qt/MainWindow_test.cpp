// The main window on Qt, clicked through its widgets, over catalogue records written through
// the record layer and recorded step routines; its message boxes go to the scripted front end.
#include "frontends/qt/MainWindow.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "QtDriver.h"
#include "conversion/ConversionSite.h"
#include "shared/ProgramEnd.h"
#include "support/Screen.h"
#include "frontends/qt/QtFaces.h"

using namespace filomar;

namespace {

class MainWindowTest : public conversion_test::ConversionSite {
 protected:
  void SetUp() override {
    ConversionSite::SetUp();
    AddDatabase("LEGAL", "400A");
    AddDatabase("STANDARD", "400A");
    ShowWindow();
  }
  // Runs the window until the program ends; its exit status.
  int Run() {
    try {
      ui::RunMainWindow(window);
    } catch (const ProgramEnd& end) {
      return end.status;
    }
  }
};

TEST_F(MainWindowTest, TheRunShowsItsDatabaseInTheProgressWindowAndKeepsStartDisabled) {
  QWidget* main = nullptr;
  std::vector<std::string> shown;
  steps.during = [&](const std::string& call) {
    if (call != "UpdateCONF") return;
    const auto* progress = main->findChild<QWidget*>("frmProgress");
    shown = {progress->isVisible() ? "visible" : "hidden",
             progress->findChild<QLabel*>("lbldbname")->text().toStdString(),
             main->findChild<QPushButton*>("cmdStart")->isEnabled() ? "start enabled" : "start disabled"};
  };
  ui_qt_test::WhenWindowShown("DBSelect", [&](QWidget* window) {
    main = window;
    QTest::mouseClick(main->findChild<QPushButton*>("cmdStart"), Qt::LeftButton);
    QTest::mouseClick(main->findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
  });

  EXPECT_EQ(Run(), kExitNormal);
  EXPECT_EQ(shown, (std::vector<std::string>{"visible", "STANDARD", "start disabled"}));
  EXPECT_EQ(testing_support::Texts(screen).back(), "Conversion of Databases has completed ");
}

TEST_F(MainWindowTest, TheProgressWindowIsPlacedFromTheMainWindowsCurrentSize) {
  QRect placed;
  steps.during = [&](const std::string& call) {
    if (call == "UpdateCONF") placed = {window.progress.left, window.progress.top, 0, 0};
  };
  QRect main;
  ui_qt_test::WhenWindowShown("DBSelect", [&](QWidget* shown) {
    shown->resize(800, 600);  // the administrator made the window larger than it opened
    QCoreApplication::processEvents();
    main = shown->geometry();
    QTest::mouseClick(shown->findChild<QPushButton*>("cmdStart"), Qt::LeftButton);
    QTest::mouseClick(shown->findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
  });

  EXPECT_EQ(Run(), kExitNormal);
  ASSERT_EQ(main.size(), QSize(800, 600));
  EXPECT_EQ(placed.left(), window.left + 800 / 4);
  EXPECT_EQ(placed.top(), window.top + 600 / 4);
}

TEST_F(MainWindowTest, AStepThatCountsRecordsShowsABarAndItsCountOnlyWhileItRuns) {
  QWidget* main = nullptr;
  std::vector<std::string> shown;
  const auto look = [&] {
    const auto* progress = main->findChild<QWidget*>("frmProgress");
    const auto* bar = progress->findChild<QProgressBar*>("recordBar");
    const auto* count = progress->findChild<QLabel*>("lblrecords");
    shown.push_back(bar->isVisible() ? std::to_string(bar->value()) + " " + count->text().toStdString() : "none");
  };
  steps.during = [&](const std::string& call) {
    if (call == "ConvertSact") {
      window.progress.BeginRecordCount(4);
      window.progress.EndRecordCount(3);
      look();
    } else if (call == "ConvertVers") {
      look();  // the next step's caption hides the last step's count
    }
  };
  ui_qt_test::WhenWindowShown("DBSelect", [&](QWidget* w) {
    main = w;
    QTest::mouseClick(main->findChild<QPushButton*>("cmdStart"), Qt::LeftButton);
    QTest::mouseClick(main->findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
  });

  EXPECT_EQ(Run(), kExitNormal);
  EXPECT_EQ(shown, (std::vector<std::string>{"750 3 of 4 records", "none"}));
}

}  // namespace
