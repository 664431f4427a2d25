// The Qt windows, driven through their widgets on the offscreen platform, so that no window
// reaches a real display. A window under test runs its own loop (a modal exec, the main
// window's loop), so the test acts from inside that loop once the window is up; message boxes
// of the sign-on and main windows go to the scripted front end.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "conversion/ConversionSite.h"
#include "frontends/qt/LoginDialog.h"
#include "frontends/qt/MainWindow.h"
#include "frontends/qt/QtFaces.h"
#include "frontends/qt/QtUi.h"
#include "recio/Vb_io.h"
#include "shared/ProgramEnd.h"
#include "startup/StartupSite.h"
#include "startup/modMain.h"
#include "support/Screen.h"
#include "support/TempDir.h"

using namespace filomar;

namespace {

// Polls the event loop until the top-level window named `name` (the modal window when `name`
// is null) is shown, then runs `act` on it once.
void WhenShown(const char* name, std::function<void(QWidget*)> act) {
  auto* poll = new QTimer(qApp);
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, name, act = std::move(act)] {
    QWidget* widget = name == nullptr ? QApplication::activeModalWidget() : nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
      if (name != nullptr && window->objectName() == name) widget = window;
    if (widget == nullptr || !widget->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    act(widget);
  });
  poll->start();
}

struct ShownBox {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool cancelIsDefault = false;
  qsizetype buttons = 0;
};

TEST(QtUi, MessageBoxShowsTheCodeAndReturnsTheButtonClicked) {
  ShownBox shown;
  WhenShown(nullptr, [&](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    ASSERT_NE(box, nullptr);
    shown = {box->windowTitle(), box->text(), box->icon(), box->defaultButton() == box->button(QMessageBox::Cancel),
             box->buttons().size()};
    QTest::mouseClick(box->button(QMessageBox::Cancel), Qt::LeftButton);
  });
  ui::QtUi qt;
  const int pressed =
      qt.MsgBox("Caf\xE9 closed.", ui::mb::OKCancel | ui::mb::Critical | ui::mb::DefaultButton2, "Warning!");

  EXPECT_EQ(pressed, ui::kCancel);
  EXPECT_EQ(shown.title, "Warning!");
  EXPECT_EQ(shown.text, QString::fromUtf8("Caf\u00e9 closed."));  // Windows-1252 shown as such
  EXPECT_EQ(shown.icon, QMessageBox::Critical);
  EXPECT_TRUE(shown.cancelIsDefault);
  EXPECT_EQ(shown.buttons, 2);
}

// Qt ends the process on a display it cannot reach, so such a display must send the program to
// the console instead.
TEST(QtFaces, AnUnreachableLocalDisplayIsNoDisplay) {
  const testing_support::ScopedEnv platform("QT_QPA_PLATFORM", std::nullopt);
  const testing_support::ScopedEnv wayland("WAYLAND_DISPLAY", std::nullopt);
  const testing_support::ScopedEnv display("DISPLAY", std::string(":4711"));
  EXPECT_FALSE(ui::DisplayAvailable());
  const testing_support::ScopedEnv remote("DISPLAY", std::string("buildhost:0"));
  EXPECT_TRUE(ui::DisplayAvailable());
}

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
  // Runs the window until the program ends; its exit status.
  int Run() {
    try {
      ui::RunMainWindow(window);
    } catch (const ProgramEnd& end) {
      return end.status;
    }
  }
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
      placed = {window.progress.left, window.progress.top, 0, 0};
      shown = {progress->isVisible() ? "visible" : "hidden", progress->findChild<QLabel*>("lbldbname")->text().toStdString(),
               main->findChild<QPushButton*>("cmdStart")->isEnabled() ? "start enabled" : "start disabled"};
    } else if (call == "ConvertSact") {
      window.progress.BeginRecordCount(4);
      window.progress.EndRecordCount(3);
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
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
