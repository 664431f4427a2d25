// A demo site with the record library connected, for running the record conversion steps on
// one of its databases and reading, byte for byte, what they leave.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "conversion/ConversionLog.h"
#include "conversion/StepContext.h"
#include "conversion/frmProgress.h"
#include "recio/FieldInfo.h"
#include "support/DemoSite.h"
#include "support/RecordingProvider.h"
#include "support/Records.h"
#include "support/ScriptedUi.h"

namespace conversion_test {

// Record buffers by key, in key order.
using RecordMap = std::map<std::string, std::string>;

class RecordStepSite : public ::testing::Test {
 protected:
  testing_support::DemoSite site{{.records = 3}};
  testing_support::SiteEnvironment environment{site};
  ui::ScriptedUi screen;
  testing_support::LibraryConnection library;
  filomar::ConversionLog log;
  ado::RecordingProviderFactory server;
  filomar::frmProgress progress;
  filomar::StepContext ctx{log, "FINANCE", "fin", server, progress};

  // Sets the front end and switches the trace on (channel 8).
  void SetUp() override;
  void TearDown() override;

  // Selects a database as convertdb does: its catalogued directory and prefix.
  void Select(const std::string& directory, const std::string& prefix);
  // Every record of `file` of the selected database, keyed by its first `keyLength` bytes.
  RecordMap Records(short file, std::size_t keyLength);
  // The trace written so far, and the number of its lines that contain `text`.
  std::string Trace() const;
  int TraceLines(const std::string& text) const;
};

// `text` blank padded (or cut) to `width`.
std::string Padded(const std::string& text, std::size_t width);
// `record` with the bytes at `offset` replaced by `bytes`.
std::string Replaced(std::string record, std::size_t offset, const std::string& bytes);
// The files of `dir` whose names start with "Letter" or "ActSht", with their contents.
std::map<std::string, std::string> LetterFiles(const std::filesystem::path& dir);

}  // namespace conversion_test
