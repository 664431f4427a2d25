// The Oracle lock objects: their sending (order, the stop at the first failure), and a static
// check of their PL/SQL (whose grammar tests/sqlgrammar checks): text form, parameters, the lock
// tables' names and columns, the return code of every path, and DECODE_HEX's codes.
#include "newdb/OracleLocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/FrontEnd.h"
#include "conversion/StepTable.h"
#include "shared/Connection.h"
#include "support/RecordingProvider.h"
#include "support/Screen.h"
#include "support/TempDir.h"

namespace {
using namespace filomar;
using Kind = ado::RecordedCall::Kind;

// The objects in the order they are sent, each with its parameters' names and modes in order.
const std::vector<std::string> kObjects = {
    "PROCEDURE SP_FILOMAR_ROWLOCK(V_RETURN IN OUT,V_LOCK_HANDLE IN,V_LOCK_TABLE IN,V_LOCK_KEY IN,V_LOCK_USER IN OUT,"
    "V_LOCK_HOST IN OUT)",
    "PROCEDURE SP_FILOMAR_TBLLOCK(V_RETURN IN OUT,V_LOCK_HANDLE IN,V_LOCK_TABLE IN,V_LOCK_EXCLUSIVE IN,V_LOCK_USER IN)",
    "PROCEDURE SP_FILOMAR_IS_SIGNED_ON(V_RETURN IN OUT,V_LOCK_HANDLE IN,V_USER_NAME IN)",
    "PROCEDURE SP_FILOMAR_HOSTUNLOCK(V_RETURN IN OUT)",
    "PROCEDURE SP_FILOMAR_ROWUNLOCK(V_RETURN IN OUT,V_LOCK_HANDLE IN,V_LOCK_TABLE IN,V_LOCK_KEY IN)",
    "PROCEDURE SP_FILOMAR_ROWUNLOCKALL(V_RETURN IN OUT,V_LOCK_HANDLE IN)",
    "PROCEDURE SP_FILOMAR_ROWUNLOCKTBLALL(V_RETURN IN OUT,V_LOCK_HANDLE IN,V_LOCK_TABLE IN)",
    "PROCEDURE SP_FILOMAR_TBLUNLOCK(V_RETURN IN OUT,V_LOCK_HANDLE IN,V_LOCK_TABLE IN)",
    "FUNCTION CLIENTINFO", "FUNCTION MACHINE", "PROCEDURE SP_SET_CLIENT_INFO(V_RETURN IN OUT,V_LOCK_HANDLE IN,V_COMPNAME IN)",
    "FUNCTION DECODE_HEX(HEX_CODE IN)", "FUNCTION HEXTOCHAR(HEX_VALUE IN)"};

class OracleLocksTest : public ::testing::Test {
 protected:
  testing_support::TempDir home;  // no installation record: the built-in password
  testing_support::ScopedEnv homeEnv{"FILOMAR_HOME", home.str()};
  ui::ScriptedUi screen;
  ado::RecordingProviderFactory server;
  Engine savedEngine = DbEngine;

  void SetUp() override {
    SetFrontEnd(screen);
    DbEngine = Engine::Oracle;
  }
  void TearDown() override { DbEngine = savedEngine; }
};

TEST_F(OracleLocksTest, SendsTheThirteenObjectsInOrderOnAnOracleConnection) {
  CreateOracleLockProcedures(server);
  const auto& calls = server.Calls();
  ASSERT_EQ(calls.size(), OracleLockObjects().size() + 2);
  EXPECT_TRUE(calls.front().kind == Kind::Open && calls.back().kind == Kind::Close);
  EXPECT_EQ(server.Opens().at(0).provider, ado::ProviderKind::Oracle);
  for (std::size_t i = 0; i < OracleLockObjects().size(); ++i) {
    EXPECT_TRUE(calls[i + 1].kind == Kind::Execute && calls[i + 1].timeoutSeconds == 0) << i;
    EXPECT_EQ(calls[i + 1].text, OracleLockObjects()[i].text) << i;
  }
  EXPECT_TRUE(screen.Shown().empty());
}

TEST_F(OracleLocksTest, AFailureShowsEachErrorAndSendsNothingAfterIt) {
  const ado::Error compile{-2147217900, "ORA-24344: success with compilation error", "OraOLEDB", "42000", 24344};
  const ado::Error second{-2147217900, "ORA-06550: line 1", "OraOLEDB", "", 6550};
  server.FailWhen([](const std::string& sql) { return sql.find("SP_FILOMAR_IS_SIGNED_ON") != std::string::npos; },
                  {compile, second});
  CreateOracleLockProcedures(server);

  EXPECT_EQ(server.Statements().size(), 3u);
  EXPECT_EQ(server.Calls().back().kind, Kind::Close);
  const std::uint16_t critical = ui::mb::OKOnly | ui::mb::Critical;
  ASSERT_EQ(screen.Shown().size(), 2u);
  EXPECT_EQ(testing_support::BoxAt(screen, 0), testing_support::Box(ServerError(compile), "Error", critical));
  EXPECT_EQ(testing_support::BoxAt(screen, 1), testing_support::Box(ServerError(second), "Error", critical));

  server.FailOpen({second});  // a refused connection is the first failure: nothing is sent
  CreateOracleLockProcedures(server);
  EXPECT_EQ(server.Statements().size(), 3u);
  ASSERT_EQ(screen.Shown().size(), 3u);
  EXPECT_EQ(screen.Shown()[2].text, ServerError(second));
}

// The conversion's Oracle step creates the objects for every database, through its own server.
TEST_F(OracleLocksTest, EveryOracleConversionSendsThemThroughTheStepsServer) {
  ConversionLog log;
  frmProgress progress;
  StepContext context{log, "SALES", "SAL", server, progress};
  for (const Step& step : ProductStepTable()) {
    for (const StepRoutine& routine : step.routines) {
      if (routine.name != "CreateOracleLockProcedures") continue;
      EXPECT_TRUE(Applies(step, Engine::Oracle, "STANDARD") && Applies(step, Engine::Oracle, "SALES"));
      EXPECT_FALSE(Applies(step, Engine::SqlServer, "SALES"));
      routine.run(context);
    }
  }
  EXPECT_EQ(server.Statements().size(), kObjects.size());
}

struct Token {
  bool literal = false;  // a '...' text without its quotes; other tokens are upper-cased
  std::string text;
  bool Is(const char* s) const { return !literal && text == s; }
};
using Tokens = std::vector<Token>;

// Words, string literals and single punctuation characters; comments dropped.
Tokens Lex(std::string_view sql) {
  Tokens tokens;
  const auto word = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; };
  for (std::size_t i = 0; i < sql.size();) {
    if (std::isspace(static_cast<unsigned char>(sql[i]))) {
      ++i;
    } else if (sql.substr(i, 2) == "--") {
      i = std::min(sql.find('\n', i), sql.size());
    } else if (sql[i] == '\'') {
      Token t{true, ""};
      for (++i; sql.at(i) != '\'' || sql.substr(i, 2) == "''"; ++i) t.text += sql[i] == '\'' ? sql[i++] : sql[i];
      tokens.push_back(t), ++i;
    } else {
      Token t{false, std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(sql[i++]))))};
      while (word(t.text[0]) && i < sql.size() && word(sql[i])) t.text += static_cast<char>(std::toupper(sql[i++]));
      tokens.push_back(t);
    }
  }
  return tokens;
}

// The comma-separated arguments of the parenthesis opened at t[open]; `close` is set to its end.
std::vector<Tokens> Arguments(const Tokens& t, std::size_t open, std::size_t& close) {
  std::vector<Tokens> args(1);
  for (int depth = 0; open < t.size(); ++open) {
    if (t[open].Is("(") && depth++ == 0) continue;
    if (t[open].Is(")") && --depth == 0) break;
    if (depth == 1 && t[open].Is(",")) args.emplace_back();
    else args.back().push_back(t[open]);
  }
  close = open;
  return args;
}

const std::map<std::string, std::set<std::string>> kLockTables = {
    {"FILOMAR_ROWLOCK", {"LOCK_HANDLE", "LOCK_TABLE", "LOCK_KEY", "LOCK_DATE", "LOCK_USER", "LOCK_HOST"}},
    {"FILOMAR_TBLLOCK", {"LOCK_HANDLE", "LOCK_TABLE", "LOCK_HOST", "LOCK_EXCLUSIVE", "LOCK_COUNT", "LOCK_DATE", "LOCK_USER"}}};

// Only the two lock tables; each statement on one table names only that table's columns, and
// every insert fills each of its table's columns with one value.
void ExpectLockTablesAndColumns(const Tokens& t) {
  for (std::size_t start = 0, end; start < t.size(); start = end + 1) {
    for (end = start; end < t.size() && !t[end].Is(";");) ++end;
    std::set<std::string> tables, columns;
    for (std::size_t i = start; i < end; ++i) {
      if (t[i].literal) continue;
      if (t[i].text.starts_with("FILOMAR_") && tables.insert(t[i].text).second) {
        EXPECT_TRUE(kLockTables.count(t[i].text)) << t[i].text;
      }
      if (t[i].text.starts_with("LOCK_")) columns.insert(t[i].text);
      if (!t[i].Is("INTO") || !kLockTables.count(t[i + 1].text)) continue;
      std::size_t close;
      std::set<std::string> named;
      for (const auto& column : Arguments(t, i + 2, close)) named.insert(column.at(0).text);
      EXPECT_EQ(named, kLockTables.at(t[i + 1].text));
      EXPECT_TRUE(t.at(close + 1).Is("VALUES"));
      EXPECT_EQ(Arguments(t, close + 2, close).size(), named.size());
    }
    if (tables.size() != 1 || !kLockTables.count(*tables.begin())) continue;
    for (const auto& c : columns) EXPECT_TRUE(kLockTables.at(*tables.begin()).count(c)) << c << " of " << *tables.begin();
  }
}


// Each object's head as written (kind and name, case included), its parameters, and lines
// ended by line feeds alone with none after the last.
TEST(OracleLockTexts, HeadsParametersTablesAndColumns) {
  const auto objects = OracleLockObjects();
  ASSERT_EQ(objects.size(), kObjects.size());
  for (std::size_t n = 0; n < objects.size(); ++n) {
    const std::string_view text = objects[n].text;
    SCOPED_TRACE(objects[n].name);
    EXPECT_TRUE(text.starts_with("CREATE OR REPLACE " + kObjects[n].substr(0, kObjects[n].find('('))));
    EXPECT_TRUE(text.find('\r') == std::string::npos && text.back() != '\n');
    const Tokens t = Lex(text);
    ExpectLockTablesAndColumns(t);
    std::string signature = t.at(3).text + " " + t.at(4).text, separator = "(";
    std::size_t close;
    for (const auto& p : t.at(5).Is("(") ? Arguments(t, 5, close) : std::vector<Tokens>{}) {
      signature += std::exchange(separator, ",") + p.at(0).text;
      for (std::size_t i = 1; i < p.size() && (p[i].Is("IN") || p[i].Is("OUT")); ++i) signature += " " + p[i].text;
    }
    EXPECT_EQ(signature + (separator == "," ? ")" : ""), kObjects[n]);
    EXPECT_EQ(t[4].text, objects[n].name);
  }
}

}  // namespace

// ---- the return codes: every path out of each object, with the value v_return has there

// Walks an object's PL/SQL once, carrying the set of paths that reach each statement.
class PlSqlPaths {
 public:
  explicit PlSqlPaths(Tokens t) : t_(std::move(t)) {
    for (std::size_t i = 1; i + 1 < t_.size(); ++i)
      if (t_[i].Is("EXCEPTION") && t_[i + 1].Is(";")) userExceptions_.insert(t_[i - 1].text);
    while (i_ < t_.size() && !t_[i_].Is("BEGIN")) ++i_;
  }

  // "<where v_return was last set> -> <value>" for every way out of the object; where it was
  // not set on the way, "(not set) -> <how the path ends>".
  std::set<std::string> Exits() {
    std::set<std::string> exits;
    for (const Path& p : Statement("", {Path{}})) {
      const std::string end = p.how == Path::kRaise ? "raises " + p.raised : "ends";
      exits.insert(p.set ? p.where + " -> " + p.value : "(not set) -> " + end);
    }
    return exits;
  }

 private:
  struct Path {
    enum How { kFall, kReturn, kRaise } how = kFall;
    std::string raised;
    bool set = false;  // v_return assigned on the way
    std::string where, value;
    auto operator<=>(const Path&) const = default;
  };
  using Paths = std::set<Path>;

  bool At(const char* word) const { return i_ < t_.size() && t_[i_].Is(word); }
  bool Take(const char* word) { return At(word) && ++i_; }
  std::string Until(const char* word) {
    std::string text;
    for (; i_ < t_.size() && !t_[i_].Is(word); ++i_) text += (text.empty() ? "" : " ") + t_[i_].text;
    ++i_;
    return text;
  }
  // The words of a condition or a handler's exception list, without OR.
  std::vector<std::string> Words(const char* until) {
    std::vector<std::string> list;
    std::istringstream words(Until(until));
    for (std::string w; words >> w;)
      if (w != "OR") list.push_back(w);
    return list;
  }

  // The statements up to the end of their list; paths that left earlier pass by unchanged.
  Paths List(const std::string& where, Paths in) {
    while (!At("END") && !At("EXCEPTION") && !At("WHEN") && !At("ELSIF") && !At("ELSE") && i_ < t_.size()) {
      Paths falling, out;
      for (const Path& p : in) (p.how == Path::kFall ? falling : out).insert(p);
      out.merge(Statement(where, std::move(falling)));
      in = std::move(out);
    }
    return in;
  }

  // One statement, parsed even when no path reaches it; `where` names the branches and
  // handlers around it ("body" at the top).
  Paths Statement(const std::string& where, Paths in) {
    const auto inside = [&where](const std::string& label) { return where.empty() ? label : where + " > " + label; };
    if (Take("BEGIN")) return Block(where, List(where, in), inside);
    Paths out;
    if (Take("IF")) {  // a branch is named by its condition's first word
      std::string label = "IF " + Words("THEN").at(0);
      bool hasElse = false;
      for (;;) {
        out.merge(List(inside(label), in));
        if (Take("ELSIF")) label = "ELSIF " + Words("THEN").at(0);
        else if (Take("ELSE")) label = "ELSE", hasElse = true;
        else break;
      }
      if (!hasElse) out.insert(in.begin(), in.end());
      Until(";");  // END IF
    } else if (At("FOR") || At("WHILE") || At("LOOP")) {  // once, or not at all
      Until("LOOP");
      out = List(where, in);
      out.insert(in.begin(), in.end());
      Until(";");  // END LOOP
    } else if (At("RETURN") || At("RAISE")) {
      const Path::How how = Take("RETURN") ? Path::kReturn : (++i_, Path::kRaise);
      const std::string raised = Until(";");
      for (Path p : in) p.how = how, p.raised = how == Path::kRaise ? raised : "", out.insert(p);
    } else if (At("V_RETURN") && i_ + 2 < t_.size() && t_[i_ + 1].Is(":") && t_[i_ + 2].Is("=")) {
      i_ += 3;
      std::string value = Until(";");
      std::erase(value, ' ');
      for (Path p : in) p.set = true, p.where = where.empty() ? "body" : where, p.value = value, out.insert(p);
    } else {
      Until(";");
      out = std::move(in);
    }
    return out;
  }

  // The handlers of a block whose body gave `body`. A raised exception goes to the handler
  // naming it, else to WHEN OTHERS. A handler of an exception the server raises is entered
  // from any statement of the body, with v_return as it stood there: only what the handler
  // itself sets counts.
  template <typename Inside>
  Paths Block(const std::string& where, const Paths& body, const Inside& inside) {
    Take("EXCEPTION");
    struct Handler { std::vector<std::string> names; std::size_t at; Paths in; };
    std::vector<Handler> handlers;
    while (Take("WHEN")) handlers.push_back({Words("THEN"), i_, {}}), List(where, {});
    Until(";");  // END and the block's name, if any
    const std::size_t end = i_;
    const auto handles = [](const Handler& h, const std::string& name) { return std::ranges::count(h.names, name) > 0; };
    Paths out;
    for (Path p : body) {
      Handler* to = nullptr;
      for (Handler& h : handlers)
        if (p.how == Path::kRaise && (handles(h, p.raised) || (!to && handles(h, "OTHERS")))) to = &h;
      if (!to) {
        out.insert(p);
        continue;
      }
      p.how = Path::kFall, p.raised.clear();
      to->in.insert(p);
    }
    for (Handler& h : handlers) {
      const std::string label = "WHEN " + h.names.front();
      if (!std::ranges::all_of(h.names, [this](const std::string& n) { return userExceptions_.count(n) > 0; }))
        h.in.insert(Path{Path::kFall, "", true, "(as before " + label + ")", "?"});
      i_ = h.at;
      out.merge(List(inside(label), h.in));
    }
    i_ = end;
    return out;
  }

  const Tokens t_;
  std::size_t i_ = 0;
  std::set<std::string> userExceptions_;
};

// Each path out, named by the handlers and branches around the last assignment, with the code
// of its outcome: 1 granted, 0 refused for the row lock; 1 granted, 0 refused, -1 conflict or
// failure for the table lock; the unlocks' "done" 0 or 1 and "failure" -1 or 0 as each one's
// contract has them. Where the procedures' outcome leaves the caller's value open (a lost race
// after a stale clean-up, a shared request on an exclusively locked table) they refuse with 0;
// a single live session counts as signed on. The functions and SP_SET_CLIENT_INFO never set it.
TEST(OracleLockTexts, EveryPathOutSetsTheReturnCodeOfItsOutcome) {
  using Exits = std::set<std::string>;
  const Exits notSet = {"(not set) -> ends"};
  const std::map<std::string, Exits> expected = {
      {"SP_FILOMAR_ROWLOCK",
       {"WHEN NO_DATA_FOUND -> 1",                                             // free: taken
        "WHEN NO_DATA_FOUND > WHEN DUP_VAL_ON_INDEX > IF V_HOLDER_HOST -> 1",  // race won by the caller itself
        "WHEN NO_DATA_FOUND > WHEN DUP_VAL_ON_INDEX > ELSE -> 0",              // race lost
        "IF RTRIM -> 1",                                                       // held by the caller's host
        "IF V_LIVE -> 0",                                                      // held by a live host
        "body -> 1",                                                           // stale holder removed, taken
        "WHEN DUP_VAL_ON_INDEX -> 0",                                          // race lost after the clean-up
        "WHEN OTHERS -> 0"}},
      {"SP_FILOMAR_TBLLOCK",
       {"WHEN E_EXCLUSIVE -> 1", "WHEN E_EXCLUSIVE > WHEN DUP_VAL_ON_INDEX > IF V_ROW_HOST -> 1",
        "WHEN E_EXCLUSIVE > WHEN DUP_VAL_ON_INDEX > ELSE -> -1",  // conflict
        "WHEN E_EXCLUSIVE > WHEN OTHERS -> 0",
        "WHEN E_PROCESS_LOCK > IF V_LOCK_EXCLUSIVE -> 0",  // exclusive asked, the table has locks
        "WHEN E_PROCESS_LOCK > ELSE > IF V_ROWS -> 1",     // shared granted
        "WHEN E_PROCESS_LOCK > ELSE > ELSE -> 0",          // shared asked, exclusively locked
        "WHEN OTHERS -> -1"}},
      {"SP_FILOMAR_IS_SIGNED_ON", {"WHEN E_SIGNED_ON_OK -> 1", "WHEN E_NOT_SIGNED_ON -> 0", "WHEN OTHERS -> -1"}},
      {"SP_FILOMAR_HOSTUNLOCK", {"body -> 0", "WHEN OTHERS -> -1"}},
      {"SP_FILOMAR_ROWUNLOCK", {"body -> 0", "WHEN OTHERS -> -1"}},
      {"SP_FILOMAR_ROWUNLOCKALL", {"body -> 1", "WHEN OTHERS -> 0"}},
      {"SP_FILOMAR_ROWUNLOCKTBLALL", {"body -> 1", "WHEN OTHERS -> 0"}},
      {"SP_FILOMAR_TBLUNLOCK", {"IF SQL -> 0", "body -> 1", "WHEN OTHERS -> 0"}},  // exclusive, shared released
      {"CLIENTINFO", notSet}, {"MACHINE", notSet}, {"SP_SET_CLIENT_INFO", notSet}, {"DECODE_HEX", notSet},
      {"HEXTOCHAR", notSet}};
  ASSERT_EQ(OracleLockObjects().size(), expected.size());
  for (const auto& object : OracleLockObjects()) EXPECT_EQ(PlSqlPaths(Lex(object.text)).Exits(), expected.at(std::string(object.name))) << object.name;
}


// DECODE_HEX's list against the codes it must decode, in upper case: printable 20-7E but the
// double quote (unlisted) and the comma (the empty text, NULL to Oracle), tab, line feed,
// carriage return, FE and FF; every other code unlisted, so NULL. No code twice, no default.
TEST(OracleLockTexts, DecodeHexListsExactlyTheCodesItShould) {
  const auto objects = OracleLockObjects();
  const auto decodeHex = std::ranges::find(objects, std::string_view("DECODE_HEX"), &OracleObject::name);
  ASSERT_NE(decodeHex, objects.end());
  const Tokens t = Lex(decodeHex->text);
  const auto decode = std::ranges::find_if(t, [](const Token& k) { return k.Is("DECODE"); });
  std::size_t close;
  const auto args = Arguments(t, static_cast<std::size_t>(decode - t.begin()) + 1, close);
  ASSERT_EQ(args.size() % 2, 1u);  // the code, then pairs of code and character
  // Each listed code with its character; a code or a value of another form is listed in <>.
  std::map<std::string, std::string> listed, expected;
  for (std::size_t i = 1; i + 1 < args.size(); i += 2) {
    const Tokens &code = args[i], &value = args[i + 1];
    const std::string character =
        value.size() == 4 && value[0].Is("CHR") ? std::string(1, static_cast<char>(std::stoi(value[2].text)))
        : value.size() == 1 && value[0].literal ? value[0].text
                                                : "<" + value[0].text + ">";
    const std::string key = code.size() == 1 && code[0].literal ? code[0].text : "<" + code[0].text + ">";
    EXPECT_TRUE(listed.emplace(key, character).second) << "listed twice: " << key;
  }
  for (int code = 0; code < 256; ++code) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", code);
    if ((code >= 0x20 && code <= 0x7E && code != 0x22) || code == 9 || code == 10 || code == 13 || code >= 0xFE)
      expected[hex] = code == 0x2C ? "" : std::string(1, static_cast<char>(code));
  }
  EXPECT_EQ(listed, expected);
}
