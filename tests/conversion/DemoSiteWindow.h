// The main window over a real demo site (three records per file, its embedded server) with
// the product's steps, loaded as start-up leaves it: the preview's tests, with and without Qt.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <locale>

#include "common/FrontEnd.h"
#include "conversion/DBSelect.h"
#include "recio/Vb_io.h"
#include "shared/DbEngine.h"
#include "shared/Session.h"
#include "support/DemoSite.h"
#include "support/Records.h"
#include "support/ScriptedUi.h"

namespace conversion_test {

class DemoSiteWindow : public ::testing::Test {
 protected:
  testing_support::DemoSite site{{.records = 3, .dataRoot = {}}};
  testing_support::SiteEnvironment environment{site};
  ui::ScriptedUi screen;
  testing_support::LibraryConnection library;
  filomar::DBSelect window{filomar::ProductStepTable(), ado::InstalledProviderFactory(), [] { return std::tm{}; },
                           std::locale::classic()};

  void SetUp() override {
    filomar::SetFrontEnd(screen);
    filomar::DbEngine = filomar::Engine::SqlServer;
    filomar::vb_io_open(filomar::DB_FILE, "");
    window.Form_Load();
    filomar::vb_io_close(filomar::DB_FILE);
  }
};

}  // namespace conversion_test
