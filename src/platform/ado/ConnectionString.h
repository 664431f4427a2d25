// The parts of an ADO connection string that reach the data source.
#pragma once

#include <optional>
#include <string>

namespace ado {

enum class ProviderKind { Odbc, Oracle };

struct ConnectionSpec {
  ProviderKind provider = ProviderKind::Odbc;
  std::string dataSource;  // the ODBC data source name
  std::string userId;
  std::string password;
};

// The name that error objects carry as Source for errors of this provider.
std::string ProviderSourceName(ProviderKind provider);

// Parses "Key=Value;Key=Value": keys compare without regard to case and the blanks around
// them; a value runs to the next ";" and keeps its blanks (the product never quotes a value).
// Recognised keys: Provider (MSDASQL[.n] or MSDAORA[.n]; absent means MSDASQL), Data
// Source (or DSN), User ID (or UID), Password (or PWD); other keys, such as Persist Security
// Info, are ignored. Returns nullopt when Provider names anything else.
std::optional<ConnectionSpec> ParseConnectionString(const std::string& text);

}  // namespace ado
