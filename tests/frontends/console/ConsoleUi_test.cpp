#include "frontends/console/ConsoleUi.h"

#include <gtest/gtest.h>

#include <sstream>

#include "frontends/Display.h"
#include "frontends/console/BatchUi.h"
#include "support/TempDir.h"

using namespace ui;

namespace {

int Ask(const std::string& input, std::uint16_t code, std::string* shown = nullptr) {
  std::istringstream in(input);
  std::ostringstream out;
  ConsoleUi console(in, out);
  const int answer = console.MsgBox("line one\rline two", code, "Title ");
  if (shown) *shown = out.str();
  return answer;
}

TEST(ConsoleUi, EnterTakesTheDefaultEndOfInputCancelsWhereItCanAndButtonsGoByNameLetterOrNumber) {
  EXPECT_EQ(Ask("\n", mb::OKCancel), kOK);
  EXPECT_EQ(Ask("\n", mb::OKCancel | mb::Critical | mb::DefaultButton2), kCancel);
  EXPECT_EQ(Ask("\n", mb::OKOnly | mb::DefaultButton2), kOK);
  EXPECT_EQ(Ask("", mb::OKCancel), kCancel);
  EXPECT_EQ(Ask("", mb::OKOnly), kOK);
  EXPECT_EQ(Ask("cancel\n", mb::OKCancel), kCancel);
  EXPECT_EQ(Ask("r\n", mb::RetryCancel), kRetry);
  EXPECT_EQ(Ask("2\n", mb::RetryCancel), kCancel);
}

TEST(ConsoleUi, WrongAnswerAsksAgainAndTextKeepsItsLines) {
  std::string shown;
  EXPECT_EQ(Ask("retry\n3\nok\n", mb::OKCancel, &shown), kOK);
  EXPECT_NE(shown.find("[Title ]\nline one\nline two\n"), std::string::npos);
  EXPECT_NE(shown.find("Please answer [OK] / Cancel."), std::string::npos);
}

TEST(BatchUi, TakesQueuedAnswersThenDefaults) {
  std::ostringstream out;
  BatchUi batch(out, {kCancel, kRetry});
  EXPECT_EQ(batch.MsgBox("first", mb::OKCancel, "T"), kCancel);
  EXPECT_EQ(batch.MsgBox("second", mb::OKCancel, "T"), kOK);  // Retry is not a button here
  EXPECT_EQ(batch.MsgBox("third", mb::OKCancel | mb::DefaultButton2, "T"), kCancel);
  EXPECT_NE(out.str().find("first\n[OK] / Cancel -> Cancel\n"), std::string::npos);
}

// Qt ends the process on a display it cannot reach, so such a display must send the program to
// the console instead.
TEST(Display, AnUnreachableLocalDisplayIsNoDisplay) {
  const testing_support::ScopedEnv platform("QT_QPA_PLATFORM", std::nullopt);
  const testing_support::ScopedEnv wayland("WAYLAND_DISPLAY", std::nullopt);
  const testing_support::ScopedEnv display("DISPLAY", std::string(":4711"));
  EXPECT_FALSE(ui::DisplayAvailable());
  const testing_support::ScopedEnv remote("DISPLAY", std::string("buildhost:0"));
  EXPECT_TRUE(ui::DisplayAvailable());
}

}  // namespace
