#include "common/General.h"

#include <gtest/gtest.h>

#include "common/FrontEnd.h"
#include "platform/ipc/ipc.h"
#include "support/TempDir.h"
#include "support/ScriptedUi.h"

using testing_support::ScopedEnv;
using testing_support::TempDir;
using namespace filomar;
using namespace std::chrono;

namespace {

class GeneralTest : public ::testing::Test {
 protected:
  TempDir home;
  TempDir ipcRoot;
  ScopedEnv homeEnv{"FILOMAR_HOME", home.str()};
  ScopedEnv ipcEnv{"FILOMAR_IPC_DIR", ipcRoot.str() + "/ipc"};
  ui::ScriptedUi screen;
  void SetUp() override { SetFrontEnd(screen); }
  std::string FullPath(const std::string& name) {
    std::string result;
    ConstructFullPath(name, result);
    return result;
  }
};

TEST(SameTextAndIsBlank, TrailingBlanksAndCase) {
  EXPECT_TRUE(SameText("abc  ", "ABC"));
  EXPECT_FALSE(SameText(" abc", "abc"));
  EXPECT_TRUE(SameText("", "   "));
  EXPECT_TRUE(SameText("\xe9t\xe9", "\xc9T\xc9"));  // accented letters of the code page
  EXPECT_FALSE(SameText("400A\t", "400A"));
  EXPECT_TRUE(IsBlank(""));
  EXPECT_TRUE(IsBlank("    "));
  EXPECT_FALSE(IsBlank(" \t "));
  EXPECT_FALSE(IsBlank(std::string("\0", 1)));
  std::string nul("a\0b\0", 4);
  StripNul(nul);
  EXPECT_EQ(nul, "ab");
}

TEST(FormatDate, OrderFollowsPatternSeparatorIsAlwaysSlash) {
  const Variant july13 = Date{year(2006), month(7), day(13)};
  EXPECT_EQ(FormatDateForPattern(july13, "dd.MM.yyyy"), "13/07/2006");
  EXPECT_EQ(FormatDateForPattern(july13, "M/d/yy"), "07/13/2006");
  EXPECT_EQ(FormatDateForPattern(july13, "yyyy-MM-dd"), "2006/07/13");
  EXPECT_EQ(FormatDateForPattern(july13, ""), "13/07/2006");
  EXPECT_EQ(FormatDateForPattern(Variant(std::string("13.07.2006")), "dd.MM.yyyy"), "13/07/2006");
  EXPECT_EQ(FormatDateForPattern(Variant(Date{year(99), month(1), day(2)}), "yyyy-MM-dd"), "0099/01/02");
}

TEST(FormatDate, EmptyMasksAndNonDates) {
  EXPECT_EQ(FormatDateForPattern(Variant(std::string(" ")), "d/M/yyyy"), "__/__/____");
  EXPECT_EQ(FormatDateForPattern(Variant(std::string("")), "M/d/yy"), "__/__/____");
  EXPECT_EQ(FormatDateForPattern(Variant(), "yyyy-MM-dd"), "____/__/__");
  EXPECT_EQ(FormatDateForPattern(Variant(std::string(" ")), ""), "");
  EXPECT_EQ(FormatDateForPattern(Variant(std::string("  ")), "dd.MM.yyyy"), "");
  EXPECT_EQ(FormatDateForPattern(Variant(std::string("31.02.2006")), "dd.MM.yyyy"), "");
  EXPECT_EQ(FormatDateForPattern(Variant(std::int32_t{5}), "dd.MM.yyyy"), "");
}

TEST_F(GeneralTest, MsgBoxTraceUsesProgramTitleWhenNoneGiven) {
  screen.Answer(ui::kCancel);
  MsgBoxTrace("text", ui::mb::OKCancel, "");
  MsgBoxTrace("other", ui::mb::OKOnly, "Error");
  ASSERT_EQ(screen.Shown().size(), 2u);
  EXPECT_EQ(screen.Shown()[0].title, kProgramTitle);
  EXPECT_EQ(screen.Shown()[0].answer, ui::kCancel);
  EXPECT_EQ(screen.Shown()[1].title, "Error");
}

TEST_F(GeneralTest, ClientDirFromStoreOrProgramDirectory) {
  EXPECT_EQ(GetClientDir(), home.str() + "/");
  ASSERT_EQ(ipc_write("FLMWIN_PATH", "/opt/flm/", 9), 0);
  EXPECT_EQ(GetClientDir(), "/opt/flm/");
  ASSERT_EQ(ipc_write("FLMWIN_PATH", "C:\\flm", 6), 0);
  EXPECT_EQ(GetClientDir(), "C:/flm/");
}

TEST_F(GeneralTest, FullPathUnderStandardDataDirOrTheProgramDirectory) {
  EXPECT_EQ(FullPath("/x/letters"), "/x/letters");
  EXPECT_EQ(FullPath("letters"), home.str() + "/letters/");
  EXPECT_EQ(FullPath("data\\sub"), home.str() + "/data/sub/");
  home.Write("flmwin.ini", "[DATABASE]\nStandardDataDir=  /srv/data  \n");
  EXPECT_EQ(FullPath("letters"), "/srv/data/letters");
  home.Write("flmwin.ini", "[DATABASE]\nStandardDataDir=/srv/data/\n");
  EXPECT_EQ(FullPath("letters"), "/srv/data/letters");
  home.Write("flmwin.ini", "[DATABASE]\nOther=1\n");
  EXPECT_EQ(FullPath("letters"), home.str() + "/letters/");
  std::filesystem::remove(home.path() / "flmwin.ini");
  home.Write("FLMWIN.INI", "[database]\nstandarddatadir=/srv/d\n");
  EXPECT_EQ(FullPath("letters"), "/srv/d/letters");
  EXPECT_TRUE(screen.Shown().empty());
}

TEST_F(GeneralTest, FullPathGivesUpAfterBoundedRetries) {
  // A client directory whose name the file system refuses makes every look-up fail.
  const std::string bad = home.str() + "/" + std::string(300, 'a') + "/";
  ASSERT_EQ(ipc_write("FLMWIN_PATH", bad.c_str(), static_cast<int>(bad.size())), 0);
  EXPECT_EQ(FullPath("letters"), bad + "letters/");
  ASSERT_EQ(screen.Shown().size(), static_cast<std::size_t>(kConstructFullPathRetries + 1));
  EXPECT_EQ(screen.Shown()[0].text, "ConstructFullPath_error = 52");
  EXPECT_EQ(screen.Shown()[0].title, kProgramTitle);
}

TEST_F(GeneralTest, FileExistsOnlyForFilesWithMatchingName) {
  home.Write("LetterA", "x");
  std::filesystem::create_directory(home.path() / "sub");
  EXPECT_TRUE(FileExists(home.str() + "/LetterA"));
  EXPECT_TRUE(FileExists(home.str() + "/lettera"));
  EXPECT_FALSE(FileExists(home.str() + "/sub"));
  EXPECT_FALSE(FileExists(home.str() + "/sub/"));
  EXPECT_FALSE(FileExists(home.str() + "/LetterA/"));
  EXPECT_FALSE(FileExists(home.str() + "\\sub\\"));
  EXPECT_FALSE(FileExists(home.str() + "/Letter*"));
  EXPECT_FALSE(FileExists(home.str() + "/Letter?"));
  EXPECT_FALSE(FileExists(home.str() + "/missing/LetterA"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_TRUE(screen.Shown().empty());
}

}  // namespace
