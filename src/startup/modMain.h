// modMain: the program's entry procedure (start-up), its shutdown routines, and the routines
// that open and close the record-file groups of the sign-on window.
//
// The entry procedure connects to the record library, makes sure nobody else has the product
// open (MATR held exclusively until terminate), decides the engine, asks the server whether a
// product database exists, and hands over to the new-database creation, the sign-on window and
// the main window through StartupHandOvers. Routines that end the program throw ProgramEnd.
#pragma once

#include <string>

#include "shared/Session.h"

namespace filomar {

// What start-up hands over to the other parts of the program.
class StartupHandOvers {
 public:
  virtual ~StartupHandOvers() = default;
  // True when the database server holds a product database.
  virtual bool ProductDatabaseExists() = 0;
  // True when what follows the sign-on needs no database at 4.0 (a restore): start-up then
  // goes on to the sign-on even when every database has been converted.
  virtual bool NeedsNoDatabaseToConvert() { return false; }
  // Removes what runs that were killed left on the site (the site is held exclusively now).
  virtual void RemoveLeftoversOfInterruptedRuns() {}
  // Oracle: (re)creates the lock procedures and functions.
  virtual void RecreateOracleLockProcedures() = 0;
  // Creates and fills a new STANDARD database, with the progress window. False when this
  // program cannot create one (the user has been told why).
  virtual bool CreateStandardDatabase() = 0;
  // Shows the sign-on window modally; it sets SignOnAccepted. Returns the exit status of the
  // run when the sign-on was not accepted (cancelled, or refused by a front end that cannot
  // ask again).
  virtual int ShowSignOn() = 0;
  // Shows the main window without waiting; its load fills the list from the open DB file.
  virtual void ShowMainWindow() = 0;
};

// The entry procedure. Returns once the main window is shown; every other end of the start-up
// throws ProgramEnd after terminate (or emergency_exit). Its first acts claim the
// inter-process store for this run and publish this run's client directory.
void StartProgram(const std::string& commandLine, StartupHandOvers& handOvers);

// Claims the inter-process store for this run (ipc::ClaimStoreForRun). Ends the program
// (ProgramEnd, status 1) with a message naming the other run's site while another run of the
// same user holds it: nothing has been published, opened or changed then.
void ClaimInterProcessStore();
// Publishes the program directory as the inter-process "FLMWIN_PATH", so a value left by a run
// on another site cannot send this run to that site's databases. Withdrawn at the end of the run.
void PublishClientDirectory();
// Reads the "/T" trace channel letters and "/X" digits into Session.traceSwitches; other
// words are ignored. Always true.
bool GetCmdLineArgs(const std::string& commandLine);
// Connects to the record library, sets it up, selects STANDARD and opens MATR exclusively
// (Session.MatrExclusive). Ends the program (ProgramEnd, status 1) when the library cannot be
// connected or set up, or when MATR is refused: "users currently logged on" when another
// process holds it, the open's status otherwise.
void init0();
// Decides DbEngine from the installation record in `directory`: Oracle when its engine letter
// is "O", SQL Server otherwise (also when the record cannot be read).
void Check_OSFile(const std::string& directory);
// Sets `directory` to the program directory, or to FLMWIN.INI's StandardDataDir for the
// record-library types that keep their data there. Always true.
bool CheckUser(std::string& directory);
// True when no catalogued database is at "400A" (also when DB cannot be opened). Leaves
// STANDARD selected and DB closed.
bool NoDatabaseToConvert();

}  // namespace filomar
