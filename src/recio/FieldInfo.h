// A field descriptor: where one field of a record file lies in the 1536-byte record buffer and
// how its value is encoded there. The descriptors of the product's record files live in
// conffld; the record buffer accessors of Vb_io take them.
#pragma once

#include <string>

namespace filomar {

// Encodings of a field (FieldInfo::type).
constexpr short kText = 1;      // left aligned, blank padded
constexpr short kNumeric = -1;  // decimal digits, zero padded on the left

struct FieldInfo {
  short offset = 0;  // 0-based position of the first occurrence in the record buffer
  short length = 0;  // characters of one occurrence
  short type = 0;    // kText or kNumeric
  short count = 0;   // consecutive occurrences; 1 for a plain field
  short file = 0;    // file number of the file table (Vb_io.h)
  std::string caption;    // the field's name as users see it; empty for most fields
  bool shown = false;     // carried for the product's other programs; unused here
  bool dateFlag = false;  // carried for the product's other programs; unused here
};

// A descriptor whose file, length and count are all 0 was never filled.
inline bool IsInitialised(const FieldInfo& field) {
  return field.file != 0 || field.length != 0 || field.count != 0;
}

}  // namespace filomar
