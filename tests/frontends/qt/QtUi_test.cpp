// The Qt message box.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "QtTest.h"
#include "frontends/qt/QtUi.h"

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

}  // namespace
