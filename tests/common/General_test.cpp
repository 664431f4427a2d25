#include "common/General.h"

#include <gtest/gtest.h>

#include "common/Cp1252.h"
#include "common/FrontEnd.h"
#include "platform/ipc/ipc.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

using testing_support::ScopedEnv;
using testing_support::TempDir;
using namespace filomar;
using namespace std::chrono;

namespace {

class GeneralTest : public ::testing::Test {
 protected:
  TempDir home;
  ScopedEnv homeEnv{"FILOMAR_HOME", home.str()};
  ScopedEnv ipcEnv{"FILOMAR_IPC_DIR", home.str() + "/ipc"};
  ui::ScriptedUi screen;
  void SetUp() override { SetFrontEnd(screen); }
  std::string FullPath(const std::string& name) {
    std::string result;
    ConstructFullPath(name, result);
    return result;
  }
};

TEST(Cp1252, EverySingleByteCharacterRoundTripsTheRestBecomeQuestionMarks) {
  std::string all;
  for (int c = 1; c < 256; ++c)
    if (c < 0x80 || c > 0x9F || (c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D))
      all += static_cast<char>(c);
  EXPECT_EQ(ui::Utf8ToCp1252(ui::Cp1252ToUtf8(all)), all);
  EXPECT_EQ(ui::Cp1252ToUtf8("\x80\xe9"), "\xe2\x82\xac\xc3\xa9");
  // Unmappable and broken UTF-8 become question marks.
  EXPECT_EQ(ui::Utf8ToCp1252("\xe4\xb8\xad"), "?");    // a CJK character
  EXPECT_EQ(ui::Utf8ToCp1252("a\xc3"), "a?");          // cut in the middle of a character
  EXPECT_EQ(ui::Utf8ToCp1252("\xff" "b"), "?b");
}

TEST(SameTextAndIsBlank, TrailingBlanksAndCase) {
  EXPECT_TRUE(SameText("abc  ", "ABC"));
  EXPECT_FALSE(SameText(" abc", "abc"));
  EXPECT_TRUE(SameText("\xe9t\xe9", "\xc9T\xc9"));  // accented letters of the code page
  EXPECT_FALSE(SameText("400A\t", "400A"));
  EXPECT_TRUE(IsBlank("    "));
  EXPECT_FALSE(IsBlank(" \t "));
  EXPECT_FALSE(IsBlank(std::string("\0", 1)));
}

TEST(FormatDate, OrderFollowsThePatternSeparatorIsAlwaysASlash) {
  const Date july13{year(2006), month(7), day(13)};
  const std::pair<std::string, std::string> dates[] = {
      {"dd.MM.yyyy", "13/07/2006"}, {"M/d/yy", "07/13/2006"}, {"yyyy-MM-dd", "2006/07/13"}, {"", "13/07/2006"}};
  for (const auto& [pattern, text] : dates) EXPECT_EQ(FormatDateForPattern(july13, pattern), text) << pattern;
}

TEST_F(GeneralTest, FullPathUnderStandardDataDirTheClientDirectoryOrTheProgramDirectory) {
  EXPECT_EQ(FullPath("/x/letters"), "/x/letters");
  EXPECT_EQ(FullPath("data\\sub"), home.str() + "/data/sub/");
  home.Write("FLMWIN.INI", "[database]\nstandarddatadir=  /srv/data/  \n");
  EXPECT_EQ(FullPath("letters"), "/srv/data/letters");
  // Another run of the same user may publish its own site: the client directory stays this run's.
  ASSERT_EQ(ipc_write("FLMWIN_PATH", "/other/site", 11), 0);
  EXPECT_EQ(GetClientDir(), home.str() + "/");
  EXPECT_TRUE(screen.Shown().empty());
}

TEST_F(GeneralTest, FullPathGivesUpAfterBoundedRetries) {
  // A client directory whose name the file system refuses makes every look-up fail.
  const std::string bad = home.str() + "/" + std::string(300, 'a');
  ScopedEnv badHome{"FILOMAR_HOME", bad};
  EXPECT_EQ(FullPath("letters"), bad + "/letters/");
  ASSERT_EQ(screen.Shown().size(), static_cast<std::size_t>(kConstructFullPathRetries + 1));
  EXPECT_EQ(screen.Shown()[0].text, "ConstructFullPath_error = 52");
}

TEST_F(GeneralTest, FileExistsOnlyForFilesWithMatchingName) {
  home.Write("LetterA", "x");
  std::filesystem::create_directory(home.path() / "sub");
  EXPECT_TRUE(FileExists(home.str() + "/lettera"));
  for (const char* no : {"/sub", "/LetterA/", "\\sub\\", "/Letter*", "/Letter?", "/missing/LetterA"})
    EXPECT_FALSE(FileExists(home.str() + no)) << no;
  EXPECT_FALSE(FileExists(""));
}

}  // namespace
