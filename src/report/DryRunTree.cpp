#include "report/DryRunTree.h"

#include <sstream>

namespace filomar {
namespace {

PreviewLine FileLine(const DryRunFile& file) {
  PreviewLine line{"file " + file.code + ": " + std::to_string(file.read) + " records read, " +
                   std::to_string(file.changed) + " would change"};
  if (file.added + file.removed != 0)
    line.text += " (" + std::to_string(file.added) + " new, " + std::to_string(file.removed) + " removed)";
  if (file.changed == 0) return line;
  const char* kind = file.firstIs == FirstChange::kNew       ? " (new)"
                     : file.firstIs == FirstChange::kRemoved ? " (removed)"
                                                             : "";
  PreviewLine first{"first change, key \"" + file.firstKey + "\"" + kind + ":"};
  for (const FieldChange& change : file.firstChanges)
    first.children.push_back({change.field + ": \"" + change.before + "\" -> \"" + change.after + "\""});
  line.children.push_back(std::move(first));
  return line;
}

// A statement's lines without the blank lines around it (a script's batch begins and ends
// with line breaks) and without their CR; none for a blank statement.
std::vector<std::string> StatementLines(const std::string& statement) {
  const std::size_t begin = statement.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return {};
  const std::size_t lineStart = statement.rfind('\n', begin) == std::string::npos ? 0 : statement.rfind('\n', begin) + 1;
  std::istringstream text(statement.substr(lineStart, statement.find_last_not_of(" \t\r\n") + 1 - lineStart));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string Verdict(const DryRunReport& report) {
  if (!report.clean) return report.database + " would not convert cleanly: " + report.why;
  if (!report.wouldFail.empty())
    return report.database + " would convert with " + std::to_string(report.wouldFail.size()) +
           " server statements failing";
  return report.database + " would convert cleanly";
}

}  // namespace

std::vector<PreviewLine> StatementLinesOf(const std::vector<std::string>& statements,
                                          const std::map<std::size_t, std::vector<std::string>>& wouldFail) {
  std::vector<PreviewLine> shown;
  for (std::size_t index = 0; index < statements.size(); ++index) {
    const std::vector<std::string> lines = StatementLines(statements[index]);
    if (lines.empty()) continue;
    const auto failing = wouldFail.find(index);
    PreviewLine statement{"statement: " + lines.front(), failing != wouldFail.end()};
    for (std::size_t i = 1; i < lines.size(); ++i) statement.children.push_back({lines[i]});
    if (statement.wouldFail)
      for (const std::string& reason : failing->second) statement.children.push_back({"would fail: " + reason, true});
    shown.push_back(std::move(statement));
  }
  return shown;
}

PreviewOfDatabase PreviewOf(const DryRunReport& report) {
  PreviewOfDatabase preview{report.database};
  for (const DryRunFile& file : report.files) preview.lines.push_back(FileLine(file));
  for (const LetterRename& rename : report.renames)
    preview.lines.push_back({"letter " + rename.from + " -> " + (rename.to.empty() ? "(removed)" : rename.to)});
  for (PreviewLine& statement : StatementLinesOf(report.statements, report.wouldFail)) preview.lines.push_back(std::move(statement));
  preview.verdict = Verdict(report);
  preview.convertsCleanly = ConvertsCleanly(report);
  return preview;
}

}  // namespace filomar
