// The run report: what one run of the program did, as plain data and nothing else. A
// conversion run (DBSelect), a dry run and a restore each fill one; JsonReport.h writes it.
//
// Per database it holds a status out of a small closed set (DatabaseStatus, each with the text
// StatusText gives), the reason when the status needs one, the backup folder, and per step of
// a conversion its caption, duration, the records each record scan read and rewrote, and the
// server errors the step met. A dry run's database carries the dry run's comparison instead.
// Texts are kept as the product holds them (the records' single-byte code page); a writer
// converts them.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "common/Version.h"
#include "report/DryRunReport.h"

namespace filomar::report {

enum class RunKind { kConversion, kDryRun, kRestore };

// "conversion", "dry run", "restore".
const char* KindText(RunKind kind);

// What became of one chosen database. The texts (StatusText) are the report's own:
enum class DatabaseStatus {
  kNotReached,              // "not reached": chosen, but the run stopped before it (reason: why)
  kConverted,               // "converted": converted and read back as converted
  kNotConverted,            // "not converted": left at 4.0, or not read back after its commit (reason)
  kAlreadyConverted,        // "already converted": it was at 5.0 when its turn came
  kWouldConvertCleanly,     // "would convert cleanly"
  kWouldConvertWithFailures,  // "would convert with server statements failing" (failingStatements)
  kWouldNotConvertCleanly,  // "would not convert cleanly" (reason)
  kRestored,                // "restored": read back as release 4.0 from its backup
  kNotRestored,             // "not restored" (reason)
};

const char* StatusText(DatabaseStatus status);

// The records one record scan of a step read and rewrote.
struct RecordCounts {
  std::string file;  // the record file's code, "SACT"
  long long read = 0;
  long long changed = 0;  // rewritten by the step
};

// A statement the server refused, with the server's error text.
struct ServerFailure {
  std::string statement;  // empty when the connection itself could not be opened
  std::string error;
};

struct StepReport {
  std::string name;  // the caption the progress window shows for the step, without its blanks
  double seconds = 0;
  std::vector<RecordCounts> files;
  std::vector<ServerFailure> serverErrors;
};

struct DatabaseReport {
  std::string name;
  DatabaseStatus status = DatabaseStatus::kNotReached;
  std::string reason;        // why, for the statuses that need one; else empty
  std::string backupFolder;  // the backup made before its conversion (or restored from); empty: none
  std::vector<StepReport> steps;
  std::optional<DryRunReport> dryRun;  // a dry run's comparison
};

struct RunReport {
  std::string version = kVersion;
  std::string site;     // the program directory
  std::string logFile;  // the conversion log the run wrote; empty when it wrote none
  RunKind kind = RunKind::kConversion;
  std::chrono::system_clock::time_point started{}, ended{};
  // Empty when the run went to its end; else why it stopped early ("cancelled", ...).
  std::string stopped;
  std::vector<DatabaseReport> databases;  // in the order the run took them

  // The database's entry, appended (not reached) when it has none yet.
  DatabaseReport& Database(const std::string& name);
};

// The dry run's status of a database: would convert cleanly, with failing statements, or not
// cleanly with the dry run's reason.
DatabaseReport DryRunDatabaseReport(const DryRunReport& dryRun);

}  // namespace filomar::report
