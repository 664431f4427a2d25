// The conversion log: a text file of lines ended by CR LF, written from the start of a run and
// replaced by the next run. The main window owns it for the length of a run; the steps of a
// database write their lines and server errors to it.
//
//   Filomar 4.0 to Filomar 5.0 Conversion  
//   
//   Started at:     04-Dec-26 16:05
//   
//                       Converting STANDARD Database
//        - Creating new tables 
//        ...
//
// An indent is a count of blanks put before the text. Every write is checked: the first one
// that fails marks the log failed (the run decides what to do), and later writes are dropped.
// Writes to a log that is not open are dropped too.
#pragma once

#include <cstdio>
#include <ctime>
#include <functional>
#include <locale>
#include <memory>
#include <string>

namespace filomar {

// The local time now, broken down; tests give a fixed one.
using LogClock = std::function<std::tm()>;
LogClock SystemClock();

// The user's locale from the environment (LANG, LC_ALL ...), or the classic one when the
// environment names a locale this system does not have.
std::locale UserLocale();

// "dd-mmm-yy hh:mm": two-digit day, the month's abbreviated name in `locale` (converted to
// the log's single-byte text), two-digit year, 24-hour clock.
std::string LogTime(const std::tm& time, const std::locale& locale);

inline constexpr int kDatabaseIndent = 20;  // the "Converting NAME Database" line
inline constexpr int kStepIndent = 5;       // step lines and the completion line

class ConversionLog {
 public:
  explicit ConversionLog(LogClock clock = SystemClock(), std::locale locale = UserLocale());

  // Writes a new log with its four header lines at `path`: a new file, an empty one, or one
  // that holds a conversion log (its first line is the log's header) is replaced; any other
  // file is left as it is and refused, and so is a file named as a record store or a file the
  // record library keeps beside one (DataFiles.h), whether it exists or not. On failure the log stays closed and `errorDescription`
  // holds the system's description of the error, or names the file and says why it was refused.
  bool Open(const std::string& path, std::string& errorDescription);
  bool IsOpen() const { return file_ != nullptr; }
  // Closes the file; false when the log failed or the close did (the last lines may be lost).
  bool Close();
  // True once a write (or the close) has failed; FailureReason names the file and the reason.
  bool Failed() const { return !failure_.empty(); }
  const std::string& FailureReason() const { return failure_; }

  void WriteLine(const std::string& text) { WriteIndented(0, text); }
  void WriteIndented(int indent, const std::string& text);
  // The current time in the log's form.
  std::string Now() const { return LogTime(clock_(), locale_); }

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  LogClock clock_;
  std::locale locale_;
  void Fail(int error);

  std::unique_ptr<std::FILE, FileCloser> file_;
  std::string path_;
  std::string failure_;
};

}  // namespace filomar
