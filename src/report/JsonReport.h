// The run report as JSON, and the report file.
//
// The document (field by field in the README's table):
//   {"version", "site", "kind", "logFile", "started", "ended", "stopped",
//    "databases": [{"name", "status", "reason", "backupFolder",
//                   "steps": [{"name", "seconds", "files": [{"file", "read", "changed"}],
//                              "serverErrors": [{"statement", "error"}]}],
//                   and for a dry run: "failingStatements", "dryRun": {"files", "letterRenames",
//                   "statements"}}]}
// Times are UTC, "2026-12-07T21:54:12Z". Absent values (no log, no reason, no backup) are
// null. Texts are UTF-8: a text that is not valid UTF-8 is the product's Windows-1252 and is
// converted from it.
#pragma once

#include <string>

#include "common/Status.h"
#include "report/RunReport.h"

namespace filomar::report {

// The report as a JSON document, indented by two blanks, ending in a line break.
std::string JsonText(const RunReport& report);

// Writes the JSON report to `path` so that a reader finds the old file or the whole new one,
// never a part: a temporary file beside it is written, flushed, synced and closed, renamed
// over `path`, and the directory synced. Something at `path` that is not a regular file (a
// folder, a device, a symbolic link) is refused and left as it is. A failure names `path` and
// the reason; the temporary file is then removed and an old file at `path` stays as it was.
Status WriteJsonReport(const RunReport& report, const std::string& path);

// "convert5.json" in the folder of the log file `logPath`.
std::string ReportPathBesideLog(const std::string& logPath);

}  // namespace filomar::report
