// Whole runs of the built filomar-convert on a demo site, and what a test compares them with:
// the record files as filomar-site dumps them and the log lines the upgrade scripts must give.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "support/DemoSite.h"
#include "support/ProgramRun.h"

namespace e2e {

// Runs filomar-convert in batch on `site` (its environment must be set), with `password` as
// the first line of standard input and `args` after it.
testing_support::ProgramRun RunConvert(const testing_support::DemoSite& site, const std::string& password,
                                       const std::string& args);

// The demo site's databases that a conversion takes, in its order.
struct Database {
  std::string name, dataDir, prefix;
};
inline const std::vector<Database> kConvertedDatabases = {
    {"STANDARD", "data", "std"}, {"FINANCE", "finance", "fin"}, {"PERSONNEL", "personnel", "per"}};

// The record files a conversion reads or writes, and the ones it must leave alone.
inline const std::vector<std::string> kDatabaseFiles = {"CONF", "CODE", "SACT", "VERS", "COMP"};
inline const std::vector<std::string> kSharedFiles = {"DB", "UID", "UDB"};

// Every record of one file as its 1,536-byte buffer, by key as filomar-site dump shows it
// (non-printing bytes escaped). Fails the test when a dump fails.
std::map<std::string, std::string> Records(const testing_support::DemoSite& site, const std::string& dataDir,
                                           const std::string& prefix, const std::string& code);

// The log's lines without their CR LF ends; a line that does not end in CR LF is kept as
// "<no CR LF>" + text so that the comparison shows it.
std::vector<std::string> LogLines(const std::string& log);

// Replaces a trailing "dd-mmm-yy hh:mm" by "<time>"; a line without one is returned as it is.
std::string MaskTime(const std::string& line);

// The log's header lines, its time masked.
inline const std::vector<std::string> kLogHeader = {"Filomar 4.0 to Filomar 5.0 Conversion  ", "", "Started at:     <time>", ""};

// The lines the log must give for the database `name` converted on a server that takes every
// statement, `afterTables` following "- Creating new tables "; its time masked.
std::vector<std::string> DatabaseLines(const std::string& name, const std::vector<std::string>& afterTables);

// The lines the SQL Server upgrade script `flm50.sql` gives in the log of a database with
// `prefix` when the server takes every batch: its Print lines indented by five, and an empty
// line for each batch sent ("go"); a batch naming the STANDARD database's shared tables is
// dropped for any other database.
std::vector<std::string> SqlServerScriptLines(const std::string& script, const std::string& prefix);

}  // namespace e2e
