// The site's database engine, decided once at start-up from the installation record; every
// routine that sends SQL branches on it.
#pragma once

namespace filomar {

enum class Engine { SqlServer, Oracle };

// SQL Server until start-up has read the installation record.
extern Engine DbEngine;

}  // namespace filomar
