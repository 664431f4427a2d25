#include "common/General.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "common/FrontEnd.h"
#include "common/Text.h"
#include "platform/ipc/ipc.h"
#include "platform/reclib/trace.h"
#include "platform/winapi/AppPath.h"
#include "platform/winapi/FileLookup.h"
#include "platform/winapi/ClientSettings.h"
#include "platform/winapi/Profile.h"

namespace filomar {
namespace fs = std::filesystem;

void WriteTrace(const std::string& text) { TRACE_Msg8(text.c_str()); }

void MsgBoxTrace(const std::string& text, std::uint16_t buttons, const std::string& title) {
  const std::string line = "MsgBox: " + title + ": " + text;
  TRACE_Msg6(line.c_str());
  ShowMessage(text, buttons, title);
}

void ShowMessage(const std::string& text, std::uint16_t buttons, const std::string& title) {
  FrontEnd().MsgBox(text, buttons, title.empty() ? kProgramTitle : title);
}

bool SameText(const std::string& a, const std::string& b) {
  return UpperCp1252(RTrim(a)) == UpperCp1252(RTrim(b));
}

bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

void StripNul(std::string& text) { std::erase(text, '\0'); }

std::string GetShortDateFormat() {
  char buffer[21] = {};
  const auto n = winapi::GetProfileStringA("intl", "sShortDate", "", buffer, sizeof buffer);
  return std::string(buffer, n);
}

namespace {

std::string TwoDigits(unsigned v) { return (v < 10 ? "0" : "") + std::to_string(v); }

std::string FourDigits(int v) {
  std::string s = std::to_string(v);
  return std::string(s.size() < 4 ? 4 - s.size() : 0, '0') + s;
}

}  // namespace

std::string FormatDateForPattern(const Date& date, const std::string& pattern) {
  const char first = pattern.empty() ? ' ' : UpperCp1252(pattern[0]);
  const std::string d = TwoDigits(static_cast<unsigned>(date.day()));
  const std::string m = TwoDigits(static_cast<unsigned>(date.month()));
  const std::string y = FourDigits(static_cast<int>(date.year()));
  if (first == 'M') return m + "/" + d + "/" + y;
  if (first == 'Y') return y + "/" + m + "/" + d;
  return d + "/" + m + "/" + y;
}

std::string FormatDateForSystem(const Date& date) { return FormatDateForPattern(date, GetShortDateFormat()); }

bool ipcReadString(const std::string& key, std::string& value) {
  WriteTrace("ipcReadString:  Before io_read");
  std::vector<char> probe(255);
  int length = static_cast<int>(probe.size());
  if (ipc_read(key.c_str(), probe.data(), &length) != 0) return false;
  std::string buffer(static_cast<std::size_t>(length), ' ');
  int again = length;
  if (ipc_read(key.c_str(), buffer.data(), &again) != 0) return false;
  // The value may have changed between the two calls; keep only what the second one copied.
  buffer.resize(static_cast<std::size_t>(std::min(again, length)));
  value = buffer;
  return true;
}

// The run publishes its program directory as FLMWIN_PATH for the product's other programs,
// but reads its own from the run's state: another run of the same user may have published
// another site's directory since.
std::string GetClientDir() {
  std::string dir = winapi::AppPath();
  if (dir.empty() || dir.back() != '/') dir += "/";
  return dir;
}

int RuntimeErrorNumber(int errnoValue) {
  switch (errnoValue) {
    case ENOENT: return 53;
    case EINVAL: case ENAMETOOLONG: case EILSEQ: return 52;
    case EACCES: case EPERM: case EROFS: case EISDIR: return 75;
    case ENOTDIR: return 76;
    default: return 57;
  }
}

std::string RuntimeErrorDescription(int number) {
  switch (number) {
    case 52: return "Bad file name or number";
    case 53: return "File not found";
    case 75: return "Path/File access error";
    case 76: return "Path not found";
    default: return "Device I/O error";
  }
}

namespace {

// Runs one step of ConstructFullPath, reporting and retrying a failure a bounded number of
// times. Returns false when the step never succeeded.
template <typename Step>
bool WithRetries(Step step) {
  for (int attempt = 0; attempt <= kConstructFullPathRetries; ++attempt) {
    std::error_code ec;
    step(ec);
    if (!ec) return true;
    ShowMessage("ConstructFullPath_error =" + NumberWithSign(RuntimeErrorNumber(ec.value())), ui::mb::OKOnly, "");
  }
  return false;
}

std::string StandardDataDir(const std::string& iniPath) {
  std::string dir = winapi::StandardDataDir(iniPath);
  WriteTrace("GetPrivateProfileString: " + dir.substr(0, dir.find('\0')));
  if (dir.empty()) return "";
  StripNul(dir);
  return winapi::ToPosixSeparators(Trim(dir));
}

}  // namespace

void ConstructFullPath(const std::string& name, std::string& result) {
  const std::string posixName = winapi::ToPosixSeparators(name);
  result = posixName;
  if (!posixName.empty() && posixName[0] == '/') return;

  const std::string base = GetClientDir();
  WriteTrace("FLMWIN_PATH:" + base + "flmwin.ini");
  WriteTrace("tmp$ & flmwin.ini:" + base + "flmwin.ini");
  std::optional<fs::path> ini;
  if (!WithRetries([&](std::error_code& ec) { ini = winapi::ResolveNoCase(base + "flmwin.ini", ec); })) {
    ini.reset();
  }
  WriteTrace("dir output: " + (ini ? ini->filename().string() : std::string()));

  if (ini && fs::is_regular_file(*ini)) {
    const std::string dataDir = StandardDataDir(RTrim(base) + "FLMWIN.INI");
    if (!dataDir.empty()) {
      WriteTrace("tmp_dBaseDir: " + dataDir);
      result = dataDir + (dataDir.back() == '/' ? "" : "/") + posixName;
      WriteTrace("tfullpath$: " + result);
      return;
    }
  }
  if (posixName.empty() || posixName[0] != '/') result = GetClientDir() + posixName;
  if (!IsBlank(result) && result.back() != '/') result += "/";
}

bool FileExists(const std::string& name) {
  WriteTrace("Filename: {" + name + "}");
  std::string found;
  std::error_code ec;
  const std::string posixName = winapi::ToPosixSeparators(name);
  if (posixName.empty() || posixName.find('\0') != std::string::npos) {
    ec = std::make_error_code(std::errc::invalid_argument);
  } else if (posixName.back() != '/') {
    const auto path = winapi::ResolveNoCase(posixName, ec);
    if (path && fs::is_regular_file(*path, ec)) found = path->filename().string();
  }
  WriteTrace("DirFilename: {" + found + "}");
  if (ec) {
    const int number = RuntimeErrorNumber(ec.value());
    if (number != 52)
      ShowMessage("Error" + NumberWithSign(number) + ": " + RuntimeErrorDescription(number), ui::mb::Critical, "");
    return false;
  }
  if (found.empty() || posixName.back() == '/' || posixName.size() < found.size()) return false;
  return UpperCp1252(posixName.substr(posixName.size() - found.size())) == UpperCp1252(found);
}

void ResetMousePointer(ui::Form& window) { window.mousePointer = ui::MousePointer::Default; }

}  // namespace filomar
