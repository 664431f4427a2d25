// The scan that the record conversions run over one record file of the current database:
// every record from the start key to the end of the file is read for update, changed in the
// record buffer, rewritten and unlocked, while the progress window counts the records.
#pragma once

#include <functional>
#include <string>

#include "conversion/ConversionLog.h"
#include "conversion/frmProgress.h"
#include "report/RunReport.h"

namespace filomar::steps {

// A scan ends after this many statuses in a row that are neither a record (0) nor the end of
// the file (9), with a trace line: a library that keeps failing cannot hold the run for ever.
inline constexpr int kMaxScanFailuresInARow = 100;

struct RecordRewrite {
  short file = 0;
  std::string routine;               // the step's name, for the trace line of a scan given up
  std::function<void()> putStartKey;  // puts the key the scan starts at into the buffer
  std::function<void()> change;       // changes the record in the buffer before its rewrite
  ConversionLog* log = nullptr;       // where a record left unconverted is named
  report::StepReport* report = nullptr;  // gets the file's records read and rewritten
};

// Opens the file (exclusively unless another process has it open), counts its records for
// the progress window, then scans it from the start key. A record whose read for update fails
// is left alone; a failed rewrite leaves the record as the library leaves it. Either way the
// scan goes on. The records read and those rewritten are added to `scan.report`. A record the library refuses to rewrite because it is not a whole record (of
// another length) is named in the log, with the reason that names its file and key. Ends the
// scan and closes the file.
void RewriteEveryRecord(const RecordRewrite& scan, frmProgress& progress);

}  // namespace filomar::steps
