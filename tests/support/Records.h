// Writing the product's records in tests, through the record layer, on the database the
// record library has selected.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "recio/FieldInfo.h"

namespace testing_support {

// `text` blank padded, or cut, to `width` bytes, as the record fields hold it.
inline std::string Padded(std::string text, std::size_t width) {
  text.resize(width, ' ');
  return text;
}

using FieldValues = std::vector<std::pair<const filomar::FieldInfo*, std::string>>;

// Inserts one record into `file` (opened and closed here); a failure fails the test.
void InsertRecord(short file, const FieldValues& fields);

// Catalogues a database in STANDARD's DB file and, unless `version` is empty, writes its CONF
// C00 row. The STANDARD database is selected afterwards.
void CatalogueDatabase(const std::string& name, const std::string& directory, const std::string& prefix,
                       const std::string& version);

// Rewrites the version code of the selected database's CONF C00 row.
void SetVersionCode(const std::string& version);

// Connects to the record library (STANDARD selected) for the life of the object.
class LibraryConnection {
 public:
  LibraryConnection();
  ~LibraryConnection();
  LibraryConnection(const LibraryConnection&) = delete;
  LibraryConnection& operator=(const LibraryConnection&) = delete;
};

}  // namespace testing_support
