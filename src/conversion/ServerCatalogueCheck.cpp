#include "conversion/ServerCatalogueCheck.h"

#include <cctype>
#include <cstddef>

#include "shared/Connection.h"

namespace filomar {
namespace {

using Tokens = std::vector<std::string>;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '#' || c == '@' || c == '$'; }

// The words and punctuation of `sql`, without comments and string literals; a quoted name
// ("x" or [x]) becomes the bare name.
Tokens Tokenize(const std::string& sql) {
  Tokens tokens;
  for (std::size_t i = 0; i < sql.size();) {
    const char c = sql[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (sql.compare(i, 2, "--") == 0) {
      i = sql.find('\n', i);
      if (i == std::string::npos) break;
    } else if (sql.compare(i, 2, "/*") == 0) {
      i = sql.find("*/", i + 2);
      if (i == std::string::npos) break;
      i += 2;
    } else if (c == '\'') {
      for (++i; i < sql.size(); ++i)
        if (sql[i] == '\'' && (i + 1 >= sql.size() || sql[++i] != '\'')) break;
      tokens.push_back("''");
    } else if (c == '"' || c == '[') {
      const std::size_t end = sql.find(c == '"' ? '"' : ']', i + 1);
      tokens.push_back(sql.substr(i + 1, (end == std::string::npos ? sql.size() : end) - i - 1));
      i = end == std::string::npos ? sql.size() : end + 1;
    } else if (IsNameChar(c)) {
      std::size_t end = i;
      while (end < sql.size() && IsNameChar(sql[end])) ++end;
      tokens.push_back(sql.substr(i, end - i));
      i = end;
    } else {
      tokens.emplace_back(1, c);
      ++i;
    }
  }
  return tokens;
}

bool Is(const Tokens& t, std::size_t i, const char* word) { return i < t.size() && Lower(t[i]) == Lower(word); }

// The name at `i`, a qualified one (schema.name) as its last part; `i` moves past it.
std::string NameAt(const Tokens& t, std::size_t& i) {
  if (i >= t.size()) return "";
  std::string name = t[i++];
  while (Is(t, i, ".") && i + 1 < t.size()) name = t[i + 1], i += 2;
  return name;
}

// Words that open a constraint or a clause where a column name could stand.
bool IsConstraintWord(const std::string& word) {
  for (const char* w : {"constraint", "primary", "foreign", "unique", "check", "key", "index"})
    if (Lower(word) == w) return true;
  return false;
}

// The first name of each comma-separated item of the parenthesised list that opens at `i`
// (a "("): the columns of a column list or a table definition; constraints left out.
std::vector<std::string> ListedNames(const Tokens& t, std::size_t i) {
  std::vector<std::string> names;
  int depth = 0;
  bool itemStart = false;
  for (; i < t.size(); ++i) {
    if (t[i] == "(") {
      if (++depth == 1) itemStart = true;
      continue;
    }
    if (t[i] == ")" && --depth == 0) break;
    if (depth == 1 && t[i] == ",") {
      itemStart = true;
      continue;
    }
    if (depth == 1 && itemStart && !IsConstraintWord(t[i])) names.push_back(t[i]);
    itemStart = false;
  }
  return names;
}

// The columns that ALTER TABLE ... ADD names from `i` on: "(c type, d type)", or "c type, d
// type" up to the end of the statement (a ";" or the next statement's first word).
std::vector<std::string> AddedColumns(const Tokens& t, std::size_t i) {
  if (Is(t, i, "(")) return ListedNames(t, i);
  std::vector<std::string> names;
  int depth = 0;
  bool itemStart = true;
  for (; i < t.size() && t[i] != ";"; ++i) {
    for (const char* next : {"alter", "create", "drop", "insert", "update", "delete", "select", "go", "if", "exec"})
      if (depth == 0 && !itemStart && Is(t, i, next)) return names;
    if (t[i] == "(") ++depth;
    else if (t[i] == ")") --depth;
    else if (depth == 0 && t[i] == ",") itemStart = true;
    else if (itemStart) {
      if (Is(t, i, "column")) continue;
      if (!IsConstraintWord(t[i])) names.push_back(t[i]);
      itemStart = false;
    }
  }
  return names;
}

}  // namespace

ServerCatalogueCheck::ServerCatalogueCheck(ado::ProviderFactory& server, bool upperCaseNames)
    : connection_(server), upperCaseNames_(upperCaseNames) {
  if (!connection_.Open(GetConnectString())) Fail("The server could not be reached");
}

void ServerCatalogueCheck::Fail(const char* what) {
  if (!failure_.empty()) return;
  failure_ = what;
  for (const ado::Error& error : connection_.Errors()) failure_ += ": " + error.Description;
}

std::string ServerCatalogueCheck::Pattern(const std::string& name) const {
  if (!upperCaseNames_) return name;
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// The catalogue's names are search patterns ("_" matches any character), so each row's own
// name is compared as well.
bool ServerCatalogueCheck::TableExists(const std::string& table) {
  const std::string key = Lower(table);
  if (const auto known = tables_.find(key); known != tables_.end()) return known->second;
  ado::RowSet rows;
  if (!failure_.empty() || !connection_.OpenTablesSchema(Pattern(table), rows)) {
    Fail("The server's catalogue of tables could not be read");
    return true;  // nothing is said about what cannot be read
  }
  bool found = false;
  for (const auto& row : rows.rows) found = found || (row.size() > 2 && row[2] && Lower(*row[2]) == key);
  return tables_[key] = found;
}

std::set<std::string>& ServerCatalogueCheck::ColumnsOf(const std::string& table) {
  const std::string key = Lower(table);
  if (const auto known = columns_.find(key); known != columns_.end()) return known->second;
  std::set<std::string>& columns = columns_[key];
  ado::RowSet rows;
  if (!failure_.empty() || !connection_.OpenColumnsSchema(Pattern(table), "%", rows)) {
    Fail("The server's catalogue of columns could not be read");
    return columns;
  }
  for (const auto& row : rows.rows)
    if (row.size() > 3 && row[2] && row[3] && Lower(*row[2]) == key) columns.insert(Lower(*row[3]));
  return columns;
}

std::vector<std::string> ServerCatalogueCheck::WouldFail(const std::string& statement) {
  const Tokens t = Tokenize(statement);
  std::vector<std::string> reasons;
  for (std::size_t i = 0; i < t.size(); ++i) {
    std::size_t at = i + 2;
    if (Is(t, i, "alter") && Is(t, i + 1, "table")) {
      const std::string table = NameAt(t, at);
      if (!Is(t, at, "add")) continue;
      if (!TableExists(table)) {
        reasons.push_back("no table " + table);
        continue;
      }
      std::set<std::string>& columns = ColumnsOf(table);
      const std::vector<std::string> added = AddedColumns(t, at + 1);
      bool fails = false;
      for (const std::string& column : added) {
        if (columns.count(Lower(column)) == 0) continue;
        reasons.push_back("the column " + table + "." + column + " already exists");
        fails = true;
      }
      if (!fails)
        for (const std::string& column : added) columns.insert(Lower(column));
    } else if (Is(t, i, "create") && Is(t, i + 1, "table")) {
      const std::string table = NameAt(t, at);
      if (TableExists(table)) {
        reasons.push_back("the table " + table + " already exists");
        continue;
      }
      tables_[Lower(table)] = true;
      std::set<std::string>& columns = columns_[Lower(table)];
      columns.clear();
      for (const std::string& column : ListedNames(t, at)) columns.insert(Lower(column));
    } else if (Is(t, i, "create") && (Is(t, i + 1, "index") || Is(t, i + 1, "unique") || Is(t, i + 1, "clustered") ||
                                      Is(t, i + 1, "nonclustered") || Is(t, i + 1, "bitmap"))) {
      at = i + 1;
      while (at < t.size() && !Is(t, at, "index") && at < i + 4) ++at;
      if (!Is(t, at, "index")) continue;
      ++at;
      NameAt(t, at);  // the index's own name
      if (!Is(t, at, "on")) continue;
      ++at;
      const std::string table = NameAt(t, at);
      if (!TableExists(table)) {
        reasons.push_back("no table " + table);
        continue;
      }
      const std::set<std::string>& columns = ColumnsOf(table);
      for (const std::string& column : ListedNames(t, at))
        if (columns.count(Lower(column)) == 0) reasons.push_back("no column " + table + "." + column);
    } else if (Is(t, i, "create") && Is(t, i + 1, "sequence")) {
      const std::string sequence = NameAt(t, at);
      if (TableExists(sequence)) reasons.push_back("the name " + sequence + " is taken by a table or view");
      else tables_[Lower(sequence)] = true;
    } else if (Is(t, i, "drop") && Is(t, i + 1, "table")) {
      const std::string table = NameAt(t, at);
      tables_[Lower(table)] = false;
      columns_[Lower(table)].clear();
    }
  }
  if (!failure_.empty()) reasons.clear();
  return reasons;
}

}  // namespace filomar
