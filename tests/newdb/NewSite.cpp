#include "NewSite.h"

#include <cstring>
#include <filesystem>

#include "common/FrontEnd.h"
#include "recio/Vb_io.h"
#include "shared/DbEngine.h"
#include "shared/Session.h"

using namespace filomar;

namespace newdb_test {

void NewSite::SetUp() {
  SetFrontEnd(screen);
  Session.Reset();
  std::filesystem::create_directory(home.path() / "data");
  // As on an empty site: STANDARD's store exists and holds no record yet.
  ASSERT_EQ(io_createStore((home.path() / "data").c_str(), "std"), 0);
  library = std::make_unique<testing_support::LibraryConnection>();
}

void NewSite::TearDown() {
  Close_AllFiles();
  library.reset();
  DbEngine = Engine::SqlServer;
  Session.Reset();
}

void NewSite::Create(char engine) {
  DbEngine = engine == 'O' ? Engine::Oracle : Engine::SqlServer;
  CreateStandardDatabase(progress, ProgramDirectory(), server);
}

std::string NewSite::Record(short file, const std::string& key) {
  SelectStandardDatabase();
  vb_io_open(file, "");
  ClearRecord(file);
  std::memcpy(Block(file).record, key.data(), key.size());
  vb_io_read(file, 0, 0);
  std::string record = vb_io_erc == 0 ? std::string(Block(file).record, reclib::kRecordSize) : "";
  vb_io_close(file);
  return record;
}

std::vector<std::string> NewSite::Records(short file) {
  SelectStandardDatabase();
  vb_io_open(file, "");
  std::memset(Block(file).record, 0, reclib::kRecordSize);
  std::vector<std::string> records;
  vb_io_start(file, 0, 0, 1025);
  for (vb_io_next(file, 0); vb_io_erc == 0; vb_io_next(file, 0))
    records.emplace_back(Block(file).record, reclib::kRecordSize);
  vb_io_endstart(file);
  vb_io_close(file);
  return records;
}

}  // namespace newdb_test
