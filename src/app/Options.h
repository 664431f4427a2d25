// The command line of filomar-convert: the product's own switches ("/T", "/X", "/D"), passed
// on as one text, and the front-end options.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace filomar::app {

// Windows: Qt windows, or the console when no display is available.
enum class FrontEndKind { Windows, Console, Batch };

struct Options {
  std::string commandLine;  // the product switches, joined by single blanks
  FrontEndKind frontEnd = FrontEndKind::Windows;  // --console, --batch
  std::deque<int> answers;  // --answer BUTTON, in order (batch only)
  std::string userId;       // --user ID (batch sign-on)
  bool passwordStdin = false;  // --password-stdin: the first line of standard input
  // The main window in batch: which databases to convert and where to log.
  std::vector<std::string> databases;  // --database NAME, repeatable
  bool allDatabases = false;           // --all
  std::string logFile;                 // --log FILE
  bool help = false;                   // --help, -h: print kUsage and kHelp and end
  bool version = false;                // --version: print the version and end
  // The backup of each database before its conversion.
  std::string backupDir;  // --backup-dir DIR; empty: <program directory>/backups
  bool noBackup = false;  // --no-backup
  // --restore NAME [--from DIR]: puts database NAME back from a backup instead of converting.
  std::string restore;
  std::string restoreFrom;
  // --dry-run: converts temporary copies of the chosen databases and says what would change.
  bool dryRun = false;
  // --report FILE: the run's report as JSON, written to FILE at the end of the program.
  std::string reportFile;
};

// One synopsis line per form of the command: the conversion, the restore and the dry run.
inline constexpr const char* kUsage =
    "Usage: filomar-convert [--console | --batch] [BATCH OPTIONS] [--backup-dir DIR | --no-backup] [--report FILE]\n"
    "                       [/T[channels]] [/X[digits]] [/D]\n"
    "Usage: filomar-convert [--console | --batch] [BATCH OPTIONS] --restore NAME [--from DIR] [--backup-dir DIR] [--report FILE]\n"
    "Usage: filomar-convert [--console | --batch] [BATCH OPTIONS] --dry-run (--database NAME... | --all) [--report FILE]\n"
    "Usage: filomar-convert --help | --version\n";

inline constexpr const char* kHelp =
    "\n"
    "filomar-convert: converts the Filomar databases of this site from release 4.0 to 5.0.\n"
    "\n"
    "Sign on as a level-9 user, choose the databases still at 4.0 and start the conversion; the\n"
    "log goes to convert5.log in the program directory ($FILOMAR_HOME, else the program's own\n"
    "directory) unless another file is chosen. On a server without a product database it offers\n"
    "to create a new STANDARD database instead. Nobody else may have Filomar open meanwhile.\n"
    "\n"
    "Front ends (windows when a display is available, else the console):\n"
    "  --console              a numbered list and commands on standard input\n"
    "  --batch                asks nothing; message boxes print with the button taken\n"
    "Batch options:\n"
    "  --answer OK|Cancel|Retry   the answer to the next message box (repeatable; else its default)\n"
    "  --user ID --password-stdin signs on as ID with the first line of standard input\n"
    "  --database NAME            selects that database (repeatable)\n"
    "  --all                      selects every listed database\n"
    "  --log FILE                 writes the conversion log to FILE\n"
    "Backups (console and batch):\n"
    "  --backup-dir DIR           backs each database up under DIR (default: backups in the\n"
    "                             program directory) before converting it\n"
    "  --no-backup                converts without a backup\n"
    "  --restore NAME [--from DIR]  puts database NAME back from its newest backup (or from DIR)\n"
    "Dry run (console and batch; needs --database NAME... or --all):\n"
    "  --dry-run                  converts temporary copies of the chosen databases and prints\n"
    "                             per record file the records read and those that would change,\n"
    "                             the first change's fields, the letter renames and the server\n"
    "                             statements; sends nothing and changes nothing on the site.\n"
    "                             Exit status 0 when every one would convert cleanly, else 1.\n"
    "Run report (console and batch):\n"
    "  --report FILE              at the end writes what the run did (conversion, dry run or\n"
    "                             restore: per database its status, backup and steps) to FILE\n"
    "                             as JSON, replacing it whole; a report that cannot be written\n"
    "                             is said and makes the exit status 1\n"
    "Product switches:\n"
    "  /T[channels]   writes the trace filomar-trace.log in the program directory; channel letters\n"
    "                 0-6, C, A, I select what is traced (all of them when none is given)\n"
    "  /X[digits]     accepted, no effect\n"
    "  /D             accepted as the last switch, no effect\n"
    "  --help, -h     prints this text\n"
    "  --version      prints the version\n"
    "\n"
    "Exit status: 0 the program ran to its end (also when nothing was left to convert), 1 it ended\n"
    "on a failure it showed (another user has Filomar open, a refused sign-on, the log or the\n"
    "server could not be reached), 2 the sign-on or the new database was cancelled.\n"
    "Environment: FILOMAR_HOME, ODBCINI (the data source filomar4), FILOMAR_IPC_DIR.\n";

// nullopt with `error` set for an unknown option, a missing value, or --dry-run without
// --database/--all or with --restore.
std::optional<Options> ParseOptions(int argc, char** argv, std::string& error);

}  // namespace filomar::app
