// The console and batch faces of the main window (DBSelect) and its progress window: they
// drive the presenter from lines of input or from the command line's choice of databases, and
// show the progress window as lines: elapsed time, database, step caption, and the records done
// of the total at most once a second while a step counts them.
//
// Both return only through ProgramEnd, which the window's exit (cmdExit, or the end of input
// on the console) throws after terminate.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "conversion/DBSelect.h"
#include "frontends/console/ConsoleUi.h"

namespace ui {

// Runs the window on the console: the list with numbers and selection marks, the labels and
// the log path, then one command per line:
//   a number      clicks that entry (selects or deselects it; the window's rules apply)
//   log PATH      changes the log file
//   start         Start Conversion
//   preview       previews the selected databases (Preview.h): progress lines, then each
//                 database's tree as lines indented two blanks a level, and its verdict
//   cancel, exit  Cancel: ends the program
//   backups, check, restore, backup-dir   the backups (BackupsFace.h)
// The end of input closes the window. During a run or a preview, Ctrl-C requests Cancel (the
// database under way is finished first).
[[noreturn]] void RunDBSelectOnConsole(filomar::DBSelect& form, ConsoleUi& console);

// The databases the window left out of its list, one line each ("Not listed because it cannot
// be read: NAME: why").
void ShowUnlisted(const filomar::DBSelect& form, std::ostream& out);

struct BatchChoice {
  std::vector<std::string> databases;  // names to select, as listed (case aside)
  bool all = false;                    // select every listed database
  std::string logFile;                 // empty: the window's default
};

// Selects the chosen databases, starts the run once, then ends the program: status 0 when the
// run went through, kExitRunCancelled when it was cancelled between databases, kExitFailure
// when the log, a backup or the server failed it or a chosen database was not converted. A name
// that is not listed is reported and left out.
[[noreturn]] void RunDBSelectInBatch(filomar::DBSelect& form, std::ostream& out, const BatchChoice& choice);

}  // namespace ui
