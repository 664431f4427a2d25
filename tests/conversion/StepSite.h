// A demo site for the record conversion steps: the site tool's records, the record library
// connected in this process with one of the site's databases selected, a log, a progress
// window and a recording server, and the raw bytes of a record file read back.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "conversion/StepContext.h"
#include "support/DemoSite.h"
#include "support/RecordingProvider.h"
#include "support/Records.h"

namespace conversion_test {

// Key -> the record's 1536 bytes, in key order.
using RawRecords = std::map<std::string, std::string>;

// Every record of `file` in the selected database, as stored.
RawRecords ReadRawRecords(short file);

// Selects a database for the record library by its data directory and prefix.
void SelectDatabase(std::string directory, std::string prefix);

class StepSite : public ::testing::Test {
 protected:
  static constexpr std::size_t kRecords = 6;

  // FINANCE ("finance", fin) selected, as convertdb leaves it for its steps.
  void SetUp() override;
  void TearDown() override;
  std::string LogText();

  static testing_support::DemoSiteOptions SiteOptions() {
    testing_support::DemoSiteOptions options;
    options.records = kRecords;
    return options;
  }

  testing_support::DemoSite site{SiteOptions()};
  testing_support::SiteEnvironment environment{site};
  testing_support::LibraryConnection library;
  filomar::ConversionLog log;
  ado::RecordingProviderFactory server;
  filomar::frmProgress progress;
  filomar::StepContext context{log, "FINANCE", "fin", server, progress};
};

}  // namespace conversion_test
