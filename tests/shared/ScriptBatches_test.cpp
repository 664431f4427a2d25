// The "go" splitter under the rules of the upgrade script and of the creation templates: where
// a batch ends, how its lines are joined, and what is left after the last "go".
#include "shared/ScriptBatches.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using filomar::BatchRules;

// The batches of `script` as "text|" (ended by "go") or "text$" (the rest after the last one).
std::vector<std::string> Batches(const std::string& script, BatchRules rules) {
  std::istringstream in(script);
  std::vector<std::string> batches;
  filomar::SplitAtGoLines(
      [&in](std::string& line) {
        if (!std::getline(in, line)) return false;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
      },
      rules, [&batches](const std::string& text, bool endedByGo) { batches.push_back(text + (endedByGo ? "|" : "$")); });
  return batches;
}

TEST(ScriptBatches, GoLinesJoinersAndTheRestUnderBothRules) {
  struct Case {
    std::string script;
    std::vector<std::string> upgrade, templates;
  };
  const Case cases[] = {
      {"create a\ncreate b\ngo\ncreate c\ngo\n", {"\ncreate a\ncreate b|", "\ncreate c|"}, {" create a create b|", " create c|"}},
      {"create a\ngo\ncreate b", {"\ncreate a|", "\ncreate b$"}, {" create a|", " create b$"}},
      {"create a\r\nGO  \r\ncreate b\r\n", {"\ncreate a|", "\ncreate b$"}, {" create a GO   create b$"}},
      {"create a\n  go  \n", {"\ncreate a\n  go  $"}, {" create a|"}},  // leading blanks
      {"create a\n\tgo\n", {"\ncreate a\n\tgo$"}, {" create a \tgo$"}},   // a tab is not a blank
      {"create a\ngo\n\n\n", {"\ncreate a|", "\n\n$"}, {" create a|", "  $"}},  // blank lines after the last "go"
      {"go\ngo\n", {"|", "|"}, {"|", "|"}},
      {"", {}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Batches(c.script, filomar::kUpgradeScriptBatches), c.upgrade) << c.script;
    EXPECT_EQ(Batches(c.script, filomar::kTemplateBatches), c.templates) << c.script;
  }
}

}  // namespace
