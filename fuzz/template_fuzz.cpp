// The "go" splitter under both rules: any SQL Server script splits into no more batches than it
// has lines, and no batch of the upgrade rules (lines kept apart) holds a line that ends one.
#include <cstdint>
#include <sstream>
#include <string>

#include "shared/ScriptBatches.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::size_t lines = 0;
  for (const char c : text) lines += c == '\n';
  for (const filomar::BatchRules rules : {filomar::kUpgradeScriptBatches, filomar::kTemplateBatches}) {
    std::istringstream script(text);
    std::size_t batches = 0;
    filomar::SplitAtGoLines([&script](std::string& line) { return static_cast<bool>(std::getline(script, line)); }, rules,
                            [&](const std::string& batch, bool) {
                              ++batches;
                              if (rules.joiner != '\n') return;
                              std::istringstream joined(batch);
                              for (std::string line; std::getline(joined, line, rules.joiner);)
                                if (!line.empty() && filomar::IsGoLine(line, rules.goLine)) __builtin_trap();
                            });
    if (batches > lines + 1) __builtin_trap();
  }
  return 0;
}
