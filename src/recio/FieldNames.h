// The field descriptors of conffld by their names, for reports that say which fields of a
// record differ. CONF rows lay out the buffer each in their own way: a CONF field belongs to
// one row ("C00", "C03", ...), and describes a record only when the record's key is that row.
#pragma once

#include <string>
#include <vector>

#include "recio/FieldInfo.h"

namespace filomar {

struct NamedField {
  const char* name;          // as conffld names it: "CONF_VersionText"
  const FieldInfo* field;
  const char* row;           // the CONF row it belongs to; "" for every record of its file
  bool secret;               // a password: its value is never shown
};

// Every descriptor of conffld, in the order conffld declares them. Their places are those
// InitFieldTable gave them.
const std::vector<NamedField>& NamedFields();

// The named fields that describe a record of `file` whose key begins with `key`.
std::vector<NamedField> FieldsOfRecord(short file, const std::string& key);

}  // namespace filomar
