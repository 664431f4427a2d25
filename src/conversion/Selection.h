// The rule that turns the command line's choice of databases (--database NAME..., --all) into
// the databases of the main window's list a run takes; the batch run and the dry run both
// take theirs through it.
#pragma once

#include <string>
#include <vector>

#include "conversion/DBSelect.h"

namespace filomar {

struct Selection {
  std::vector<std::string> chosen;     // the list's names (as the list holds them), in list order
  std::vector<std::string> notListed;  // the wanted names the list does not hold, as given, in order
};

// With `all`, every entry of `list`; else the entries whose name is one of `wanted` (names as
// typed, in UTF-8, compared with the list's Windows-1252 names without regard to case). Each
// wanted name the list does not hold is in notListed, as often as it was given.
Selection ChooseDatabases(const std::vector<DBSelect::ListEntry>& list, const std::vector<std::string>& wanted, bool all);

}  // namespace filomar
