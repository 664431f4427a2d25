// What the dry run of one database found: the comparison of its converted copy with the
// untouched one (DryRun.h makes it, TextReport.h prints it, JsonReport.h writes it).
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace filomar {

struct FieldChange {
  std::string field;   // "CONF_VersionText", "CONF_C03_LetterNames40(2)" for an element of a
                       // repeated field, "bytes 14-1535" for bytes that no named field covers
  std::string before;  // the field's characters: trailing blanks dropped, bytes outside
  std::string after;   // printable ASCII as \xNN, cut at kShownCharacters with "..."
};

// What the conversion would do to the first record it changes.
enum class FirstChange { kChanged, kNew, kRemoved };

struct DryRunFile {
  std::string code;  // "CONF"; "PL#1" for a second instance
  long long read = 0;     // records of the file before the conversion
  long long changed = 0;  // records changed, added or removed by it
  long long added = 0, removed = 0;
  std::string firstKey;   // the key of the first changed record, shown as a value
  FirstChange firstIs = FirstChange::kChanged;
  std::vector<FieldChange> firstChanges;
};

struct LetterRename {
  std::string from, to;  // names in the data directory; `to` empty: the file would be removed
};

struct DryRunReport {
  std::string database;
  bool clean = false;
  std::string why;  // what stopped it or kept it from converting cleanly
  std::vector<DryRunFile> files;
  std::vector<LetterRename> renames;
  std::vector<std::string> statements;  // what the steps would send to the server, in order
  // By index into `statements`: why the statement would fail on the server.
  std::map<std::size_t, std::vector<std::string>> wouldFail;
};

// Clean, and no statement would fail on the server: the exit status of a dry run.
inline bool ConvertsCleanly(const DryRunReport& report) { return report.clean && report.wouldFail.empty(); }

}  // namespace filomar
