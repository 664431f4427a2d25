// One error object of a connection's Errors collection, with the numbers the product tests.
#pragma once

#include <string>

namespace ado {

// Error numbers as the OLE DB providers report them (HRESULTs as signed 32-bit values).
inline constexpr long kObjectNotFound = -2147217865;     // table or view does not exist
inline constexpr long kStatementFailed = -2147217900;    // any other refused statement
inline constexpr long kConnectionFailed = -2147467259;   // the data source refused the connection
inline constexpr long kProviderNotFound = -2146824582;   // unknown Provider= in the connection string
inline constexpr long kConnectionNotOpen = -2146824579;  // statement sent on a closed connection

struct Error {
  long Number = 0;
  std::string Description;
  std::string Source;       // the provider's name, or the ADO object that raised the error
  std::string SQLState;     // five characters from the driver; empty for ADO's own errors
  long NativeError = 0;     // the driver's (or server's) own error code
};

}  // namespace ado
