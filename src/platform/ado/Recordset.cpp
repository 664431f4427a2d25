#include "platform/ado/Recordset.h"

#include <algorithm>
#include <cctype>

namespace ado {

bool Recordset::Open(const std::string& source, Connection& activeConnection) {
  Close();
  RowSet rows;
  if (!activeConnection.SendQuery(source, activeConnection.CommandTimeout, rows, "ADODB.Recordset")) return false;
  rows_ = std::move(rows);
  open_ = true;
  return true;
}

void Recordset::Close() {
  rows_ = {};
  row_ = 0;
  open_ = false;
}

void Recordset::MoveNext() {
  if (!Eof()) ++row_;
}

Field Recordset::Fields(std::size_t index) const {
  if (Eof() || index >= rows_.columns.size()) return {};
  return {rows_.columns[index], rows_.rows[row_][index]};
}

Field Recordset::Fields(std::string_view name) const {
  const auto sameName = [name](const std::string& column) {
    return std::equal(column.begin(), column.end(), name.begin(), name.end(), [](char a, char b) {
      return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
  };
  const auto it = std::find_if(rows_.columns.begin(), rows_.columns.end(), sameName);
  if (it == rows_.columns.end()) return {};
  return Fields(static_cast<std::size_t>(it - rows_.columns.begin()));
}

}  // namespace ado
