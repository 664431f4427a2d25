// script_bench [--statements N]
//
// Cost of the SQL Server upgrade-script runner: a generated flm50.sql of N statements (default
// 10,000: two pragmas, one CREATE TABLE, INSERTs, every 50th an UPDATE, each its own batch ended by "go",
// with a Print remark every 1,000) run by UpdateTablesSQL5 through the SQLite ODBC driver,
// against the sqlite3 command executing the same statements on a fresh database. The pragmas
// keep either side from waiting for the disk on every statement.
// Each side runs three times on a fresh database; the best time counts.
// Prints both times and, last, ratio=<runner time / sqlite3 time>.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/FrontEnd.h"
#include "conversion/ConversionLog.h"
#include "conversion/StepContext.h"
#include "conversion/frmProgress.h"
#include "conversion/steps/SchemaUpgrade.h"
#include "platform/ado/OdbcProvider.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// A front end with nothing to show: the runner's repaints cost only the calls.
class NoScreen : public ui::Ui {
 public:
  int MsgBox(const std::string&, std::uint16_t, const std::string&) override { return ui::kOK; }
  void DoEvents() override {}
  void SetMousePointer(ui::MousePointer) override {}
  void Beep() override {}
  ui::ScreenSize Screen() const override { return {1024, 768}; }
};

std::vector<std::string> Statements(long count) {
  std::vector<std::string> statements = {"PRAGMA synchronous = OFF", "PRAGMA journal_mode = MEMORY",
                                         "CREATE TABLE bench_rows (id int PRIMARY KEY, name char(30), note varchar(100))"};
  for (long i = 1; static_cast<long>(statements.size()) < count; ++i) {
    if (i % 50 == 0) {
      statements.push_back("UPDATE bench_rows SET note = 'seen ''" + std::to_string(i) + "''' WHERE id = " +
                           std::to_string(i - 1));
    } else {
      statements.push_back("INSERT INTO bench_rows VALUES (" + std::to_string(i) + ", 'Record " + std::to_string(i) +
                           "', 'Caf\xe9 note of row " + std::to_string(i) + "')");
    }
  }
  return statements;
}

bool WriteFile(const fs::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) std::fprintf(stderr, "cannot write %s\n", file.c_str());
  return static_cast<bool>(out);
}

double RunnerSeconds(const fs::path& dir, const fs::path& database) {
  fs::remove(database);
  filomar::ConversionLog log;
  std::string error;
  if (!log.Open((dir / "convert5.log").string(), error)) {
    std::fprintf(stderr, "cannot open the log: %s\n", error.c_str());
    return -1;
  }
  filomar::frmProgress progress;
  ado::OdbcProviderFactory odbc;
  filomar::StepContext ctx{log, "STANDARD", "std", odbc, progress};
  const auto start = Clock::now();
  filomar::steps::UpdateTablesSQL5(ctx);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  log.Close();
  // Every statement must have run: a server error in the log makes the figure worthless.
  std::ifstream in(dir / "convert5.log", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (text.find("Error #") != std::string::npos) {
    std::fprintf(stderr, "the runner logged server errors:\n%.2000s\n", text.c_str());
    return -1;
  }
  return seconds;
}

double Sqlite3Seconds(const fs::path& input, const fs::path& database) {
  fs::remove(database);
  const std::string command = "sqlite3 -bail '" + database.string() + "' < '" + input.string() + "' > /dev/null";
  const auto start = Clock::now();
  const int status = std::system(command.c_str());
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (status != 0) {
    std::fprintf(stderr, "%s failed (%d)\n", command.c_str(), status);
    return -1;
  }
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  long count = 10000;
  if (argc == 3 && std::strcmp(argv[1], "--statements") == 0) count = std::atol(argv[2]);
  else if (argc != 1) {
    std::fprintf(stderr, "usage: script_bench [--statements N]\n");
    return 2;
  }
  std::error_code ec;
  const fs::path dir = fs::temp_directory_path() / ("script_bench." + std::to_string(getpid()));
  fs::create_directories(dir, ec);
  const fs::path database = dir / "server.sqlite";
  const std::vector<std::string> statements = Statements(count);

  std::string script, plain;
  for (std::size_t i = 0; i < statements.size(); ++i) {
    if (i % 1000 == 0) script += "Print 'Statement " + std::to_string(i) + "'\r\n";
    script += statements[i] + "\r\ngo\r\n";
    plain += statements[i] + ";\n";
  }
  const bool written = WriteFile(dir / "flm50.sql", script) && WriteFile(dir / "statements.sql", plain) &&
                       WriteFile(dir / "odbc.ini", "[filomar4]\nDriver=SQLite3\nDatabase=" + database.string() + "\n");
  setenv("FILOMAR_HOME", dir.c_str(), 1);
  setenv("ODBCINI", (dir / "odbc.ini").c_str(), 1);
  NoScreen screen;
  filomar::SetFrontEnd(screen);

  double runner = 1e9, sqlite3 = 1e9;
  for (int round = 0; written && round < 3; ++round) {
    const double r = RunnerSeconds(dir, database);
    const double s = Sqlite3Seconds(dir / "statements.sql", database);
    if (r < 0 || s < 0) {
      runner = -1;
      break;
    }
    runner = std::min(runner, r);
    sqlite3 = std::min(sqlite3, s);
  }
  fs::remove_all(dir, ec);
  if (!written || runner < 0) return 1;
  std::printf("statements=%zu\n", statements.size());
  std::printf("runner_seconds=%.3f\n", runner);
  std::printf("sqlite3_seconds=%.3f\n", sqlite3);
  std::printf("ratio=%.2f\n", runner / sqlite3);
  return 0;
}
