#include "ConversionSite.h"

#include <filesystem>

#include "common/FrontEnd.h"
#include "common/Text.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "shared/DbEngine.h"
#include "shared/Session.h"
#include "support/Records.h"

using namespace filomar;

namespace conversion_test {

std::tm FixedTime() {
  std::tm time{};
  time.tm_year = 126, time.tm_mon = 11, time.tm_mday = 4, time.tm_hour = 16, time.tm_min = 5;
  return time;
}

void RecordingSteps::Called(const std::string& call) {
  calls.push_back(call);
  databases.push_back(CurrentDatabaseOfLibrary());
  if (during) during(call);
}

filomar::StepTable RecordingSteps::Table() {
  StepTable table = ProductStepTable();
  for (Step& step : table)
    for (StepRoutine& routine : step.routines)
      routine.run = [this, name = routine.name](StepContext& context) {
        progress = &context.progress;
        const bool runner = name.rfind("UpdateTables", 0) == 0;
        Called(runner ? name + "(" + context.dbName + "," + context.prefix + ")" : name);
        if (name == "UpdateCONF" && stampConverted) testing_support::SetVersionCode("500A");
      };
  return table;
}

std::string CurrentDatabaseOfLibrary() {
  std::string directory, prefix;
  vb_io_getDirectory(ConnHandle, directory, prefix);
  return directory + "/" + prefix;
}

void ConversionSite::SetUp() {
  SetFrontEnd(screen);
  DbEngine = Engine::SqlServer;
  std::filesystem::create_directory(home.path() / "data");
  ASSERT_EQ(io_createStore((home.path() / "data").c_str(), "std"), 0);
  InitFileTable();
  InitFieldTable();
  ASSERT_EQ(vb_io_connect(0, ConnHandle), 0);
  vb_io_setup(ConnHandle);
  SelectStandardDatabase();
}

void ConversionSite::TearDown() {
  DbEngine = Engine::SqlServer;
  if (ConnHandle == -1) return;
  vb_io_appTerminate();
  vb_io_disconnect(0, ConnHandle);
  ConnHandle = -1;
}

void ConversionSite::AddDatabase(const std::string& name, const std::string& version) {
  const bool standard = name == "STANDARD";
  const std::string directory = standard ? "data" : "db/" + name;
  const std::string prefix = standard ? "std" : UpperCp1252(name.substr(0, 3));
  std::filesystem::create_directories(home.path() / directory);
  if (!standard) io_createStore((home.path() / directory).c_str(), prefix.c_str());
  testing_support::CatalogueDatabase(name, directory, prefix, version);
}

void ConversionSite::ShowWindow() {
  window.PaintProgressWith(&painter);
  SelectStandardDatabase();
  vb_io_open(DB_FILE, "");
  window.Form_Load();
  vb_io_close(DB_FILE);
  window.Form_Activate();
}

int ConversionSite::IndexOf(const std::string& name) const {
  for (std::size_t i = 0; i < window.DBList.size(); ++i)
    if (window.DBList[i].text == name) return static_cast<int>(i);
  return -1;
}

std::string ConversionSite::ListState() const {
  std::string state;
  for (const auto& entry : window.DBList) state += (state.empty() ? "" : " ") + entry.text + (entry.selected ? "*" : "");
  return state;
}

std::string ConversionSite::LogText() const { return testing_support::ReadFile(home.path() / "convert5.log"); }

}  // namespace conversion_test
