// Batch runs of one user started together on separate sites, sharing the user's default
// inter-process store: each run either converts its own site fully or is refused before its
// sign-on with the site unchanged. Never a run that says "completed" of a site it did not
// convert, or one that converts another run's site.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "e2e/SiteRun.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::DemoSite;
using testing_support::ReadFile;

constexpr const char* kRefused = "Another conversion of this user is running, on the site ";

struct Contender {
  std::unique_ptr<DemoSite> site;
  testing_support::FileSnapshot before;
};

const auto Quoted = testing_support::ShellWord;

// Starts one batch run per site at once and waits for all of them; their exit statuses in
// order, their output in "<site>/../run.out".
std::vector<int> RunTogether(const std::vector<Contender>& contenders) {
  std::string command;
  for (std::size_t i = 0; i < contenders.size(); ++i) {
    const fs::path dir = contenders[i].site->dir();
    command += "(echo FILOMAR | FILOMAR_HOME=" + Quoted(dir.string()) + " ODBCINI=" + Quoted((dir / "odbc.ini").string()) +
               " " FILOMAR_CONVERT_EXE " --batch --password-stdin --user FILOMAR --all > " +
               Quoted((dir.parent_path() / "run.out").string()) + " 2>&1; echo $? > " +
               Quoted((dir.parent_path() / "status").string()) + ") & ";
  }
  EXPECT_EQ(std::system((command + "wait").c_str()), 0);
  std::vector<int> statuses;
  for (const Contender& c : contenders) statuses.push_back(std::stoi(ReadFile(c.site->dir().parent_path() / "status")));
  return statuses;
}

// Converted: every database at 500A and no letter file left under a 4.0 name.
bool FullyConverted(const DemoSite& site, int databases) {
  for (int i = 0; i < databases; ++i) {
    const e2e::Database& db = e2e::kConvertedDatabases[static_cast<std::size_t>(i)];
    const auto conf = e2e::Records(site, db.dataDir, db.prefix, "CONF");
    if (!conf.count("C00") || conf.at("C00").substr(438, 4) != "500A") return false;
    for (const auto& [name, letter] : testing_support::LetterFiles(site.DataDir(db.dataDir)))
      if (!std::isdigit(static_cast<unsigned char>(name.back()))) return false;
  }
  return true;
}

class ConcurrentRuns : public ::testing::Test {
 protected:
  testing_support::TempDir runtime;
  // The default store of the user, in a runtime directory of this test's own.
  testing_support::ScopedEnv noStoreOfItsOwn{"FILOMAR_IPC_DIR", std::nullopt};
  testing_support::ScopedEnv runtimeDir{"XDG_RUNTIME_DIR", runtime.str()};

  // Runs `count` contenders together `times` times; a converted site is made anew.
  void Race(std::size_t count, int times, std::size_t records, int databases) {
    std::vector<Contender> contenders(count);
    for (int round = 0; round < times; ++round) {
      for (Contender& c : contenders) {
        if (c.site && testing_support::Changes(c.before, testing_support::Snapshot(c.site->dir())).empty()) continue;
        c.site = std::make_unique<DemoSite>(testing_support::DemoSiteOptions{.records = records, .databases = databases});
        c.before = testing_support::Snapshot(c.site->dir());
      }
      const std::vector<int> statuses = RunTogether(contenders);
      for (std::size_t i = 0; i < count; ++i) {
        SCOPED_TRACE("round " + std::to_string(round) + ", run " + std::to_string(i));
        const std::string out = ReadFile(contenders[i].site->dir().parent_path() / "run.out");
        if (statuses[i] == 0) {
          EXPECT_TRUE(FullyConverted(*contenders[i].site, databases)) << out;
          EXPECT_EQ(out.find(kRefused), std::string::npos) << out;
        } else {
          EXPECT_EQ(statuses[i], 1) << out;
          EXPECT_NE(out.find(kRefused), std::string::npos) << out;
          EXPECT_EQ(testing_support::Changes(contenders[i].before, testing_support::Snapshot(contenders[i].site->dir())), "");
        }
      }
    }
  }
};

TEST_F(ConcurrentRuns, SmallSitesTwoAndFourAtATime) {
  Race(2, 10, 5, 1);
  Race(4, 10, 5, 1);
}

TEST_F(ConcurrentRuns, LargeSitesTwoAtATime) { Race(2, 1, 20000, 1); }

}  // namespace
