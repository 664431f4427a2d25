// ado::Recordset: the rows of a query, read forward.
//
// Open reads the whole result at once, so the recordset does not depend on its connection
// afterwards; the product reads small results only. The cursor starts on the first row.
// EOF and BOF are spelled Eof and Bof because EOF is a macro of the C library.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/ado/Connection.h"
#include "platform/ado/Field.h"
#include "platform/ado/Provider.h"

namespace ado {

class Recordset {
 public:
  // Runs `source` on `activeConnection` with its CommandTimeout. On failure returns false,
  // the errors are in activeConnection.Errors() and the recordset stays closed.
  bool Open(const std::string& source, Connection& activeConnection);
  void Close();
  bool IsOpen() const { return open_; }

  // True past the last row; also for an empty, closed or failed recordset.
  bool Eof() const { return row_ >= rows_.rows.size(); }
  // True when no row lies before or at the cursor: only for an empty, closed or failed recordset.
  bool Bof() const { return rows_.rows.empty(); }
  // Steps to the next row; at Eof it stays there.
  void MoveNext();

  std::size_t FieldCount() const { return rows_.columns.size(); }
  // The column of the current row by position (from 0) or by name (without regard to case).
  // A column that does not exist, or any column at Eof, reads as an unnamed NULL field.
  Field Fields(std::size_t index) const;
  Field Fields(std::string_view name) const;

 private:
  RowSet rows_;
  std::size_t row_ = 0;
  bool open_ = false;
};

}  // namespace ado
