// One column of the current row of a Recordset.
#pragma once

#include <optional>
#include <string>

namespace ado {

struct Field {
  std::string Name;
  // The value as the driver converts it to text; nullopt for SQL NULL.
  std::optional<std::string> Value;

  bool IsNull() const { return !Value.has_value(); }
  // The value as a whole number (blanks around it allowed); nullopt for NULL, for text that is
  // not a whole number, and for numbers outside the range of long.
  std::optional<long> AsLong() const;
};

}  // namespace ado
