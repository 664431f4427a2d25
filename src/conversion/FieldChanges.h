// What differs between two versions of one record, by the names of its fields (FieldNames.h):
// the dry run shows it for the first record of each file that a conversion would change.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "report/DryRunReport.h"  // FieldChange

namespace filomar {

inline constexpr std::size_t kShownCharacters = 60;

// The fields of the record with `key` of `file` (a file number of Vb_io.h) that differ
// between `before` and `after` (whole record buffers), named fields first in conffld's order, then the differing bytes outside them as ranges (ranges less than 16 equal bytes
// apart are joined). The fields are those of the record's row (its key). A secret
// field is named with both values shown as "<hidden>".
std::vector<FieldChange> ChangedFields(short file, const std::string& key, const std::string& before,
                                       const std::string& after);

// `bytes` as ChangedFields shows a value.
std::string ShownValue(const std::string& bytes);

}  // namespace filomar
