#include "app/Options.h"

#include "common/MsgBoxCode.h"

namespace filomar::app {

std::optional<Options> ParseOptions(int argc, char** argv, std::string& error) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--console") {
      options.frontEnd = FrontEndKind::Console;
    } else if (arg == "--batch") {
      options.frontEnd = FrontEndKind::Batch;
    } else if (arg == "--answer") {
      const int button = i + 1 < argc ? ui::ButtonFromName(argv[++i]) : 0;
      if (button == 0) {
        error = "--answer needs OK, Cancel or Retry";
        return std::nullopt;
      }
      options.answers.push_back(button);
    } else if (arg == "--user") {
      if (i + 1 >= argc) {
        error = "--user needs a user id";
        return std::nullopt;
      }
      options.userId = argv[++i];
    } else if (arg == "--database" || arg == "--log" || arg == "--report") {
      if (i + 1 >= argc) {
        error = arg + (arg == "--database" ? " needs a database name" : " needs a file name");
        return std::nullopt;
      }
      if (arg == "--log") options.logFile = argv[++i];
      else if (arg == "--report") options.reportFile = argv[++i];
      else options.databases.push_back(argv[++i]);
    } else if (arg == "--backup-dir" || arg == "--from") {
      if (i + 1 >= argc) {
        error = arg + " needs a folder";
        return std::nullopt;
      }
      (arg == "--from" ? options.restoreFrom : options.backupDir) = argv[++i];
    } else if (arg == "--restore") {
      if (i + 1 >= argc) {
        error = "--restore needs a database name";
        return std::nullopt;
      }
      options.restore = argv[++i];
    } else if (arg == "--dry-run") {
      options.dryRun = true;
    } else if (arg == "--no-backup") {
      options.noBackup = true;
    } else if (arg == "--all") {
      options.allDatabases = true;
    } else if (arg == "--password-stdin") {
      options.passwordStdin = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg.rfind("--", 0) == 0) {
      error = "unknown option " + arg;
      return std::nullopt;
    } else {
      options.commandLine += (options.commandLine.empty() ? "" : " ") + arg;
    }
  }
  if (options.dryRun && !options.restore.empty()) {
    error = "--dry-run cannot be combined with --restore";
    return std::nullopt;
  }
  if (options.dryRun && options.databases.empty() && !options.allDatabases) {
    error = "--dry-run needs --database NAME or --all";
    return std::nullopt;
  }
  return options;
}

}  // namespace filomar::app
