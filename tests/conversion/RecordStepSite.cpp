#include "RecordStepSite.h"

#include <sstream>

#include "common/FrontEnd.h"
#include "common/Text.h"
#include "platform/reclib/trace.h"
#include "recio/Vb_io.h"

using namespace filomar;

namespace conversion_test {

void RecordStepSite::SetUp() {
  SetFrontEnd(screen);
  TRACE_Init();
  TRACE_Enable(8, 1);
  Select("finance", "fin");
}

void RecordStepSite::TearDown() { TRACE_Stop(); }

void RecordStepSite::Select(const std::string& directory, const std::string& prefix) {
  std::string dir = directory, pre = prefix;
  vb_io_setDirectory(ConnHandle, dir, pre);
  ASSERT_EQ(vb_io_erc, 0) << directory;
}

RecordMap RecordStepSite::Records(short file, std::size_t keyLength) {
  RecordMap records;
  vb_io_open(file, "");
  EXPECT_EQ(vb_io_erc, 0);
  ClearRecord(file);
  vb_io_start(file, 0, 0, 1025);
  for (vb_io_next(file, 0); vb_io_erc == 0; vb_io_next(file, 0)) {
    const std::string record(Block(file).record, sizeof Block(file).record);
    records[record.substr(0, keyLength)] = record;
  }
  EXPECT_EQ(vb_io_erc, kEndOfScan);
  vb_io_endstart(file);
  vb_io_close(file);
  return records;
}

std::string RecordStepSite::Trace() const { return testing_support::ReadFile(site.dir() / reclib::kTraceFileName); }

int RecordStepSite::TraceLines(const std::string& text) const {
  std::istringstream lines(Trace());
  int count = 0;
  for (std::string line; std::getline(lines, line);) count += line.find(text) != std::string::npos;
  return count;
}

std::string Padded(const std::string& text, std::size_t width) {
  std::string padded = text.substr(0, width);
  return padded + std::string(width - padded.size(), ' ');
}

std::string Replaced(std::string record, std::size_t offset, const std::string& bytes) {
  return record.replace(offset, bytes.size(), bytes);
}

std::map<std::string, std::string> LetterFiles(const std::filesystem::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    const std::string lower = UpperCp1252(name.substr(0, 6));
    if (lower == "LETTER" || lower == "ACTSHT") files[name] = testing_support::ReadFile(entry.path());
  }
  return files;
}

}  // namespace conversion_test
