// A demo site for the record conversion steps: the record library connected in this process
// with FINANCE selected (as convertdb leaves it), a log, a progress window, a recording server,
// the library's trace on, and the records of a file read back byte for byte.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "common/FrontEnd.h"
#include "conversion/StepContext.h"
#include "platform/reclib/trace.h"
#include "recio/Vb_io.h"
#include "support/DemoSite.h"
#include "support/RecordingProvider.h"
#include "support/Records.h"
#include "support/ScriptedUi.h"

namespace conversion_test {

using RecordMap = std::map<std::string, std::string>;  // whole records by key, in key order

inline std::string Padded(const std::string& text, std::size_t width) {
  return text.substr(0, width) + std::string(width - std::min(width, text.size()), ' ');
}

class StepSite : public ::testing::Test {
 protected:
  static constexpr std::size_t kRecords = 6;
  testing_support::DemoSite site{{.records = kRecords, .dataRoot = {}}};
  testing_support::SiteEnvironment environment{site};
  ui::ScriptedUi screen;
  testing_support::LibraryConnection library;
  filomar::ConversionLog log;
  ado::RecordingProviderFactory server;
  filomar::frmProgress progress;
  filomar::StepContext ctx{log, "FINANCE", "fin", server, progress};

  void SetUp() override {
    filomar::SetFrontEnd(screen);
    TRACE_Init();
    TRACE_Enable(8, 1);
    Select("finance", "fin");
    std::string why;
    ASSERT_TRUE(log.Open((site.dir() / "convert5.log").string(), why)) << why;
  }
  void TearDown() override {
    log.Close();
    TRACE_Stop();
  }

  static void Select(std::string directory, std::string prefix) {
    filomar::vb_io_setDirectory(filomar::ConnHandle, directory, prefix);
    ASSERT_EQ(filomar::vb_io_erc, 0) << directory;
  }
  // Every record of `file` in the selected database, keyed by its first `keyLength` bytes.
  static RecordMap Records(short file, std::size_t keyLength = 40) {
    using namespace filomar;
    RecordMap records;
    vb_io_open(file, "");
    ClearRecord(file);
    vb_io_start(file, 0, 0, 1025);
    for (vb_io_next(file, 0); vb_io_erc == 0; vb_io_next(file, 0))
      records[std::string(Block(file).record, keyLength)] = std::string(Block(file).record, sizeof Block(file).record);
    EXPECT_EQ(vb_io_erc, kEndOfScan);
    vb_io_endstart(file);
    vb_io_close(file);
    return records;
  }
  int TraceLines(const std::string& text) const {
    std::istringstream lines(testing_support::ReadFile(site.dir() / reclib::kTraceFileName));
    int count = 0;
    for (std::string line; std::getline(lines, line);) count += line.find(text) != std::string::npos;
    return count;
  }
  std::string LogText() {
    log.Close();
    return testing_support::ReadFile(site.dir() / "convert5.log");
  }
};

}  // namespace conversion_test
