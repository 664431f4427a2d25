#include "platform/ado/Recordset.h"

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
  open_ = false;
}

}  // namespace ado
