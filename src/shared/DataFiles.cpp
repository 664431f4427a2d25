#include "shared/DataFiles.h"

#include "common/Text.h"

namespace filomar {
namespace {

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

bool IsLetterFileName(const std::string& name) {
  const std::string start = UpperCp1252(name.substr(0, 6));
  return start == "LETTER" || start == "ACTSHT";
}

bool BelongsToRecordStore(const std::string& name) {
  const std::string upper = UpperCp1252(name);
  for (const char* end : {".RECORDS", ".RECORDS.LOCK", ".RECORDS-WAL", ".RECORDS-SHM", ".RECORDS-JOURNAL"})
    if (EndsWith(upper, end)) return true;
  return false;
}

}  // namespace filomar
