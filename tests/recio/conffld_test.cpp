#include "recio/conffld.h"

#include <gtest/gtest.h>

#include "FakeReclib.h"
#include "common/FrontEnd.h"
#include "recio/Vb_io.h"
#include "support/ScriptedUi.h"

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

// Row "C00" as a new database gets it and the conversion stamps it; a "C13" letter slot.
TEST_F(Conffld, ConfigurationFieldsLandWhereTheProductReadsThem) {
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
  PutFieldArray(CONF_C13_LetterNames, {std::string(), std::string("Reminder")});
  EXPECT_EQ(Raw(CONF_FILE, 53, 8), "Reminder");
  EXPECT_TRUE(screen.Shown().empty());
}

}  // namespace
