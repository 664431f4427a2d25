// The Oracle lock objects: their sending (order, text form, the stop at the first failure), and
// a static check of their PL/SQL: block structure, parameters, and the lock tables' names and
// columns.
#include "newdb/OracleLocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
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
struct LockObject { std::string head, parameters; };
const std::vector<LockObject> kObjects = {
    {"PROCEDURE SP_FILOMAR_ROWLOCK",
     "V_RETURN IN OUT,V_LOCK_HANDLE IN,V_LOCK_TABLE IN,V_LOCK_KEY IN,V_LOCK_USER IN OUT,V_LOCK_HOST IN OUT"},
    {"PROCEDURE SP_FILOMAR_TBLLOCK", "V_RETURN IN OUT,V_LOCK_HANDLE IN,V_LOCK_TABLE IN,V_LOCK_EXCLUSIVE IN,V_LOCK_USER IN"},
    {"PROCEDURE SP_FILOMAR_IS_SIGNED_ON", "V_RETURN IN OUT,V_LOCK_HANDLE IN,V_USER_NAME IN"},
    {"PROCEDURE SP_FILOMAR_HOSTUNLOCK", "V_RETURN IN OUT"},
    {"PROCEDURE SP_FILOMAR_ROWUNLOCK", "V_RETURN IN OUT,V_LOCK_HANDLE IN,V_LOCK_TABLE IN,V_LOCK_KEY IN"},
    {"PROCEDURE SP_FILOMAR_ROWUNLOCKALL", "V_RETURN IN OUT,V_LOCK_HANDLE IN"},
    {"PROCEDURE SP_FILOMAR_ROWUNLOCKTBLALL", "V_RETURN IN OUT,V_LOCK_HANDLE IN,V_LOCK_TABLE IN"},
    {"PROCEDURE SP_FILOMAR_TBLUNLOCK", "V_RETURN IN OUT,V_LOCK_HANDLE IN,V_LOCK_TABLE IN"},
    {"FUNCTION CLIENTINFO", ""}, {"FUNCTION MACHINE", ""},
    {"PROCEDURE SP_SET_CLIENT_INFO", "V_RETURN IN OUT,V_LOCK_HANDLE IN,V_COMPNAME IN"},
    {"FUNCTION DECODE_HEX", "HEX_CODE IN"}, {"FUNCTION HEXTOCHAR", "HEX_VALUE IN"}};

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

TEST_F(OracleLocksTest, SendsTheThirteenObjectsInOrderAsLineFeedTexts) {
  CreateOracleLockProcedures(server);

  const auto& calls = server.Calls();
  ASSERT_EQ(calls.size(), kObjects.size() + 2);
  EXPECT_TRUE(calls.front().kind == Kind::Open && calls.back().kind == Kind::Close);
  EXPECT_EQ(server.Opens().at(0).provider, ado::ProviderKind::Oracle);
  for (std::size_t i = 0; i < kObjects.size(); ++i) {
    SCOPED_TRACE(kObjects[i].head);
    const ado::RecordedCall& sent = calls[i + 1];
    const std::string head = "CREATE OR REPLACE " + kObjects[i].head;
    EXPECT_TRUE(sent.kind == Kind::Execute && sent.timeoutSeconds == 0);
    EXPECT_EQ(sent.text.find_first_of(" (\n", head.size()), head.size());
    EXPECT_TRUE(sent.text.starts_with(head));
    EXPECT_EQ(sent.text.find('\r'), std::string::npos);
    EXPECT_NE(sent.text.back(), '\n');
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

// BEGIN/END, IF/END IF, LOOP/END LOOP and parentheses nest properly.
void ExpectNested(const Tokens& t) {
  std::vector<std::string> open;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const bool ends = t[i].Is("END"), construct = i + 1 < t.size() && (t[i + 1].Is("IF") || t[i + 1].Is("LOOP"));
    if (t[i].Is("BEGIN") || t[i].Is("(") || ((t[i].Is("IF") || t[i].Is("LOOP")) && !t[i - 1].Is("END"))) {
      open.push_back(t[i].text);
    } else if (ends || t[i].Is(")")) {
      const std::string opener = t[i].Is(")") ? "(" : construct ? t[i + 1].text : "BEGIN";
      ASSERT_FALSE(open.empty()) << "nothing open at token " << i;
      EXPECT_EQ(open.back(), opener) << "at token " << i;
      open.pop_back();
    }
  }
  EXPECT_TRUE(open.empty());
}

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

TEST(OracleLockTexts, BlocksParametersTablesAndColumns) {
  const auto objects = OracleLockObjects();
  ASSERT_EQ(objects.size(), kObjects.size());
  for (std::size_t n = 0; n < objects.size(); ++n) {
    const auto& object = objects[n];
    SCOPED_TRACE(object.name);
    const Tokens t = Lex(object.text);
    ExpectNested(t);
    ExpectLockTablesAndColumns(t);
    std::string parameters;
    std::size_t close;
    for (const auto& p : t.at(5).Is("(") ? Arguments(t, 5, close) : std::vector<Tokens>{}) {
      parameters += (parameters.empty() ? "" : ",") + p.at(0).text;
      for (std::size_t i = 1; i < p.size() && (p[i].Is("IN") || p[i].Is("OUT")); ++i) parameters += " " + p[i].text;
    }
    EXPECT_TRUE(kObjects[n].head.ends_with(" " + std::string(object.name)));
    EXPECT_EQ(parameters, kObjects[n].parameters);
  }
}

}  // namespace
