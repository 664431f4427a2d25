#include "conversion/Selection.h"

#include <algorithm>

#include "common/Cp1252.h"
#include "common/General.h"

namespace filomar {

Selection ChooseDatabases(const std::vector<DBSelect::ListEntry>& list, const std::vector<std::string>& wanted, bool all) {
  std::vector<std::string> names;  // in the list's code page
  for (const std::string& name : wanted) names.push_back(ui::Utf8ToCp1252(name));
  const auto isWanted = [&](const std::string& listed) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& name) { return SameText(listed, name); });
  };
  Selection selection;
  for (const DBSelect::ListEntry& entry : list)
    if (all || isWanted(entry.text)) selection.chosen.push_back(entry.text);
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    if (std::none_of(list.begin(), list.end(), [&](const DBSelect::ListEntry& entry) { return SameText(entry.text, names[i]); }))
      selection.notListed.push_back(wanted[i]);
  }
  return selection;
}

}  // namespace filomar
