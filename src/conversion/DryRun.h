// The dry run of one database: what its conversion would change, found by converting a
// temporary copy of it, with nothing on the site changed.
//
// The copy: the database's record store (the record library's online backup, twice: one copy
// to convert, one to compare with) and its letter files, in a private temporary folder that is
// removed afterwards. The record library is pointed at the copy for the steps; their server
// statements go to a listing server that sends nothing. After the steps and the copy's commit,
// every record file of the converted copy is compared, key by key, with the untouched one
// (a range of 4,096 keys of each copy is held in memory at a time). Letter renames are found by the
// files' inodes, which a rename keeps.
//
// The copies' folder is named after the process ($TMPDIR/filomar-dry-run-<pid>-XXXXXX) and
// removed when the database's dry run ends, and by SIGTERM and SIGHUP, which then end the
// program as before. Folders of dry runs whose process has ended (killed with SIGKILL) are
// removed by the next dry run. The data directory's times are kept: opening its store makes
// and removes SQLite's files beside it.
//
// The report, as WriteDryRunReport prints it (two blanks indent each level):
//
//   Dry run of FINANCE
//     file CONF: 5 records read, 7 would change (2 new, 0 removed)
//       first change, key "C00":              ... key "C12" (new): for a record added
//         CONF_VersionText: "400A" -> "500A"
//     letter LetterA -> Letter01
//     letter Letter01 -> (removed)        a file the renames replace or remove
//     statement: <first line of the statement>    (blank lines around it dropped)
//       <each further line of it>
//       would fail: the column fin_file.file_ucode1 already exists   (from the server's catalogue)
//   FINANCE would convert cleanly
//
// or, last, "FINANCE would convert with 2 server statements failing", or "FINANCE would not
// convert cleanly: <why>". Files without records before and after are left out; a record added
// or removed counts as a change.
#pragma once

#include <signal.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "conversion/FieldChanges.h"
#include "conversion/ServerCatalogueCheck.h"
#include "conversion/StepTable.h"
#include "platform/ado/ListingProvider.h"

namespace filomar {

struct DryRunFile {
  std::string code;  // "CONF"; "PL#1" for a second instance
  long long read = 0;     // records of the file before the conversion
  long long changed = 0;  // records changed, added or removed by it
  long long added = 0, removed = 0;
  std::string firstKey;   // the key of the first changed record, shown as a value
  std::string firstIs;    // " (new)", " (removed)" or ""
  std::vector<FieldChange> firstChanges;
};

struct LetterRename {
  std::string from, to;  // names in the data directory; `to` empty: the file would be removed
};

struct DryRunReport {
  std::string database;
  bool clean = false;
  std::string why;  // what stopped it or kept it from converting cleanly
  std::vector<DryRunFile> files;
  std::vector<LetterRename> renames;
  std::vector<std::string> statements;  // what the steps would send to the server, in order
  // By index into `statements`: why the statement would fail on the server.
  std::map<std::size_t, std::vector<std::string>> wouldFail;
};

// Converts a copy of catalogued database `name` (it must be at release 4.0) with the `steps`
// that apply to it on this engine. Needs the record library connected; leaves the STANDARD
// database selected. Clean when every step ran to its end without showing a message (a message
// of a step is a failure it met), the copy's commit succeeded and the converted copy reads back
// version 500A.
DryRunReport DryRunDatabase(const std::string& name, const StepTable& steps, ado::ListingProviderFactory& server);

// Asks the server's catalogue, through `check`, which of the report's statements would fail,
// into `wouldFail`. A catalogue that cannot be read makes the report not clean.
void CheckStatementsOnServer(DryRunReport& report, ServerCatalogueCheck& check);

// Clean, and no statement would fail on the server: the exit status of a dry run.
bool ConvertsCleanly(const DryRunReport& report);

// For its lifetime, SIGINT (Ctrl-C) sets a flag instead of ending the program, so that a dry
// run of several databases stops after the one under way, as a conversion does.
class InterruptAfterDatabase {
 public:
  InterruptAfterDatabase();
  ~InterruptAfterDatabase();
  InterruptAfterDatabase(const InterruptAfterDatabase&) = delete;
  InterruptAfterDatabase& operator=(const InterruptAfterDatabase&) = delete;
  bool requested() const;

 private:
  struct sigaction previous_ {};
};

void WriteDryRunReport(const DryRunReport& report, std::ostream& out);
// The statements as the report shows them: "<indent>statement: " before the first line of
// each, the indent and two blanks before each further line and before each "would fail: "
// reason of `wouldFail` (by index into `statements`).
void WriteStatements(const std::vector<std::string>& statements, const std::string& indent, std::ostream& out,
                     const std::map<std::size_t, std::vector<std::string>>& wouldFail = {});

}  // namespace filomar
