// A static check of the Oracle lock objects' PL/SQL: block structure, parameters, the lock
// tables' names and columns, and DECODE_HEX's table against a decoder of the test's own.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <optional>
#include <set>

#include "newdb/OracleLocks.h"

namespace {
using filomar::OracleLockObjects;

struct Token {
  bool literal = false;  // a '...' text, quotes removed; otherwise upper-cased
  std::string text;
  bool Is(const char* s) const { return !literal && text == s; }
};

// Words ([A-Za-z0-9_$#]+), string literals and single punctuation characters; comments dropped.
std::vector<Token> Lex(std::string_view sql) {
  std::vector<Token> tokens;
  const auto word = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#'; };
  for (std::size_t i = 0; i < sql.size();) {
    if (std::isspace(static_cast<unsigned char>(sql[i]))) { ++i; continue; }
    if (sql.substr(i, 2) == "--") { i = std::min(sql.find('\n', i), sql.size()); continue; }
    if (sql.substr(i, 2) == "/*") { i = sql.find("*/", i) + 2; continue; }
    Token t;
    if (sql[i] == '\'') {
      t.literal = true;
      for (++i; !(sql.at(i) == '\'' && (i + 1 == sql.size() || sql[i + 1] != '\'')); ++i) {
        t.text += sql[i];
        if (sql[i] == '\'') ++i;  // '' stands for one quote
      }
      ++i;
    } else if (word(sql[i])) {
      for (; i < sql.size() && word(sql[i]); ++i) t.text += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[i])));
    } else {
      t.text = sql[i++];
    }
    tokens.push_back(t);
  }
  return tokens;
}

// The comma-separated arguments of the parenthesis opened at tokens[open], and where it closes.
std::vector<std::vector<Token>> Arguments(const std::vector<Token>& tokens, std::size_t open, std::size_t* close = nullptr) {
  std::vector<std::vector<Token>> args(1);
  int depth = 0;
  for (std::size_t i = open; i < tokens.size(); ++i) {
    if (tokens[i].Is("(") && depth++ == 0) continue;
    if (tokens[i].Is(")") && --depth == 0) {
      if (close) *close = i;
      return args;
    }
    if (depth == 1 && tokens[i].Is(",")) args.emplace_back();
    else args.back().push_back(tokens[i]);
  }
  ADD_FAILURE() << "unclosed parenthesis";
  return args;
}

std::string Joined(const std::vector<Token>& tokens) {
  std::string s;
  for (const auto& t : tokens) s += (s.empty() || t.Is(".") || t.Is("%") || s.back() == '.' || s.back() == '%' ? "" : " ") + t.text;
  return s;
}

const std::map<std::string, std::set<std::string>> kLockTables = {
    {"FILOMAR_ROWLOCK", {"LOCK_HANDLE", "LOCK_TABLE", "LOCK_KEY", "LOCK_DATE", "LOCK_USER", "LOCK_HOST"}},
    {"FILOMAR_TBLLOCK",
     {"LOCK_HANDLE", "LOCK_TABLE", "LOCK_HOST", "LOCK_EXCLUSIVE", "LOCK_COUNT", "LOCK_DATE", "LOCK_USER"}}};

// Name, mode and type of each parameter, as the header declares them.
const std::map<std::string, std::vector<std::string>> kParameters = {
    {"SP_FILOMAR_ROWLOCK",
     {"V_RETURN IN OUT SMALLINT", "V_LOCK_HANDLE IN FILOMAR_ROWLOCK.LOCK_HANDLE%TYPE",
      "V_LOCK_TABLE IN FILOMAR_ROWLOCK.LOCK_TABLE%TYPE", "V_LOCK_KEY IN FILOMAR_ROWLOCK.LOCK_KEY%TYPE",
      "V_LOCK_USER IN OUT FILOMAR_ROWLOCK.LOCK_USER%TYPE", "V_LOCK_HOST IN OUT FILOMAR_ROWLOCK.LOCK_HOST%TYPE"}},
    {"SP_FILOMAR_TBLLOCK",
     {"V_RETURN IN OUT SMALLINT", "V_LOCK_HANDLE IN FILOMAR_TBLLOCK.LOCK_HANDLE%TYPE",
      "V_LOCK_TABLE IN FILOMAR_TBLLOCK.LOCK_TABLE%TYPE", "V_LOCK_EXCLUSIVE IN FILOMAR_TBLLOCK.LOCK_EXCLUSIVE%TYPE",
      "V_LOCK_USER IN FILOMAR_TBLLOCK.LOCK_USER%TYPE"}},
    {"SP_FILOMAR_IS_SIGNED_ON",
     {"V_RETURN IN OUT SMALLINT", "V_LOCK_HANDLE IN FILOMAR_TBLLOCK.LOCK_HANDLE%TYPE",
      "V_USER_NAME IN FILOMAR_TBLLOCK.LOCK_USER%TYPE"}},
    {"SP_FILOMAR_HOSTUNLOCK", {"V_RETURN IN OUT SMALLINT"}},
    {"SP_FILOMAR_ROWUNLOCK",
     {"V_RETURN IN OUT SMALLINT", "V_LOCK_HANDLE IN FILOMAR.FILOMAR_ROWLOCK.LOCK_HANDLE%TYPE",
      "V_LOCK_TABLE IN FILOMAR.FILOMAR_ROWLOCK.LOCK_TABLE%TYPE", "V_LOCK_KEY IN FILOMAR.FILOMAR_ROWLOCK.LOCK_KEY%TYPE"}},
    {"SP_FILOMAR_ROWUNLOCKALL",
     {"V_RETURN IN OUT SMALLINT", "V_LOCK_HANDLE IN FILOMAR.FILOMAR_ROWLOCK.LOCK_HANDLE%TYPE"}},
    {"SP_FILOMAR_ROWUNLOCKTBLALL",
     {"V_RETURN IN OUT SMALLINT", "V_LOCK_HANDLE IN FILOMAR.FILOMAR_ROWLOCK.LOCK_HANDLE%TYPE",
      "V_LOCK_TABLE IN FILOMAR.FILOMAR_ROWLOCK.LOCK_TABLE%TYPE"}},
    {"SP_FILOMAR_TBLUNLOCK",
     {"V_RETURN IN OUT SMALLINT", "V_LOCK_HANDLE IN FILOMAR_TBLLOCK.LOCK_HANDLE%TYPE",
      "V_LOCK_TABLE IN FILOMAR_TBLLOCK.LOCK_TABLE%TYPE"}},
    {"CLIENTINFO", {}},
    {"MACHINE", {}},
    {"SP_SET_CLIENT_INFO",
     {"V_RETURN IN OUT SMALLINT", "V_LOCK_HANDLE IN FILOMAR_TBLLOCK.LOCK_HANDLE%TYPE",
      "V_COMPNAME IN V$SESSION.CLIENT_INFO%TYPE"}},
    {"DECODE_HEX", {"HEX_CODE IN VARCHAR2"}},
    {"HEXTOCHAR", {"HEX_VALUE IN VARCHAR2"}}};

TEST(OracleLockTexts, BlocksParametersTablesAndColumns) {
  ASSERT_EQ(OracleLockObjects().size(), kParameters.size());
  for (const auto& object : OracleLockObjects()) {
    const std::string name(object.name);
    SCOPED_TRACE(name);
    const std::vector<Token> t = Lex(object.text);
    ASSERT_GT(t.size(), 8u);
    EXPECT_EQ(Joined({t.begin(), t.begin() + 5}).substr(0, 18), "CREATE OR REPLACE ");
    EXPECT_EQ(t[4].text, name);
    EXPECT_EQ(Joined({t.end() - 3, t.end()}), "END " + name + " ;");

    // BEGIN/END, IF/END IF, LOOP/END LOOP and parentheses nest.
    std::vector<std::string> opened;
    for (std::size_t i = 0; i < t.size(); ++i) {
      const bool afterEnd = i > 0 && t[i - 1].Is("END");
      if (t[i].Is("BEGIN") || t[i].Is("(") || (!afterEnd && (t[i].Is("IF") || t[i].Is("LOOP")))) {
        opened.push_back(t[i].text);
        continue;
      }
      std::string closing;
      if (t[i].Is(")")) closing = "(";
      if (t[i].Is("END")) closing = i + 1 < t.size() && (t[i + 1].Is("IF") || t[i + 1].Is("LOOP")) ? t[i + 1].text : "BEGIN";
      if (closing.empty()) continue;
      ASSERT_FALSE(opened.empty()) << "nothing open for token " << i;
      EXPECT_EQ(opened.back(), closing) << "at token " << i;
      opened.pop_back();
    }
    EXPECT_TRUE(opened.empty());

    // The declared parameters, with their modes and types.
    std::vector<std::string> parameters;
    if (t[5].Is("(")) {
      for (const auto& p : Arguments(t, 5)) parameters.push_back(Joined(p));
    }
    EXPECT_EQ(parameters, kParameters.at(name));

    // Lock tables and columns: only the two tables, each statement naming only its table's columns,
    // and every insert filling all of its table's columns.
    for (std::size_t start = 0, end; start < t.size(); start = end + 1) {
      end = start;
      while (end < t.size() && !t[end].Is(";")) ++end;
      std::set<std::string> tables, columns;
      for (std::size_t i = start; i < end; ++i) {
        if (t[i].literal) continue;
        if (t[i].text.starts_with("FILOMAR_")) {
          EXPECT_TRUE(kLockTables.count(t[i].text)) << t[i].text;
          tables.insert(t[i].text);
        }
        if (t[i].text.starts_with("LOCK_")) columns.insert(t[i].text);
        if (t[i].Is("INTO") && kLockTables.count(t[i + 1].text)) {
          std::size_t close = 0;
          const auto named = Arguments(t, i + 2, &close);
          std::set<std::string> insertColumns;
          for (const auto& c : named) insertColumns.insert(Joined(c));
          EXPECT_EQ(insertColumns, kLockTables.at(t[i + 1].text));
          ASSERT_TRUE(t[close + 1].Is("VALUES"));
          EXPECT_EQ(Arguments(t, close + 2).size(), named.size());
        }
      }
      if (tables.size() != 1 || !kLockTables.count(*tables.begin())) continue;
      for (const auto& c : columns) EXPECT_TRUE(kLockTables.at(*tables.begin()).count(c)) << c << " in " << *tables.begin();
    }
  }
}

// DECODE_HEX's code -> character table, from its DECODE(hex_code, 'XX', value, ...).
std::map<std::string, std::optional<char>> DecodeTable(const std::vector<Token>& t) {
  std::map<std::string, std::optional<char>> table;
  std::size_t at = 0;
  while (at < t.size() && !t[at].Is("DECODE")) ++at;
  auto args = Arguments(t, at + 1);
  EXPECT_EQ(Joined(args.at(0)), "HEX_CODE");
  EXPECT_EQ(args.size() % 2, 1u) << "a default value";
  for (std::size_t i = 1; i + 1 < args.size(); i += 2) {
    const auto& key = args[i];
    const auto& value = args[i + 1];
    EXPECT_TRUE(key.size() == 1 && key[0].literal) << Joined(key);
    std::optional<char> decoded;  // Oracle's empty text is NULL
    if (value.size() == 1 && value[0].literal && value[0].text.size() == 1) {
      decoded = value[0].text[0];
    } else if (value.size() == 4 && value[0].Is("CHR")) {
      decoded = static_cast<char>(std::stoi(value[2].text));
    } else {
      EXPECT_TRUE(value.size() == 1 && value[0].literal && value[0].text.empty()) << Joined(value);
    }
    EXPECT_TRUE(table.emplace(key[0].text, decoded).second) << "listed twice: " << key[0].text;
  }
  return table;
}

// The codes as the client programs' raw columns need them, written independently of the text.
std::optional<char> ExpectedDecode(const std::string& code) {
  const bool upperHex = code.size() == 2 && std::all_of(code.begin(), code.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) || (c >= 'A' && c <= 'F');
  });
  if (!upperHex) return std::nullopt;
  const int value = std::stoi(code, nullptr, 16);
  const bool printable = value >= 0x20 && value <= 0x7E && value != '"' && value != ',';
  if (printable || value == 9 || value == 10 || value == 13 || value == 0xFE || value == 0xFF) return static_cast<char>(value);
  return std::nullopt;
}

TEST(OracleLockTexts, DecodeHexListsExactlyTheRawColumnCodes) {
  const auto& objects = OracleLockObjects();
  const auto decodeHex = std::find_if(objects.begin(), objects.end(), [](const auto& o) { return o.name == "DECODE_HEX"; });
  ASSERT_NE(decodeHex, objects.end());
  const auto table = DecodeTable(Lex(decodeHex->text));
  EXPECT_TRUE(table.count("2C")) << "the comma is listed, as the empty text";
  std::set<std::string> codes;
  for (const auto& [code, value] : table) codes.insert(code);
  for (int v = 0; v < 256; ++v) {
    char spelled[3];
    std::snprintf(spelled, sizeof spelled, "%02X", v);
    codes.insert(spelled);
    std::snprintf(spelled, sizeof spelled, "%02x", v);
    codes.insert(spelled);
  }
  for (const auto& code : codes) {
    const auto listed = table.find(code);
    EXPECT_EQ(listed == table.end() ? std::nullopt : listed->second, ExpectedDecode(code)) << code;
  }
}

}  // namespace
