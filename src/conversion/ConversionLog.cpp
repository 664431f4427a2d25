#include "conversion/ConversionLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iterator>
#include <filesystem>
#include <sstream>

#include "common/General.h"
#include "common/Cp1252.h"
#include "shared/DataFiles.h"

namespace filomar {
namespace {

constexpr const char* kHeader = "Filomar 4.0 to Filomar 5.0 Conversion  ";
constexpr const char* kStartedAt = "Started at:     ";

std::string TwoDigits(int value) {
  const int v = ((value % 100) + 100) % 100;
  return {static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)};
}

std::string MonthAbbreviation(const std::tm& time, const std::locale& locale) {
  std::ostringstream out;
  out.imbue(locale);
  const char pattern[] = "%b";
  std::use_facet<std::time_put<char>>(locale).put(std::ostreambuf_iterator<char>(out), out, ' ', &time, pattern,
                                                  pattern + 2);
  // Locales name their months in UTF-8; the log is single-byte text like the records.
  return ui::Utf8ToCp1252(out.str());
}

// Why the open file `fd` must not be replaced by a log, as the end of a sentence that starts
// with its path; empty when it may be (a new or empty file, or an earlier log).
std::string Refusal(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return std::string(": ") + std::strerror(errno);
  if (!S_ISREG(st.st_mode)) return " is not a regular file: it was left as it is";
  if (st.st_size == 0) return "";
  const std::string header = std::string(kHeader) + "\r\n";
  std::string first(header.size(), '\0');
  const ssize_t got = ::pread(fd, first.data(), first.size(), 0);
  if (got != static_cast<ssize_t>(header.size()) || first != header) return " is not a conversion log: it was left as it is";
  return "";
}

}  // namespace

LogClock SystemClock() {
  return [] {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
  };
}

std::locale UserLocale() {
  try {
    return std::locale("");
  } catch (const std::runtime_error&) {
    return std::locale::classic();
  }
}

std::string LogTime(const std::tm& time, const std::locale& locale) {
  return TwoDigits(time.tm_mday) + "-" + MonthAbbreviation(time, locale) + "-" + TwoDigits(time.tm_year) + " " +
         TwoDigits(time.tm_hour) + ":" + TwoDigits(time.tm_min);
}

ConversionLog::ConversionLog(LogClock clock, std::locale locale)
    : clock_(std::move(clock)), locale_(std::move(locale)) {}

bool ConversionLog::Open(const std::string& path, std::string& errorDescription) {
  Close();
  failure_.clear();
  path_ = path;
  // A store's lock file, WAL or journal is the record library's; writing a log into it
  // would damage the store or its locks. Refused by name, before anything is opened.
  if (BelongsToRecordStore(std::filesystem::path(path).filename().string())) {
    errorDescription = path + " belongs to a record store: it was left as it is";
    return false;
  }
  // Opened without truncating, so that a file which turns out not to be a log keeps every
  // byte; O_NONBLOCK keeps a FIFO from holding the open.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
  if (fd < 0) {
    // Creating a file, "not found" can only mean its folder.
    errorDescription = RuntimeErrorDescription(errno == ENOENT ? 76 : RuntimeErrorNumber(errno));
    return false;
  }
  if (const std::string refusal = Refusal(fd); !refusal.empty()) {
    ::close(fd);
    errorDescription = path + refusal;
    return false;
  }
  std::FILE* file = ::ftruncate(fd, 0) == 0 ? ::fdopen(fd, "wb") : nullptr;
  if (file == nullptr) {
    errorDescription = RuntimeErrorDescription(RuntimeErrorNumber(errno));
    ::close(fd);
    return false;
  }
  file_.reset(file);
  WriteLine(kHeader);
  WriteLine("");
  WriteLine(kStartedAt + Now());
  WriteLine("");
  if (Failed()) {
    errorDescription = RuntimeErrorDescription(RuntimeErrorNumber(errno));
    file_.reset();
    return false;
  }
  return true;
}

bool ConversionLog::Close() {
  if (file_ == nullptr) return !Failed();
  std::FILE* file = file_.release();
  if (std::fclose(file) != 0 && !Failed()) Fail(errno);
  return !Failed();
}

void ConversionLog::Fail(int error) {
  if (!Failed()) failure_ = path_ + ": " + std::strerror(error);
}

void ConversionLog::WriteIndented(int indent, const std::string& text) {
  if (file_ == nullptr || Failed()) return;
  const std::string line = std::string(static_cast<std::size_t>(indent > 0 ? indent : 0), ' ') + text + "\r\n";
  // Flushed line by line: after a crash the log still shows how far the run got.
  errno = 0;
  if (std::fwrite(line.data(), 1, line.size(), file_.get()) != line.size() || std::fflush(file_.get()) != 0) {
    Fail(errno != 0 ? errno : EIO);
  }
}

}  // namespace filomar
