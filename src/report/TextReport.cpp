#include "report/TextReport.h"

#include <sstream>

namespace filomar {

void WriteDryRunReport(const DryRunReport& report, std::ostream& out) {
  out << "Dry run of " << report.database << "\n";
  for (const DryRunFile& file : report.files) {
    out << "  file " << file.code << ": " << file.read << " records read, " << file.changed << " would change";
    if (file.added + file.removed != 0) out << " (" << file.added << " new, " << file.removed << " removed)";
    out << "\n";
    if (file.changed == 0) continue;
    out << "    first change, key \"" << file.firstKey << "\"" << file.firstIs << ":\n";
    for (const FieldChange& change : file.firstChanges)
      out << "      " << change.field << ": \"" << change.before << "\" -> \"" << change.after << "\"\n";
  }
  for (const LetterRename& rename : report.renames)
    out << "  letter " << rename.from << " -> " << (rename.to.empty() ? "(removed)" : rename.to) << "\n";
  WriteStatements(report.statements, "  ", out, report.wouldFail);
  out << report.database;
  if (!report.clean) out << " would not convert cleanly: " << report.why << "\n";
  else if (!report.wouldFail.empty()) out << " would convert with " << report.wouldFail.size() << " server statements failing\n";
  else out << " would convert cleanly\n";
  out.flush();
}

void WriteStatements(const std::vector<std::string>& statements, const std::string& indent, std::ostream& out,
                     const std::map<std::size_t, std::vector<std::string>>& wouldFail) {
  for (std::size_t index = 0; index < statements.size(); ++index) {
    const std::string& statement = statements[index];
    // A script's batch begins and ends with line breaks: its lines are shown without them.
    const std::size_t begin = statement.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) continue;
    const std::size_t lineStart = statement.rfind('\n', begin) == std::string::npos ? 0 : statement.rfind('\n', begin) + 1;
    std::istringstream lines(statement.substr(lineStart, statement.find_last_not_of(" \t\r\n") + 1 - lineStart));
    std::string line;
    for (bool first = true; std::getline(lines, line); first = false) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      out << indent << (first ? "statement: " : "  ") << line << "\n";
    }
    if (const auto failing = wouldFail.find(index); failing != wouldFail.end())
      for (const std::string& reason : failing->second) out << indent << "  would fail: " << reason << "\n";
  }
}

}  // namespace filomar
