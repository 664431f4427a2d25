// The provider over unixODBC: the data source name, user and password of the connection
// string go to SQLConnect, statements to SQLExecDirect. Both the ODBC and the Oracle provider
// of the product are served this way; they differ only in the Source of their errors.
#pragma once

#include <memory>

#include "platform/ado/Provider.h"

namespace ado {

std::unique_ptr<Provider> MakeOdbcProvider();

// Error numbers follow ADO: a failed connection is kConnectionFailed; a statement that names a
// missing table or view is kObjectNotFound (SQLSTATE 42S02/S0002, or the driver texts "no such
// table", "ORA-00942", "Invalid object name"); any other failed statement is kStatementFailed.
long StatementErrorNumber(const std::string& sqlState, const std::string& message);

class OdbcProviderFactory : public ProviderFactory {
 public:
  std::unique_ptr<Provider> Create() override { return MakeOdbcProvider(); }
};

}  // namespace ado
