#include "report/RunReport.h"

namespace filomar::report {

const char* KindText(RunKind kind) {
  switch (kind) {
    case RunKind::kDryRun:
      return "dry run";
    case RunKind::kRestore:
      return "restore";
    case RunKind::kConversion:
      break;
  }
  return "conversion";
}

const char* StatusText(DatabaseStatus status) {
  switch (status) {
    case DatabaseStatus::kConverted:
      return "converted";
    case DatabaseStatus::kNotConverted:
      return "not converted";
    case DatabaseStatus::kAlreadyConverted:
      return "already converted";
    case DatabaseStatus::kWouldConvertCleanly:
      return "would convert cleanly";
    case DatabaseStatus::kWouldConvertWithFailures:
      return "would convert with server statements failing";
    case DatabaseStatus::kWouldNotConvertCleanly:
      return "would not convert cleanly";
    case DatabaseStatus::kRestored:
      return "restored";
    case DatabaseStatus::kNotRestored:
      return "not restored";
    case DatabaseStatus::kNotReached:
      break;
  }
  return "not reached";
}

DatabaseReport& RunReport::Database(const std::string& name) {
  for (DatabaseReport& database : databases)
    if (database.name == name) return database;
  databases.emplace_back().name = name;
  return databases.back();
}

DatabaseReport DryRunDatabaseReport(const DryRunReport& dryRun) {
  DatabaseReport database;
  database.name = dryRun.database;
  if (!dryRun.clean) database.status = DatabaseStatus::kWouldNotConvertCleanly, database.reason = dryRun.why;
  else if (!dryRun.wouldFail.empty()) database.status = DatabaseStatus::kWouldConvertWithFailures;
  else database.status = DatabaseStatus::kWouldConvertCleanly;
  database.dryRun = dryRun;
  return database;
}

}  // namespace filomar::report
