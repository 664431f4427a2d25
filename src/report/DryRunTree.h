// A dry run's report as a tree of lines: what the dry run prints (TextReport.h) and the preview
// window shows. Each level is one step deeper:
//
//   file CONF: 5 records read, 7 would change (2 new, 0 removed)
//     first change, key "C00":                  ... key "C12" (new): for a record added
//       CONF_VersionText: "400A" -> "500A"
//   letter LetterA -> Letter01
//   letter Letter01 -> (removed)                a file the renames replace or remove
//   statement: <first line of the statement>    (blank lines around it dropped; marked as failing)
//     <each further line of it>
//     would fail: the column fin_file.file_ucode1 already exists   (marked as failing)
//
// and the verdict: "FINANCE would convert cleanly", "FINANCE would convert with 2 server
// statements failing" or "FINANCE would not convert cleanly: <why>". Files without records
// before and after are left out; a record added or removed counts as a change.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "report/DryRunReport.h"

namespace filomar {

struct PreviewLine {
  std::string text;
  bool wouldFail = false;  // a server statement that would fail, and each of its reasons
  std::vector<PreviewLine> children = {};
};

struct PreviewOfDatabase {
  std::string database;
  std::vector<PreviewLine> lines = {};  // the record files, then the letter renames, then the statements
  std::string verdict = {};
  bool convertsCleanly = false;  // clean, and no statement would fail
};

// The tree of one database's dry run report.
PreviewOfDatabase PreviewOf(const DryRunReport& report);

// One line per statement that is not blank, its further lines and the reasons it would fail
// (`wouldFail`, by index into `statements`) below it.
std::vector<PreviewLine> StatementLinesOf(const std::vector<std::string>& statements,
                                          const std::map<std::size_t, std::vector<std::string>>& wouldFail);

}  // namespace filomar
