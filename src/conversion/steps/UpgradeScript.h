// An upgrade script of the program directory (flm50.sql, flm50ora.sql) and the conventions
// its lines follow: the placeholder prefix "xxx_", "Print" remarks for the log and "std_"
// names of the STANDARD database's shared tables. flm50.sql's "go" lines cut it into batches
// as shared/ScriptBatches.h says.
//
// A script is read as bytes: its Windows-1252 text reaches the server and the log unchanged.
// Lines end in LF or CR LF and may be of any length; a NUL byte is kept as it is.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace filomar::steps {

class UpgradeScript {
 public:
  // Opens `fileName` in the program directory for reading.
  explicit UpgradeScript(const std::string& fileName);

  const std::string& path() const { return path_; }
  // False when the script could not be opened; Failure() then says why.
  bool IsOpen() const { return file_ != nullptr; }
  // The next line without its line end. False at the end of the script or when reading
  // failed (Failure() then says why).
  bool ReadLine(std::string& line);
  // The number of the line ReadLine gave last, counted from 1.
  int LineNumber() const { return lineNumber_; }
  // Empty while nothing failed; else the description of the failed open or read.
  const std::string& Failure() const { return failure_; }

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  std::string path_;
  std::unique_ptr<std::FILE, Closer> file_;
  int lineNumber_ = 0;
  std::string failure_;
};

// `line` with every "xxx_" (exact case) replaced by `prefix` and "_".
std::string PutPrefix(const std::string& line, const std::string& prefix);
// A line that holds "print" in any letter case, anywhere: a remark for the log.
bool IsRemark(const std::string& text);
// Text that names a shared table of the STANDARD database ("std_" in any letter case).
bool NamesSharedTable(const std::string& text);

}  // namespace filomar::steps
