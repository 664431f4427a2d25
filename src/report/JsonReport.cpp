#include "report/JsonReport.h"

#include <cmath>
#include <ctime>

#include <nlohmann/json.hpp>

#include "common/Cp1252.h"

namespace filomar::report {
namespace {

// Ordered: the fields come out in the order the README lists them.
using json = nlohmann::ordered_json;

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool IsUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    unsigned long code = length == 1 ? c : c & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next >> 6) != 2) return false;
      code = code << 6 | (next & 0x3F);
    }
    static const unsigned long kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

json Text(const std::string& text) { return IsUtf8(text) ? text : ui::Cp1252ToUtf8(text); }
json TextOrNull(const std::string& text) { return text.empty() ? json(nullptr) : Text(text); }

std::string UtcTime(std::chrono::system_clock::time_point time) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
  std::tm utc {};
  ::gmtime_r(&seconds, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

json StepJson(const StepReport& step) {
  json files = json::array(), errors = json::array();
  for (const RecordCounts& file : step.files) files.push_back({{"file", Text(file.file)}, {"read", file.read}, {"changed", file.changed}});
  for (const ServerFailure& failure : step.serverErrors)
    errors.push_back({{"statement", Text(failure.statement)}, {"error", Text(failure.error)}});
  // Milliseconds are enough for a step and keep the figure short.
  return {{"name", Text(step.name)}, {"seconds", std::round(step.seconds * 1000) / 1000},
          {"files", files}, {"serverErrors", errors}};
}

json DryRunFileJson(const DryRunFile& file) {
  json result = {{"file", Text(file.code)}, {"read", file.read}, {"changed", file.changed},
                 {"added", file.added}, {"removed", file.removed}, {"firstChange", nullptr}};
  if (file.changed == 0) return result;
  json fields = json::array();
  for (const FieldChange& change : file.firstChanges)
    fields.push_back({{"field", Text(change.field)}, {"before", Text(change.before)}, {"after", Text(change.after)}});
  const char* kind = file.firstIs == FirstChange::kNew       ? "new"
                     : file.firstIs == FirstChange::kRemoved ? "removed"
                                                             : "changed";
  result["firstChange"] = {{"key", Text(file.firstKey)}, {"record", kind}, {"fields", fields}};
  return result;
}

json DryRunJson(const DryRunReport& dryRun) {
  json files = json::array(), renames = json::array(), statements = json::array();
  for (const DryRunFile& file : dryRun.files) files.push_back(DryRunFileJson(file));
  for (const LetterRename& rename : dryRun.renames) renames.push_back({{"from", Text(rename.from)}, {"to", TextOrNull(rename.to)}});
  for (std::size_t i = 0; i < dryRun.statements.size(); ++i) {
    json reasons = json::array();
    if (const auto failing = dryRun.wouldFail.find(i); failing != dryRun.wouldFail.end())
      for (const std::string& reason : failing->second) reasons.push_back(Text(reason));
    statements.push_back({{"statement", Text(dryRun.statements[i])}, {"wouldFail", reasons}});
  }
  return {{"files", files}, {"letterRenames", renames}, {"statements", statements}};
}

json DatabaseJson(const DatabaseReport& database) {
  json steps = json::array();
  for (const StepReport& step : database.steps) steps.push_back(StepJson(step));
  json result = {{"name", Text(database.name)}, {"status", StatusText(database.status)},
                 {"reason", TextOrNull(database.reason)}, {"backupFolder", TextOrNull(database.backupFolder)},
                 {"steps", steps}};
  if (database.dryRun) {
    result["failingStatements"] = database.dryRun->wouldFail.size();
    result["dryRun"] = DryRunJson(*database.dryRun);
  }
  return result;
}

}  // namespace

std::string JsonText(const RunReport& report) {
  json databases = json::array();
  for (const DatabaseReport& database : report.databases) databases.push_back(DatabaseJson(database));
  const json document = {{"version", report.version}, {"site", Text(report.site)}, {"kind", KindText(report.kind)},
                         {"logFile", TextOrNull(report.logFile)}, {"started", UtcTime(report.started)},
                         {"ended", UtcTime(report.ended)}, {"stopped", TextOrNull(report.stopped)},
                         {"databases", databases}};
  return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace filomar::report
