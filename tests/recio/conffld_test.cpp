#include "recio/conffld.h"

#include <gtest/gtest.h>

#include "FakeReclib.h"
#include "common/FrontEnd.h"
#include "recio/Vb_io.h"
#include "ui/ScriptedUi.h"

using namespace filomar;
using fake_reclib::Fake;

namespace {

class Conffld : public ::testing::Test {
 protected:
  ui::ScriptedUi screen;
  void SetUp() override {
    SetFrontEnd(screen);
    Fake() = {};
    InitFileTable();
    InitFieldTable();
  }
  static std::string Raw(short file, int offset, int length) {
    return std::string(Block(file).record + offset, static_cast<std::size_t>(length));
  }
};

TEST_F(Conffld, DataDirectoryCaptionFollowsTheDatabaseType) {
  EXPECT_EQ(DB_DataDirectory.caption, "Data Directory");
  Fake().dbType = 4;
  InitFieldTable();
  EXPECT_EQ(DB_DataDirectory.caption, "Template Directory");
}

// The main configuration row as a new database gets it and as the conversion stamps it.
TEST_F(Conffld, MainConfigurationRowLandsWhereTheProductReadsIt) {
  ClearRecord(CONF_FILE);
  PutField(CONF_RowKey, std::string("C00"));
  PutField(CONF_VersionText, std::string("500A"));
  PutField(CONF_VersionNumber, 500);
  PutField(CONF_C00_Number1201, 0);
  PutField(CONF_C00_Number868, 3);
  PutFieldArray(CONF_C00_Flags30, std::vector<Variant>(4, std::string("N")));
  EXPECT_EQ(Raw(CONF_FILE, 0, 3), "C00");
  EXPECT_EQ(Raw(CONF_FILE, 30, 5), "NNNN ");
  EXPECT_EQ(Raw(CONF_FILE, 438, 4), "500A");
  EXPECT_EQ(Raw(CONF_FILE, 843, 4), "0500");
  EXPECT_EQ(Raw(CONF_FILE, 868, 1), "3");
  EXPECT_EQ(Raw(CONF_FILE, 1201, 2), "00");
  EXPECT_TRUE(screen.Shown().empty());
}

TEST_F(Conffld, LetterListsOfTheTwoLayouts) {
  ClearRecord(CONF_FILE);
  std::vector<Variant> names(10, std::string());
  names[1] = std::string("Reminder");
  PutFieldArray(CONF_C03_ActionSheetNames40, names);
  EXPECT_EQ(Raw(CONF_FILE, 493 + 49, 8), "Reminder");
  names.resize(25, std::string());
  PutFieldArray(CONF_C13_LetterNames, names);
  EXPECT_EQ(Raw(CONF_FILE, 3 + 50, 8), "Reminder");
  EXPECT_EQ(CONF_C13_LetterNames.offset + CONF_C13_LetterNames.length * CONF_C13_LetterNames.count, 1253);
}

TEST_F(Conffld, SignOnFieldsOfTheUserFiles) {
  ClearRecord(UDB_FILE);
  PutField(UDB_UserId, std::string("FILOMAR"));
  PutField(UDB_DatabaseName, std::string("STANDARD"));
  PutField(UDB_Level, std::string("9"));
  EXPECT_EQ(Raw(UDB_FILE, 0, 60), std::string("FILOMAR") + std::string(23, ' ') + "STANDARD  " +
                                      std::string(10, ' ') + "9" + std::string(9, ' '));
  EXPECT_EQ(UID_Password.offset, 60);
  EXPECT_EQ(UID_Password.file, U_FILE);
}

}  // namespace
