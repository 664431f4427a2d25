// The Qt message box and the display check.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "QtTest.h"
#include "frontends/qt/QtFaces.h"
#include "frontends/qt/QtUi.h"
#include "support/TempDir.h"

namespace {

using qt_test::ShownBox;
using qt_test::WhenShown;

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

}  // namespace
