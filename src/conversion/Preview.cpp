#include "conversion/Preview.h"

#include <sstream>

#include "common/FrontEnd.h"
#include "common/General.h"
#include "platform/ado/ListingProvider.h"
#include "shared/DbEngine.h"

namespace filomar {
namespace {

PreviewLine FileLine(const DryRunFile& file) {
  PreviewLine line{"file " + file.code + ": " + std::to_string(file.read) + " records read, " +
                   std::to_string(file.changed) + " would change"};
  if (file.added + file.removed != 0)
    line.text += " (" + std::to_string(file.added) + " new, " + std::to_string(file.removed) + " removed)";
  if (file.changed == 0) return line;
  PreviewLine first{"first change, key \"" + file.firstKey + "\"" + file.firstIs + ":"};
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

std::vector<PreviewLine> StatementLinesOf(const DryRunReport& report) {
  std::vector<PreviewLine> shown;
  for (std::size_t index = 0; index < report.statements.size(); ++index) {
    const std::vector<std::string> lines = StatementLines(report.statements[index]);
    if (lines.empty()) continue;
    const auto failing = report.wouldFail.find(index);
    PreviewLine statement{"statement: " + lines.front(), failing != report.wouldFail.end()};
    for (std::size_t i = 1; i < lines.size(); ++i) statement.children.push_back({lines[i]});
    if (statement.wouldFail)
      for (const std::string& reason : failing->second) statement.children.push_back({"would fail: " + reason, true});
    shown.push_back(std::move(statement));
  }
  return shown;
}

std::string Verdict(const DryRunReport& report) {
  if (!report.clean) return report.database + " would not convert cleanly: " + report.why;
  if (!report.wouldFail.empty())
    return report.database + " would convert with " + std::to_string(report.wouldFail.size()) +
           " server statements failing";
  return report.database + " would convert cleanly";
}

}  // namespace

PreviewOfDatabase PreviewOf(const DryRunReport& report) {
  PreviewOfDatabase preview{report.database};
  for (const DryRunFile& file : report.files) preview.lines.push_back(FileLine(file));
  for (const LetterRename& rename : report.renames)
    preview.lines.push_back({"letter " + rename.from + " -> " + (rename.to.empty() ? "(removed)" : rename.to)});
  for (PreviewLine& statement : StatementLinesOf(report)) preview.lines.push_back(std::move(statement));
  preview.verdict = Verdict(report);
  preview.convertsCleanly = ConvertsCleanly(report);
  return preview;
}

Preview::Preview(DBSelect& window) : Preview(window, ProductStepTable(), ado::InstalledProviderFactory()) {}

Preview::Preview(DBSelect& window, StepTable steps, ado::ProviderFactory& catalogue)
    : window_(window), steps_(std::move(steps)), catalogue_(catalogue) {}

void Preview::Run() {
  databases.clear();
  canceled = false;
  // The catalogue is read through the real server; everything else that reaches for the
  // installed server meanwhile (the steps' own connections) gets one that sends nothing.
  ServerCatalogueCheck catalogue(catalogue_, DbEngine == Engine::Oracle);
  ado::ListingProviderFactory sendNothing;
  const ado::ScopedProviderFactory sendNothingInstalled(sendNothing);
  DBSelect::OtherRun busy(window_, kProgressHeader);
  for (const DBSelect::ListEntry& entry : window_.DBList) {
    if (!entry.selected) continue;
    FrontEnd().DoEvents();
    if (busy.CancelRequested()) {
      canceled = true;
      return;
    }
    PreviewDatabase(entry.text, busy.Progress(), sendNothing, catalogue);
  }
}

void Preview::PreviewDatabase(const std::string& name, frmProgress& progress, ado::ListingProviderFactory& sendNothing,
                              ServerCatalogueCheck& catalogue) {
  progress.lbldbname = name;
  progress.lblstatus.clear();
  if (!progress.visible) progress.Form_Load({window_.left, window_.top, window_.width, window_.height});
  progress.Show();
  DryRunReport report = DryRunDatabase(name, StepsShownIn(progress), sendNothing);
  CheckStatementsOnServer(report, catalogue);
  databases.push_back(PreviewOf(report));
}

StepTable Preview::StepsShownIn(frmProgress& progress) const {
  StepTable shown = steps_;
  for (Step& step : shown) {
    for (StepRoutine& routine : step.routines) {
      routine.run = [&progress, caption = step.statusCaption, run = routine.run](StepContext& context) {
        if (progress.lblstatus != caption) {
          progress.lblstatus = caption;
          progress.Refresh();
        }
        // The routine's record counts go to the window's progress too.
        StepContext shownContext{context.log, context.dbName, context.prefix, context.server, progress};
        run(shownContext);
        context.failure = shownContext.failure;
      };
    }
  }
  return shown;
}

}  // namespace filomar
