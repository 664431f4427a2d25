#include "conversion/steps/RecordScan.h"

#include "common/General.h"
#include "common/Text.h"
#include "platform/reclib/io.h"
#include "recio/Vb_io.h"

namespace filomar::steps {
namespace {

// The records a scan from the start key will visit, for the progress window's total. Only a
// figure to show: the library counts them without reading them.
long CountRecords(const RecordRewrite& scan) {
  scan.putStartKey();
  return vb_io_count(scan.file, 0);
}

std::string FileCode(short file) { return std::string(Block(file).code, sizeof Block(file).code); }

// True when the record was rewritten.
bool RewriteCurrent(const RecordRewrite& scan) {
  vb_io_read(scan.file, 0, 1);
  if (vb_io_erc != 0) return false;
  scan.change();
  vb_io_rewrite(scan.file);
  const bool rewritten = vb_io_erc == 0;
  if (vb_io_erc == reclib::kWrongLength && scan.log != nullptr)
    scan.log->WriteIndented(kStepIndent, "- A " + RTrim(FileCode(scan.file)) + " record was not converted: " + vb_io_failure());
  vb_io_unlock(scan.file);
  return rewritten;
}

}  // namespace

void RewriteEveryRecord(const RecordRewrite& scan, frmProgress& progress) {
  // The run holds the site, so the file is normally open nowhere else: held exclusively, its
  // records need no lock of their own each. Another program that has it open keeps it shared.
  if (vb_io_open_exclusive(scan.file, "") != 0) vb_io_open(scan.file, "");
  progress.BeginRecordCount(CountRecords(scan));
  scan.putStartKey();
  vb_io_start(scan.file, 0, 0, 1025);
  long done = 0, rewritten = 0;
  int failuresInARow = 0;
  while (true) {
    vb_io_next(scan.file, 0);
    const short status = vb_io_erc;
    if (status == kEndOfScan) break;
    if (status != 0) {
      if (++failuresInARow < kMaxScanFailuresInARow) continue;
      WriteTrace(scan.routine + ": scan of " + FileCode(scan.file) + " given up after " +
                 std::to_string(failuresInARow) + " failures in a row, last status " + std::to_string(status));
      break;
    }
    failuresInARow = 0;
    if (RewriteCurrent(scan)) ++rewritten;
    progress.RecordsDone(++done);
  }
  vb_io_endstart(scan.file);
  vb_io_close(scan.file);
  progress.EndRecordCount(done);
  if (scan.report != nullptr) scan.report->files.push_back({RTrim(FileCode(scan.file)), done, rewritten});
}

}  // namespace filomar::steps
