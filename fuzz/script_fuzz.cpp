// The upgrade-script line rules: any script reads as lines that together hold every byte of
// it except the line ends, and each line goes through the prefix, batch-end and remark rules.
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "conversion/steps/UpgradeScript.h"
#include "shared/ScriptBatches.h"

namespace steps = filomar::steps;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool home = setenv("FILOMAR_HOME", fuzz::ScratchDirectory().c_str(), 1) == 0;
  if (!home) std::abort();
  fuzz::WriteScratchFile("fuzz.sql", data, size);
  steps::UpgradeScript script("fuzz.sql");
  if (!script.IsOpen()) __builtin_trap();
  std::string line, joined;
  while (script.ReadLine(line)) {
    joined += line + "\n";
    const std::string prefixed = steps::PutPrefix(line, "fin");
    if (prefixed.find("xxx_") != std::string::npos) __builtin_trap();
    filomar::IsGoLine(line, filomar::GoLine::kAnyCaseTrailingBlanks);
    steps::IsRemark(line);
    steps::NamesSharedTable(prefixed);
  }
  if (!script.Failure().empty()) __builtin_trap();
  // Without its line ends (LF, or CR LF) the script is the lines joined.
  std::string expected;
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (std::size_t start = 0; start < text.size();) {
    auto end = text.find('\n', start);
    std::string one = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!one.empty() && one.back() == '\r') one.pop_back();
    expected += one + "\n";
    start = end == std::string::npos ? text.size() : end + 1;
  }
  if (joined != expected) __builtin_trap();
  return 0;
}
