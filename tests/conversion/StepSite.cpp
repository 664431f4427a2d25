#include "StepSite.h"

#include <cstring>

#include "recio/Vb_io.h"

using namespace filomar;

namespace conversion_test {

RawRecords ReadRawRecords(short file) {
  RawRecords records;
  vb_io_open(file, "");
  char* buffer = Block(file).record;
  std::memset(buffer, 0, reclib::kRecordSize);  // below every key
  vb_io_start(file, 0, 0, 1025);
  for (vb_io_next(file, 0); vb_io_erc == 0; vb_io_next(file, 0)) {
    std::string record(buffer, reclib::kRecordSize);
    records.emplace(record.substr(0, 40), record);
  }
  EXPECT_EQ(vb_io_erc, kEndOfScan);
  vb_io_endstart(file);
  vb_io_close(file);
  return records;
}

void SelectDatabase(std::string directory, std::string prefix) {
  vb_io_setDirectory(ConnHandle, directory, prefix);
  ASSERT_EQ(vb_io_erc, 0) << directory;
}

void StepSite::SetUp() {
  SelectDatabase("finance", "fin");
  std::string why;
  ASSERT_TRUE(log.Open((site.dir() / "convert5.log").string(), why)) << why;
}

void StepSite::TearDown() { log.Close(); }

std::string StepSite::LogText() {
  log.Close();
  return testing_support::ReadFile(site.dir() / "convert5.log");
}

}  // namespace conversion_test
