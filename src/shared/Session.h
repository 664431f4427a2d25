// The session of one program run with the record library: which record-file groups are open,
// whether MATR is held exclusively, the sign-on result, and the routines that select the
// STANDARD database, open and close the record-file groups and end the session. Start-up and
// the sign-on window open the groups; the main window, the new-database creation and the
// front ends end the session through terminate.
#pragma once

#include <array>
#include <string>

#include "shared/ProgramEnd.h"

namespace filomar {

// The command line's trace switches ("/T" channel letters) and the accepted "/X" digits.
struct TraceSwitches {
  bool on = false;
  std::array<bool, 7> channel{};  // "0" to "6"
  bool C = false;                 // channel 7
  bool A = false;                 // channel 8
  bool I = false;                 // the record library's own trace
  bool L = false;                 // accepted, no effect
  std::array<bool, 5> x{};        // "/X" digits 0 to 4, no effect
};

struct SessionState {
  std::string system_path;      // the program directory ending in "/"; set by init0
  TraceSwitches traceSwitches;  // set by GetCmdLineArgs
  bool MatrExclusive = false;   // init0 holds MATR exclusively until terminate
  bool UidFilesOpen = false;    // UID, DB and UDB: open_uid / close_uid
  bool Files1Open = false;      // the sign-on group: open_files1 / Close_Files1
  bool AllFilesOpen = false;    // every record file: Open_AllFiles / Close_AllFiles
  // The shared opens of the sign-on group, each set only when its open succeeded.
  bool MatrOpen = false, FileOpen = false, DocsOpen = false, CalOpen = false;
  short SignOnAccepted = 0;  // 1 once the sign-on window accepted a level-9 user
  // The signed-on user (upper case, trimmed on both sides): set by the sign-on window, used by
  // the conversion steps. The password never leaves the process except through the
  // inter-program store while the program runs.
  std::string SignedOnUserId;
  std::string SignedOnPassword;

  void Reset() { *this = SessionState{}; }
};

extern SessionState Session;


// Selects the STANDARD database ("data", "std") for the record library.
void SelectStandardDatabase();

// Opens UID, DB and UDB (Session.UidFilesOpen); a refused open is shown with its status and
// ends the program (ProgramEnd, status 1).
void open_uid();
// Opens MATR shared, then FILE, DOCS and CAL (Session.Files1Open). False, with the
// "database is unavailable" message, when MATR is refused.
bool open_files1();
// Closes the sign-on group (MATR, FILE, DOCS, CAL) where it was opened.
void Close_Files1();
// Closes UID, DB and UDB when open_uid opened them.
void close_uid();
// Closes every record file when Open_AllFiles opened them; does nothing otherwise.
void Close_AllFiles();

// Ends the session: closes the open groups, releases MATR, ends the library's use and
// disconnects (a failed disconnect is shown), stops the trace, withdraws what this run published
// in the inter-process store (the sign-on password included). Does not end the program.
void terminate();
// Closes every record file unconditionally, disconnects, stops the trace, withdraws what this run
// published and ends the program with kExitFailure (throws ProgramEnd).
[[noreturn]] void emergency_exit();

}  // namespace filomar
