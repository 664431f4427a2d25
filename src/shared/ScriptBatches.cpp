#include "shared/ScriptBatches.h"

#include "common/General.h"
#include "common/Text.h"

namespace filomar {

bool IsGoLine(const std::string& line, GoLine rule) {
  return rule == GoLine::kAnyCaseTrailingBlanks ? SameText(line, "go") : Trim(line) == "go";
}

void SplitAtGoLines(const std::function<bool(std::string& line)>& nextLine, BatchRules rules,
                    const std::function<void(const std::string& text, bool endedByGo)>& batch) {
  std::string text;
  bool linesSinceGo = false;
  std::string line;
  while (nextLine(line)) {
    if (IsGoLine(line, rules.goLine)) {
      batch(text, true);
      text.clear();
      linesSinceGo = false;
    } else {
      text += rules.joiner;
      text += line;
      linesSinceGo = true;
    }
  }
  if (linesSinceGo) batch(text, false);
}

}  // namespace filomar
