// ado::Recordset: the result of a query, which the product asks only whether it has rows.
//
// Open reads the whole result at once, so the recordset does not depend on its connection
// afterwards; the product reads small results only.
// EOF and BOF are spelled Eof and Bof because EOF is a macro of the C library.
#pragma once

#include <string>

#include "platform/ado/Connection.h"
#include "platform/ado/Provider.h"

namespace ado {

class Recordset {
 public:
  // Runs `source` on `activeConnection` with its CommandTimeout. On failure returns false,
  // the errors are in activeConnection.Errors() and the recordset stays closed.
  bool Open(const std::string& source, Connection& activeConnection);
  void Close();
  bool IsOpen() const { return open_; }

  // True when the result has no rows; also for a closed or failed recordset.
  bool Eof() const { return rows_.rows.empty(); }
  bool Bof() const { return rows_.rows.empty(); }
  // The whole result: column names and rows (empty for a closed or failed recordset).
  const RowSet& Rows() const { return rows_; }

 private:
  RowSet rows_;
  bool open_ = false;
};

}  // namespace ado
