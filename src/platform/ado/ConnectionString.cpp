#include "platform/ado/ConnectionString.h"

#include <algorithm>
#include <cctype>

namespace ado {
namespace {

std::string Trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// Reads one value starting at `pos` (just after "="); leaves `pos` after the ";" that ends it.
std::string ReadValue(const std::string& text, std::size_t& pos) {
  const auto end = text.find(';', pos);
  const std::string value = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
  pos = end == std::string::npos ? text.size() : end + 1;
  return value;
}

std::optional<ProviderKind> ProviderFromName(const std::string& value) {
  const std::string name = Lower(Trimmed(value));
  const std::string base = name.substr(0, name.find('.'));
  if (base == "msdasql") return ProviderKind::Odbc;
  if (base == "msdaora") return ProviderKind::Oracle;
  return std::nullopt;
}

}  // namespace

std::string ProviderSourceName(ProviderKind provider) {
  return provider == ProviderKind::Oracle ? "Microsoft OLE DB Provider for Oracle"
                                          : "Microsoft OLE DB Provider for ODBC Drivers";
}

std::optional<ConnectionSpec> ParseConnectionString(const std::string& text) {
  ConnectionSpec target;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto equals = text.find('=', pos);
    if (equals == std::string::npos) break;
    const auto semicolon = text.find(';', pos);
    if (semicolon < equals) {  // a piece without "=" carries nothing
      pos = semicolon + 1;
      continue;
    }
    const std::string key = Lower(Trimmed(text.substr(pos, equals - pos)));
    pos = equals + 1;
    const std::string value = ReadValue(text, pos);
    if (key == "provider") {
      const auto kind = ProviderFromName(value);
      if (!kind) return std::nullopt;
      target.provider = *kind;
    } else if (key == "data source" || key == "dsn") {
      target.dataSource = value;
    } else if (key == "user id" || key == "uid") {
      target.userId = value;
    } else if (key == "password" || key == "pwd") {
      target.password = value;
    }
  }
  return target;
}

}  // namespace ado
