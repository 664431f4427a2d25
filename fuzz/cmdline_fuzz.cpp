// The command line: the front-end options (arguments split at NUL bytes) and the product's
// switches read from the joined text.
#include <cstdint>
#include <string>
#include <vector>

#include "app/Options.h"
#include "startup/modMain.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> args{"filomar-convert"};
  for (std::size_t start = 0; start <= text.size() && args.size() < 64;) {
    const auto end = text.find('\0', start);
    args.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::string error;
  const auto options = filomar::app::ParseOptions(static_cast<int>(args.size()), argv.data(), error);
  if (!options && error.empty()) __builtin_trap();  // a refusal always says why

  filomar::Session.traceSwitches = {};
  if (!filomar::GetCmdLineArgs(text)) __builtin_trap();
  return 0;
}
