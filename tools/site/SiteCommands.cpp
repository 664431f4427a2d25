#include "site/SiteCommands.h"

#include <charconv>
#include <istream>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <stdexcept>
#include <system_error>

#include "common/Version.h"
#include "platform/reclib/io.h"
#include "site/DatabaseRecords.h"
#include "site/ProgramFiles.h"
#include "site/RecordDump.h"
#include "site/RecordSession.h"
#include "site/ServerTables.h"
#include "site/SharedRecords.h"
#include "site/SitePlan.h"
#include "site/StagedDirectory.h"

namespace site {
namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "Usage: filomar-site demo DIR [--records N] [--engine S|O] [--ini DATAROOT] [--databases K] [--force]\n"
    "Usage: filomar-site empty DIR [--engine S|O] [--force]\n"
    "Usage: filomar-site install-record DIR --engine S|O --password-stdin\n"
    "Usage: filomar-site dump SITE DATADIR PREFIX CODE [--hex]\n"
    "Usage: filomar-site --help | --version\n";

constexpr const char* kHelp =
    "\n"
    "filomar-site: makes sites to run filomar-convert on, and reads their record files.\n"
    "\n"
    "  demo DIR      a demo site: STANDARD, FINANCE and PERSONNEL at 4.0, LEGAL at 5.0, ARCHIVE\n"
    "                catalogued without its data directory; server on the embedded engine\n"
    "                (SQLite through the SQLite ODBC driver, data source filomar4 in DIR/odbc.ini)\n"
    "      --records N     SACT, VERS and COMP records per 4.0 database (default 50)\n"
    "      --engine S|O    the installation record's engine letter (default S)\n"
    "      --ini DATAROOT  writes FLMWIN.INI with that StandardDataDir, databases under it\n"
    "      --databases K   databases at 4.0, STANDARD included (default 3)\n"
    "      --force         replaces an earlier site in DIR\n"
    "  empty DIR [--engine S|O] [--force]\n"
    "                a site whose server holds no product database\n"
    "  install-record DIR --engine S|O --password-stdin\n"
    "                rewrites the installation records (the server password on standard input)\n"
    "  dump SITE DATADIR PREFIX CODE [--hex]\n"
    "                prints the records of one record file (CONF, CODE, SACT, DB, ...) in key\n"
    "                order: each record's key, then its text stretches with their offsets; with\n"
    "                --hex one line of hex digits per record\n"
    "  --help, -h    prints this text\n"
    "  --version     prints the version\n"
    "\n"
    "The administrator of a demo site is FILOMAR with the password FILOMAR. Exit status: 0 done,\n"
    "1 failed (the message on standard error), 2 arguments it cannot take.\n";

constexpr std::size_t kMaxRecords = 100'000'000;

Status Check(std::initializer_list<Status> steps) {
  for (const Status& step : steps) {
    if (!step.ok()) return step;
  }
  return Status::Ok();
}

Status MakeDirectory(const fs::path& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) return Status::Error("cannot create " + dir.string() + ": " + ec.message());
  return Status::Ok();
}

// Where the data root of a demo site lies while it is built, and what else must be staged
// for it: nothing when it lies inside the site, its own StagedDirectory otherwise.
Status StageDataRoot(const DemoOptions& options, const StagedDirectory& program, std::unique_ptr<StagedDirectory>& own,
                     fs::path& staging) {
  staging = program.staging();
  if (!options.dataRoot) return Status::Ok();
  const fs::path root = (program.target() / *options.dataRoot).lexically_normal();
  const fs::path inside = root.lexically_relative(program.target());
  if (!inside.empty() && *inside.begin() != "..") {
    staging = program.staging() / inside;
    return Status::Ok();
  }
  if (!program.target().lexically_relative(root).empty() && *program.target().lexically_relative(root).begin() != "..") {
    return Status::Error("the data root " + root.string() + " must not contain the site directory");
  }
  if (Status status = StagedDirectory::Prepare(root, options.force, own); !status.ok()) return status;
  staging = own->staging();
  return Status::Ok();
}

// Writes the record stores and letter files of every database through the record layer,
// except that minimal databases after the first get a copy of the first one's store: their
// content is the same, and copying keeps a site with a thousand databases quick to make.
Status WriteRecordStores(const SitePlan& plan, const fs::path& programStaging, const fs::path& rootStaging) {
  std::vector<const DatabaseSpec*> copies;
  const DatabaseSpec* original = nullptr;
  {
    std::unique_ptr<RecordSession> session;
    if (Status status = RecordSession::Open(programStaging, session); !status.ok()) return status;
    for (const DatabaseSpec& db : plan.databases) {
      if (db.kind == DatabaseKind::kMissing) continue;
      if (db.kind == DatabaseKind::kMinimal40 && original != nullptr) {
        copies.push_back(&db);
        continue;
      }
      if (db.kind == DatabaseKind::kMinimal40) original = &db;
      const fs::path dir = rootStaging / db.directory;
      Status status = Check({MakeDirectory(dir), CreateStore(dir, db.prefix), session->Select(dir.string(), db.prefix)});
      if (status.ok()) status = WriteDatabaseRecords(db, plan.records);
      if (status.ok()) status = WriteLetterFiles(dir, db);
      if (!status.ok()) return status;
    }
    const fs::path standard = rootStaging / StandardDatabase(plan).directory;
    if (Status status = session->Select(standard.string(), StandardDatabase(plan).prefix); !status.ok()) return status;
    if (Status status = WriteSharedRecords(plan); !status.ok()) return status;
  }  // the session's end commits and closes every store, so the original can be copied
  for (const DatabaseSpec* db : copies) {
    const fs::path dir = rootStaging / db->directory;
    if (Status status = MakeDirectory(dir); !status.ok()) return status;
    std::error_code ec;
    fs::copy_file(rootStaging / original->directory / (original->prefix + ".records"), dir / (db->prefix + ".records"), ec);
    if (ec) return Status::Error("cannot copy the store of " + original->name + " to " + dir.string() + ": " + ec.message());
    if (Status status = WriteLetterFiles(dir, *db); !status.ok()) return status;
  }
  return Status::Ok();
}

// The files every site has: shipped scripts, odbc.ini, the data folder and the installation
// records in the program directory and its data folder.
Status WriteProgramFiles(const StagedDirectory& program, char engine) {
  const fs::path dir = program.staging();
  Status status = Check({MakeDirectory(dir / "data"), CopyShippedScripts(dir)});
  if (status.ok()) status = WriteOdbcIni(dir, program.target());
  if (status.ok()) status = WriteInstallRecords({dir, dir / "data"}, engine, kDemoServerPassword);
  return status;
}

// The installation's empty record store of the STANDARD database, which start-up opens before
// it learns that the server holds no product database.
Status CreateStandardStore(const fs::path& dataDir) {
  const short status = io_createStore(dataDir.c_str(), "std");
  if (status != 0) return Status::Error("cannot create the record store in " + dataDir.string() + " (status " + std::to_string(status) + ")");
  return Status::Ok();
}

// ---- command line

struct Arguments {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;  // flags map to ""
};

bool Parse(const std::vector<std::string>& args, const std::set<std::string>& withValue,
           const std::set<std::string>& flags, Arguments& parsed, std::string& error) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.rfind("--", 0) != 0) {
      parsed.positional.push_back(arg);
    } else if (flags.count(arg)) {
      parsed.options[arg] = "";
    } else if (withValue.count(arg)) {
      if (i + 1 == args.size()) return error = arg + " needs a value", false;
      parsed.options[arg] = args[++i];
    } else {
      return error = "unknown option " + arg, false;
    }
  }
  return true;
}

template <typename Number>
bool ParseNumber(const std::string& text, Number low, Number high, Number& value) {
  Number parsed{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (ec != std::errc() || end != text.data() + text.size() || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

bool ParseEngine(const std::string& text, char& engine) {
  if (text != "S" && text != "O" && text != "s" && text != "o") return false;
  engine = static_cast<char>(text[0] & ~0x20);
  return true;
}

class UsageError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

Arguments ParseOrThrow(const std::vector<std::string>& args, std::size_t positionals, const std::set<std::string>& withValue,
                       const std::set<std::string>& flags) {
  Arguments parsed;
  std::string error;
  if (!Parse(args, withValue, flags, parsed, error)) throw UsageError(error);
  if (parsed.positional.size() != positionals) throw UsageError(args[0] + " takes " + std::to_string(positionals) + " arguments");
  return parsed;
}

char EngineOption(const Arguments& parsed, bool required) {
  char engine = 'S';
  const auto it = parsed.options.find("--engine");
  if (it == parsed.options.end()) {
    if (required) throw UsageError("--engine S|O is required");
    return engine;
  }
  if (!ParseEngine(it->second, engine)) throw UsageError("--engine takes S or O");
  return engine;
}

Status RunDemo(const std::vector<std::string>& args, std::ostream& out) {
  const Arguments parsed = ParseOrThrow(args, 1, {"--records", "--engine", "--ini", "--databases"}, {"--force"});
  DemoOptions options;
  options.dir = parsed.positional[0];
  options.engine = EngineOption(parsed, false);
  options.force = parsed.options.count("--force") > 0;
  if (auto it = parsed.options.find("--records"); it != parsed.options.end()) {
    if (!ParseNumber<std::size_t>(it->second, 0, kMaxRecords, options.records)) {
      throw UsageError("--records takes 0 to " + std::to_string(kMaxRecords));
    }
  }
  if (auto it = parsed.options.find("--databases"); it != parsed.options.end()) {
    if (!ParseNumber(it->second, 1, kMaxDatabases, options.databases)) {
      throw UsageError("--databases takes 1 to " + std::to_string(kMaxDatabases));
    }
  }
  if (auto it = parsed.options.find("--ini"); it != parsed.options.end()) {
    if (it->second.empty()) throw UsageError("--ini takes a directory");
    options.dataRoot = it->second;
  }
  Status status = BuildDemoSite(options);
  if (status.ok()) {
    out << "demo site " << fs::absolute(options.dir).lexically_normal().string() << ": " << options.databases
        << " database(s) at 400A, administrator " << kAdminUser << " / " << kAdminPassword << " (level 9)\n";
  }
  return status;
}

Status RunEmpty(const std::vector<std::string>& args, std::ostream& out) {
  const Arguments parsed = ParseOrThrow(args, 1, {"--engine"}, {"--force"});
  Status status = BuildEmptySite(parsed.positional[0], EngineOption(parsed, false), parsed.options.count("--force") > 0);
  if (status.ok()) {
    out << "empty site " << fs::absolute(parsed.positional[0]).lexically_normal().string()
        << ": no product database on the server; " << kSqlServerLockScript
        << " left out (the embedded engine has no stored procedures)\n";
  }
  return status;
}

Status RunInstallRecord(const std::vector<std::string>& args, std::istream& in) {
  const Arguments parsed = ParseOrThrow(args, 1, {"--engine"}, {"--password-stdin"});
  const char engine = EngineOption(parsed, true);
  if (!parsed.options.count("--password-stdin")) throw UsageError("--password-stdin is required");
  std::string password;
  if (!std::getline(in, password)) return Status::Error("no password on standard input");
  if (!password.empty() && password.back() == '\r') password.pop_back();
  return RewriteInstallRecords(parsed.positional[0], engine, password);
}

Status RunDump(const std::vector<std::string>& args, std::ostream& out) {
  const Arguments parsed = ParseOrThrow(args, 4, {}, {"--hex"});
  const auto& p = parsed.positional;
  return DumpRecords(p[0], p[1], p[2], p[3], parsed.options.count("--hex") ? DumpFormat::kHex : DumpFormat::kReadable, out);
}

}  // namespace

Status BuildDemoSite(const DemoOptions& options) {
  std::unique_ptr<StagedDirectory> program, root;
  fs::path rootStaging;
  if (Status status = StagedDirectory::Prepare(options.dir, options.force, program); !status.ok()) return status;
  if (Status status = StageDataRoot(options, *program, root, rootStaging); !status.ok()) return status;
  const SitePlan plan = MakeDemoPlan(options.databases, options.records);
  const fs::path dir = program->staging();

  Status status = Check({WriteProgramFiles(*program, options.engine), MakeDirectory(rootStaging)});
  if (status.ok() && options.dataRoot) {
    status = Check({WriteClientSettings(dir, *options.dataRoot),
                    WriteInstallRecords({rootStaging}, options.engine, kDemoServerPassword)});
  }
  if (status.ok()) status = WriteRecordStores(plan, dir, rootStaging);
  if (status.ok()) status = WriteServerTables(dir / kServerFileName, plan);
  if (status.ok() && root) status = root->Commit();
  if (status.ok()) status = program->Commit();
  return status;
}

Status BuildEmptySite(const fs::path& dir, char engine, bool force) {
  std::unique_ptr<StagedDirectory> program;
  if (Status status = StagedDirectory::Prepare(dir, force, program); !status.ok()) return status;
  Status status = WriteProgramFiles(*program, engine);
  if (status.ok()) status = CreateStandardStore(program->staging() / "data");
  if (status.ok()) status = CreateEmptyServer(program->staging() / kServerFileName);
  if (status.ok()) status = program->Commit();
  return status;
}

Status RewriteInstallRecords(const fs::path& dir, char engine, const std::string& password) {
  std::error_code ec;
  if (!fs::is_directory(dir / "data", ec)) return Status::Error("no site at " + dir.string() + " (it has no data folder)");
  std::vector<fs::path> dirs;
  for (const fs::path& candidate : InstallRecordDirectories(dir)) {
    if (fs::is_directory(candidate, ec)) dirs.push_back(candidate);
  }
  return WriteInstallRecords(dirs, engine, password);
}

int RunSiteTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
  try {
    if (args.empty()) throw UsageError("no command");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h") {
      out << kUsage << kHelp;
      return 0;
    }
    if (command == "--version") {
      out << "filomar-site " << filomar::kVersion << '\n';
      return 0;
    }
    Status status = Status::Ok();
    if (command == "demo") {
      status = RunDemo(args, out);
    } else if (command == "empty") {
      status = RunEmpty(args, out);
    } else if (command == "install-record") {
      status = RunInstallRecord(args, in);
    } else if (command == "dump") {
      status = RunDump(args, out);
    } else {
      throw UsageError("unknown command " + command);
    }
    if (status.ok()) return 0;
    err << "filomar-site: " << status.message() << '\n';
    return kExitFailure;
  } catch (const UsageError& error) {
    err << "filomar-site: " << error.what() << '\n' << kUsage;
    return kExitUsage;
  } catch (const std::exception& error) {
    err << "filomar-site: " << error.what() << '\n';
    return kExitFailure;
  }
}

}  // namespace site
