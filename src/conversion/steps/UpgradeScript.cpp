#include "conversion/steps/UpgradeScript.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/General.h"
#include "common/Text.h"
#include "platform/winapi/AppPath.h"
#include "platform/winapi/RegularFile.h"

namespace filomar::steps {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether `text` holds `lowerNeedle` (ASCII, lower case) in any letter case.
bool ContainsAnyCase(const std::string& text, const std::string& lowerNeedle) {
  if (lowerNeedle.size() > text.size()) return false;
  for (std::size_t at = 0; at + lowerNeedle.size() <= text.size(); ++at) {
    std::size_t i = 0;
    while (i < lowerNeedle.size() && LowerAscii(text[at + i]) == lowerNeedle[i]) ++i;
    if (i == lowerNeedle.size()) return true;
  }
  return false;
}

std::string ScriptPath(const std::string& fileName) {
  std::string dir = Trim(winapi::AppPath());
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir + fileName;
}

}  // namespace

UpgradeScript::UpgradeScript(const std::string& fileName) : path_(ScriptPath(fileName)) {
  // Only a regular file: a FIFO in the script's place would block the run, a device never end.
  const int fd = winapi::OpenRegularFile(path_);
  if (fd >= 0) file_.reset(::fdopen(fd, "rb"));
  if (file_ == nullptr) {
    failure_ = std::strerror(errno);
    if (fd >= 0) ::close(fd);
  }
}

bool UpgradeScript::ReadLine(std::string& line) {
  if (file_ == nullptr || !failure_.empty()) return false;
  line.clear();
  errno = 0;
  int c;
  while ((c = getc_unlocked(file_.get())) != EOF && c != '\n') line.push_back(static_cast<char>(c));
  if (c == EOF) {
    if (std::ferror(file_.get()) != 0) {
      failure_ = std::strerror(errno != 0 ? errno : EIO);
      return false;
    }
    if (line.empty()) return false;  // a last line without a line end is still a line
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  ++lineNumber_;
  return true;
}

std::string PutPrefix(const std::string& line, const std::string& prefix) {
  static const std::string placeholder = "xxx_";
  std::string result;
  std::size_t from = 0;
  for (std::size_t at; (at = line.find(placeholder, from)) != std::string::npos; from = at + placeholder.size()) {
    result.append(line, from, at - from).append(prefix).append("_");
  }
  return result.append(line, from, std::string::npos);
}

bool IsRemark(const std::string& text) { return ContainsAnyCase(text, "print"); }

bool NamesSharedTable(const std::string& text) { return ContainsAnyCase(text, "std_"); }

}  // namespace filomar::steps
