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
  // The backup of each database before its conversion.
  std::string backupDir;  // --backup-dir DIR; empty: <program directory>/backups
  bool noBackup = false;  // --no-backup
  // --restore NAME [--from DIR]: puts database NAME back from a backup instead of converting.
  std::string restore;
  std::string restoreFrom;
};

inline constexpr const char* kUsage =
    "usage: filomar-convert [/T[channels]] [/X[digits]] [--console | --batch [--answer OK|Cancel|Retry]...\n"
    "                        [--user ID --password-stdin] [--database NAME]... [--all] [--log FILE]]\n"
    "                        [--backup-dir DIR | --no-backup] [/D]\n"
    "       filomar-convert [--console | --batch ...] --restore NAME [--from DIR] [--backup-dir DIR]\n";

// nullopt with `error` set for an unknown option or a missing value.
std::optional<Options> ParseOptions(int argc, char** argv, std::string& error);

}  // namespace filomar::app
