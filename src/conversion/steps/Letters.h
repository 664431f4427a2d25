// The standard letters and action sheets of the database the record library has selected:
// the 5.0 names of their files and the records that name them.
//
// In 4.0 a letter or action sheet is identified by a letter "A".."J": its file in the data
// directory is "Letter"/"ActSht" and that letter, row "C03" of CONF holds both name lists, and
// a code record of type "G" names its letter and action sheet by two letters. In 5.0 the files
// are numbered 01..10, the letter names have a row of their own ("C13") and code records hold
// indexes 00..09.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "conversion/StepContext.h"
#include "common/Variant.h"

namespace filomar::steps {

// The folder of the selected database's letter files (its data directory) as a full path
// ending in "/"; nullopt when the record library has no database selected.
std::optional<std::string> LetterDirectory();

// The 4.0 letter and action sheet files of `directory` (a full path ending in "/") and the 5.0
// name each takes, in the order the step renames them: LetterA..LetterJ to Letter01..Letter10,
// then ActShtA..ActShtJ to ActSht01..ActSht10. Only names: nothing is looked up.
struct LetterRename {
  std::string oldName, newName;
};
std::vector<LetterRename> LetterRenames(const std::string& directory);

// Renames LetterA..LetterJ and ActShtA..ActShtJ of the data directory to Letter01..Letter10
// and ActSht01..ActSht10, replacing a file that already has the new name; names are found
// without regard to case. Traces every name it looks for. A deletion or renaming that the
// file system refuses is shown under "Rename Letters": OK goes on with the next operation,
// Cancel ends the step. True when at least one file received its new name.
bool renameLetters(StepContext& ctx);

// Moves the letter names of "C03" into "C13" (adding that row when it is missing) and the
// action sheet names to the front of "C03", then rewrites the letters of the "G" code records
// as indexes. "C03" is rewritten only once the letter names are stored in "C13"; a "C13" that
// already holds letter names means an earlier run moved them, and both rows are left alone.
// The result is always an empty value.
Variant convertLettersInDB(StepContext& ctx);

}  // namespace filomar::steps
