// The batches of a SQL Server script: its lines up to a line that ends a batch ("go"), joined
// into one text. The upgrade script (flm50.sql) and the creation templates (Newstd7.tpl,
// lock2k.sql) are cut the same way and differ on purpose in two rules, which BatchRules names:
//
//                      a line ends a batch when it reads         each line joins the batch after
//   upgrade script     "go" in any letter case, trailing blanks  a line feed
//                      allowed, none leading
//   templates          "go" after trimming blanks, lower case    one blank
//                      only
#pragma once

#include <functional>
#include <string>

namespace filomar {

enum class GoLine {
  kAnyCaseTrailingBlanks,  // "go", "GO  "; not " go"
  kTrimmedLowerCase,       // "go", "  go  "; not "GO"
};

struct BatchRules {
  GoLine goLine;
  char joiner;
};

inline constexpr BatchRules kUpgradeScriptBatches{GoLine::kAnyCaseTrailingBlanks, '\n'};
inline constexpr BatchRules kTemplateBatches{GoLine::kTrimmedLowerCase, ' '};

bool IsGoLine(const std::string& line, GoLine rule);

// Cuts the lines that `nextLine` gives, in order, until it returns false. Every line that does
// not end a batch is appended to the batch after `rules.joiner`. At each line that ends one,
// `batch(text, true)` is called (the text may be empty) and the next batch starts empty; after
// the last line, `batch(text, false)` is called once when any line followed the last "go".
// The callbacks run in script order, so a caller may act on lines it keeps from the batches
// (the upgrade script's remarks) between them.
void SplitAtGoLines(const std::function<bool(std::string& line)>& nextLine, BatchRules rules,
                    const std::function<void(const std::string& text, bool endedByGo)>& batch);

}  // namespace filomar
