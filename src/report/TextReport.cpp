#include "report/TextReport.h"

#include "report/DryRunTree.h"

namespace filomar {

void WriteLines(const std::vector<PreviewLine>& lines, const std::string& indent, std::ostream& out) {
  for (const PreviewLine& line : lines) {
    out << indent << line.text << "\n";
    WriteLines(line.children, indent + "  ", out);
  }
}

void WriteDryRunReport(const DryRunReport& report, std::ostream& out) {
  const PreviewOfDatabase tree = PreviewOf(report);
  out << "Dry run of " << report.database << "\n";
  WriteLines(tree.lines, "  ", out);
  out << tree.verdict << "\n";
  out.flush();
}

void WriteStatements(const std::vector<std::string>& statements, const std::string& indent, std::ostream& out,
                     const std::map<std::size_t, std::vector<std::string>>& wouldFail) {
  WriteLines(StatementLinesOf(statements, wouldFail), indent, out);
}

}  // namespace filomar
