// The main window and its progress window, driven through their widgets; message boxes go to
// the scripted front end.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "QtTest.h"
#include "conversion/ConversionSite.h"
#include "frontends/qt/MainWindow.h"
#include "frontends/qt/QtFaces.h"
#include "shared/ProgramEnd.h"
#include "support/Screen.h"

using namespace filomar;

namespace {

using qt_test::WhenShown;

// The main window over catalogue records written through the record layer and recorded step
// routines.
class MainWindowTest : public conversion_test::ConversionSite {
 protected:
  void SetUp() override {
    ConversionSite::SetUp();
    AddDatabase("LEGAL", "400A");
    AddDatabase("STANDARD", "400A");
    ShowWindow();
  }
  int Run() { return qt_test::RunMainWindowToEnd(window); }
};

// One run: the progress window shows the database, sits a quarter into the main window's
// current size (the administrator made it larger than it opened), and shows a step's record
// bar and count only while that step runs; Start stays disabled meanwhile.
TEST_F(MainWindowTest, TheRunsProgressWindowFollowsTheMainWindowAndItsSteps) {
  QWidget* main = nullptr;
  std::vector<std::string> shown;
  QRect placed;
  const auto lookAtTheBar = [&] {
    const auto* bar = main->findChild<QProgressBar*>("recordBar");
    const auto* count = main->findChild<QLabel*>("lblrecords");
    shown.push_back(bar->isVisible() ? std::to_string(bar->value()) + " " + count->text().toStdString() : "no bar");
  };
  steps.during = [&](const std::string& call) {
    if (call == "UpdateCONF") {
      const auto* progress = main->findChild<QWidget*>("frmProgress");
      placed = {window.Progress().left, window.Progress().top, 0, 0};
      shown = {progress->isVisible() ? "visible" : "hidden", progress->findChild<QLabel*>("lbldbname")->text().toStdString(),
               main->findChild<QPushButton*>("cmdStart")->isEnabled() ? "start enabled" : "start disabled"};
    } else if (call == "ConvertSact") {
      steps.progress->BeginRecordCount(4);
      steps.progress->EndRecordCount(3);
      lookAtTheBar();
    } else if (call == "ConvertVers") {
      lookAtTheBar();  // the next step's caption hides the last step's count
    }
  };
  QSize size;
  WhenShown("DBSelect", [&](QWidget* shownWindow) {
    main = shownWindow;
    main->resize(800, 600);
    QCoreApplication::processEvents();
    size = main->size();
    QTest::mouseClick(main->findChild<QPushButton*>("cmdStart"), Qt::LeftButton);
    QTest::mouseClick(main->findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
  });

  EXPECT_EQ(Run(), kExitNormal);
  EXPECT_EQ(shown, (std::vector<std::string>{"visible", "STANDARD", "start disabled", "750 3 of 4 records", "no bar"}));
  ASSERT_EQ(size, QSize(800, 600));
  EXPECT_EQ(placed.left(), window.left + 800 / 4);
  EXPECT_EQ(placed.top(), window.top + 600 / 4);
  EXPECT_EQ(testing_support::Texts(screen).back(), "Conversion of Databases has completed ");
  // The run's report beside its log.
  EXPECT_NE(testing_support::ReadFile(home.path() / "convert5.json").find("\"status\": \"converted\""), std::string::npos);
}

}  // namespace
