#include "conversion/ConversionLog.h"

#include <cerrno>
#include <iterator>
#include <sstream>

#include "common/General.h"
#include "common/Cp1252.h"

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
  errno = 0;
  file_.reset(std::fopen(path.c_str(), "wb"));
  if (file_ == nullptr) {
    errorDescription = RuntimeErrorDescription(RuntimeErrorNumber(errno));
    return false;
  }
  WriteLine(kHeader);
  WriteLine("");
  WriteLine(kStartedAt + Now());
  WriteLine("");
  if (std::ferror(file_.get()) != 0) {
    errorDescription = RuntimeErrorDescription(RuntimeErrorNumber(errno));
    file_.reset();
    return false;
  }
  return true;
}

void ConversionLog::Close() { file_.reset(); }

void ConversionLog::WriteIndented(int indent, const std::string& text) {
  if (file_ == nullptr) return;
  const std::string line = std::string(static_cast<std::size_t>(indent > 0 ? indent : 0), ' ') + text + "\r\n";
  // Flushed line by line: after a crash the log still shows how far the run got.
  std::fwrite(line.data(), 1, line.size(), file_.get());
  std::fflush(file_.get());
}

}  // namespace filomar
