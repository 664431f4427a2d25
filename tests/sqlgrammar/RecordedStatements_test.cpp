// Records every statement the program sends to the server on a demo site of each engine, in
// this process with the recording server: start-up's detection of a database, the conversion of
// every database at 4.0 with the product's steps, and the creation of a new STANDARD database on
// an empty site. Writes them to <output directory>/recorded-<engine>.json for the grammar check
// (check-grammar.js), each with its dialect and the step that sent it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/FrontEnd.h"
#include "common/Text.h"
#include "conversion/StepTable.h"
#include "newdb/modCrStd.h"
#include "recio/Vb_io.h"
#include "shared/Catalogue.h"
#include "shared/DbEngine.h"
#include "shared/Session.h"
#include "support/DemoSite.h"
#include "support/RecordingProvider.h"
#include "support/Records.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace {

using namespace filomar;
namespace fs = std::filesystem;

struct Sent {
  std::string origin, text;
};

// Collects what the recording server got since the last call, labelled with `origin`.
class Recorder {
 public:
  void Take(const std::string& origin) {
    const auto statements = server.Statements();
    for (std::size_t i = taken_; i < statements.size(); ++i) sent.push_back({origin, statements[i]});
    taken_ = statements.size();
  }
  ado::RecordingProviderFactory server;
  std::vector<Sent> sent;

 private:
  std::size_t taken_ = 0;
};

class NoProgress : public CreationProgress {
 public:
  void Show(const std::string&, const std::string&) override {}
  void Status(const std::string&) override {}
  void Close() override {}
};

std::string Json(const std::string& text) {
  std::string out = "\"";
  for (const unsigned char c : text) {
    if (c == '"' || c == '\\') out += '\\', out += static_cast<char>(c);
    else if (c == '\n') out += "\\n";
    else if (c < 0x20 || c >= 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);  // single-byte text: each byte its own code point
      out += escaped;
    } else out += static_cast<char>(c);
  }
  return out + "\"";
}

void Write(const fs::path& file, const std::string& dialect, const std::vector<Sent>& sent) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << "[\n";
  for (std::size_t i = 0; i < sent.size(); ++i)
    out << "{\"dialect\": " << Json(dialect) << ", \"origin\": " << Json(sent[i].origin)
        << ", \"text\": " << Json(sent[i].text) << "}" << (i + 1 < sent.size() ? ",\n" : "\n");
  out << "]\n";
  out.close();
  ASSERT_TRUE(out.good()) << file;
}

// The conversion of every database of a demo site that is at 4.0, step by step.
void ConvertDemoSite(char engine, Recorder& recorder) {
  const testing_support::DemoSite site({.records = 5, .engine = engine, .dataRoot = std::nullopt});
  const testing_support::SiteEnvironment environment(site);
  testing_support::LibraryConnection library;
  Session.system_path = site.dir().string() + "/";
  Session.SignedOnUserId = "FILOMAR";
  recorder.server.SetRows("select RAWTOHEX(db_name) from std_db", {{"db_name"}, {{std::string("5354414E44415244")}}});
  ASSERT_TRUE(StandardDatabaseExists(recorder.server));
  recorder.Take("start-up: detection of a database");
  ConversionLog log;  // never opened: only the statements matter here
  frmProgress progress;
  for (const std::string name : {"STANDARD", "FINANCE", "PERSONNEL"}) {
    const auto entry = FindCatalogueEntry(name);
    ASSERT_TRUE(entry) << name;
    ASSERT_TRUE(SelectDatabase(*entry, nullptr)) << name;
    StepContext context{log, name, RTrim(entry->prefix), recorder.server, progress};
    for (const Step& step : ProductStepTable()) {
      if (!Applies(step, DbEngine, name)) continue;
      for (const StepRoutine& routine : step.routines) {
        routine.run(context);
        recorder.Take("conversion of " + name + ", " + routine.name);
      }
    }
  }
  SelectStandardDatabase();
}

// The creation of a new STANDARD database with the shipped templates.
void CreateOnEmptySite(ui::ScriptedUi& screen, Recorder& recorder) {
  testing_support::TempDir home;
  for (const auto& script : fs::directory_iterator(FILOMAR_DIST_DIR))
    if (script.is_regular_file()) fs::copy_file(script.path(), home.path() / script.path().filename());
  fs::create_directory(home.path() / "data");
  ASSERT_EQ(io_createStore((home.path() / "data").c_str(), "std"), 0);
  const testing_support::ScopedEnv homeEnv("FILOMAR_HOME", home.str());
  const testing_support::ScopedEnv ipcEnv("FILOMAR_IPC_DIR", (home.path() / "ipc").string());
  auto library = std::make_unique<testing_support::LibraryConnection>();
  screen.Answer(ui::kOK);  // to the offer of a new database
  NoProgress progress;
  CreateStandardDatabase(progress, home.str() + "/", recorder.server);
  recorder.Take("creation of a new database");
  Close_AllFiles();
}

class RecordedStatements : public ::testing::TestWithParam<char> {
 protected:
  void SetUp() override { SetFrontEnd(screen); }
  void TearDown() override {
    DbEngine = Engine::SqlServer;
    Session.Reset();
  }
  ui::ScriptedUi screen;
};

TEST_P(RecordedStatements, OfEveryRunAreWrittenForTheGrammarCheck) {
  const char engine = GetParam();
  DbEngine = engine == 'O' ? Engine::Oracle : Engine::SqlServer;
  Recorder recorder;
  ConvertDemoSite(engine, recorder);
  DbEngine = engine == 'O' ? Engine::Oracle : Engine::SqlServer;
  CreateOnEmptySite(screen, recorder);
  ASSERT_FALSE(recorder.sent.empty());
  Write(fs::path(FILOMAR_RECORDED_DIR) / (std::string("recorded-") + engine + ".json"), engine == 'O' ? "plsql" : "tsql",
        recorder.sent);
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordedStatements, ::testing::Values('S', 'O'));

}  // namespace
