// The dry run's report as text, as the dry run prints it (two blanks indent each level):
//
//   Dry run of FINANCE
//     file CONF: 5 records read, 7 would change (2 new, 0 removed)
//       first change, key "C00":              ... key "C12" (new): for a record added
//         CONF_VersionText: "400A" -> "500A"
//     letter LetterA -> Letter01
//     letter Letter01 -> (removed)        a file the renames replace or remove
//     statement: <first line of the statement>    (blank lines around it dropped)
//       <each further line of it>
//       would fail: the column fin_file.file_ucode1 already exists   (from the server's catalogue)
//   FINANCE would convert cleanly
//
// or, last, "FINANCE would convert with 2 server statements failing", or "FINANCE would not
// convert cleanly: <why>".
#pragma once

#include <cstddef>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "report/DryRunReport.h"

namespace filomar {

struct PreviewLine;

void WriteDryRunReport(const DryRunReport& report, std::ostream& out);
// The lines with `indent` before each, two blanks more for each level below; the texts as
// they are (a caller that shows them on a UTF-8 terminal converts first).
void WriteLines(const std::vector<PreviewLine>& lines, const std::string& indent, std::ostream& out);
// The statements as the report shows them: "<indent>statement: " before the first line of
// each, the indent and two blanks before each further line and before each "would fail: "
// reason of `wouldFail` (by index into `statements`).
void WriteStatements(const std::vector<std::string>& statements, const std::string& indent, std::ostream& out,
                     const std::map<std::size_t, std::vector<std::string>>& wouldFail = {});

}  // namespace filomar
