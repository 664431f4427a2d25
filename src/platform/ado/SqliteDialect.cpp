#include "platform/ado/SqliteDialect.h"

#include <cctype>
#include <optional>

namespace ado {
namespace {

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }


std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (const char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

// Reads the parts of one convert(...) form from `pos`, moving `pos` past what was read.
class Reader {
 public:
  Reader(const std::string& sql, std::size_t pos) : sql_(sql), pos_(pos) {}
  std::size_t pos() const { return pos_; }

  void Blanks() {
    while (pos_ < sql_.size() && std::isspace(static_cast<unsigned char>(sql_[pos_]))) ++pos_;
  }
  bool Word(const char* word) {
    Blanks();
    std::size_t i = pos_;
    for (const char* w = word; *w != '\0'; ++w, ++i) {
      if (i >= sql_.size() || std::tolower(static_cast<unsigned char>(sql_[i])) != *w) return false;
    }
    if (i < sql_.size() && IsWordChar(sql_[i])) return false;
    pos_ = i;
    return true;
  }
  bool Char(char c) {
    Blanks();
    if (pos_ >= sql_.size() || sql_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  std::optional<std::size_t> Number() {
    Blanks();
    std::size_t n = 0, digits = 0;
    while (pos_ < sql_.size() && std::isdigit(static_cast<unsigned char>(sql_[pos_])) && digits < 5) {
      n = n * 10 + static_cast<std::size_t>(sql_[pos_++] - '0');
      ++digits;
    }
    if (digits == 0 || (pos_ < sql_.size() && std::isdigit(static_cast<unsigned char>(sql_[pos_])))) return std::nullopt;
    return n;
  }
  // A string literal with '' standing for one quote.
  std::optional<std::string> Literal() {
    Blanks();
    if (pos_ >= sql_.size() || sql_[pos_] != '\'') return std::nullopt;
    std::string text;
    for (std::size_t i = pos_ + 1; i < sql_.size(); ++i) {
      if (sql_[i] != '\'') {
        text += sql_[i];
      } else if (i + 1 < sql_.size() && sql_[i + 1] == '\'') {
        text += '\'';
        ++i;
      } else {
        pos_ = i + 1;
        return text;
      }
    }
    return std::nullopt;
  }

 private:
  const std::string& sql_;
  std::size_t pos_;
};

// convert(binary(n), 'text') or convert(char(n), 'text') at `pos`: its SQLite form, with
// `end` set past it; nullopt for anything else.
std::optional<std::string> Convert(const std::string& sql, std::size_t pos, std::size_t& end) {
  Reader r(sql, pos);
  if (!r.Word("convert") || !r.Char('(')) return std::nullopt;
  const bool binary = r.Word("binary");
  if (!binary && !r.Word("char")) return std::nullopt;
  if (!r.Char('(')) return std::nullopt;
  const std::optional<std::size_t> width = r.Number();
  if (!width || *width == 0 || !r.Char(')') || !r.Char(',')) return std::nullopt;
  std::optional<std::string> text = r.Literal();
  if (!text || !r.Char(')')) return std::nullopt;
  end = r.pos();
  text->resize(*width, binary ? '\0' : ' ');
  return binary ? "X'" + HexDigits(*text) + "'" : Quoted(*text);
}

// A binary literal 0x... at `pos` (the caller checked the word boundary before it).
std::optional<std::string> BinaryLiteral(const std::string& sql, std::size_t pos, std::size_t& end) {
  if (sql.compare(pos, 2, "0x") != 0 && sql.compare(pos, 2, "0X") != 0) return std::nullopt;
  std::size_t i = pos + 2;
  while (i < sql.size() && std::isxdigit(static_cast<unsigned char>(sql[i]))) ++i;
  if (i == pos + 2 || (i < sql.size() && IsWordChar(sql[i]))) return std::nullopt;
  std::string digits = sql.substr(pos + 2, i - pos - 2);
  if (digits.size() % 2 != 0) digits.insert(0, "0");  // SQL Server reads 0x0 as one byte 00
  end = i;
  return "X'" + digits + "'";
}

// Past the string literal (or quoted name) that starts at `pos`.
std::size_t SkipQuoted(const std::string& sql, std::size_t pos) {
  const char quote = sql[pos];
  for (std::size_t i = pos + 1; i < sql.size(); ++i) {
    if (sql[i] != quote) continue;
    if (i + 1 < sql.size() && sql[i + 1] == quote) {
      ++i;
      continue;
    }
    return i + 1;
  }
  return sql.size();
}

}  // namespace

std::string HexDigits(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (const unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 0x0F];
  }
  return hex;
}

std::string RewriteForSqlite(const std::string& sql) {
  std::string out;
  std::size_t i = 0;
  while (i < sql.size()) {
    const char c = sql[i];
    if (c == '\'' || c == '"') {
      const std::size_t end = SkipQuoted(sql, i);
      out.append(sql, i, end - i);
      i = end;
      continue;
    }
    const bool wordStart = i == 0 || !IsWordChar(sql[i - 1]);
    std::size_t end = 0;
    std::optional<std::string> replaced;
    if (wordStart && (c == 'c' || c == 'C')) replaced = Convert(sql, i, end);
    if (wordStart && c == '0') replaced = BinaryLiteral(sql, i, end);
    if (replaced) {
      out += *replaced;
      i = end;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

bool IsSqliteDbms(const std::string& dbmsName) {
  std::string lower;
  for (const char c : dbmsName) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower.find("sqlite") != std::string::npos;
}

}  // namespace ado
