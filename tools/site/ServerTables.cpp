#include "site/ServerTables.h"

#include <sqlite3.h>

#include <string>
#include <vector>

namespace site {
namespace fs = std::filesystem;

namespace {

std::string Pad(const std::string& text, std::size_t width) {
  std::string padded = text.substr(0, width);
  padded.resize(width, ' ');
  return padded;
}

// One SQLite connection; the first failing call makes every later one a no-op, and its
// message is the result.
class Server {
 public:
  explicit Server(const fs::path& file) : file_(file) {
    if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
      Fail("cannot create");
    }
  }
  ~Server() { sqlite3_close(db_); }
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  void Exec(const std::string& sql) {
    if (status_.ok() && sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail("failed: " + sql);
  }

  // Runs `sql` once with `values` bound as texts, in order.
  void Insert(const std::string& sql, const std::vector<std::string>& values) {
    if (!status_.ok()) return;
    sqlite3_stmt* statement = nullptr;
    bool ok = sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK;
    for (std::size_t i = 0; ok && i < values.size(); ++i) {
      ok = sqlite3_bind_text(statement, static_cast<int>(i + 1), values[i].data(), static_cast<int>(values[i].size()),
                             SQLITE_TRANSIENT) == SQLITE_OK;
    }
    if (ok) ok = sqlite3_step(statement) == SQLITE_DONE;
    sqlite3_finalize(statement);
    if (!ok) Fail("failed: " + sql);
  }

  Status Finish() {
    Exec("COMMIT");
    return status_;
  }

 private:
  void Fail(const std::string& what) {
    status_ = Status::Error("server " + file_.string() + ": " + what + ": " + (db_ ? sqlite3_errmsg(db_) : "out of memory"));
  }

  fs::path file_;
  sqlite3* db_ = nullptr;
  Status status_ = Status::Ok();
};

void CreateSharedTables(Server& server) {
  server.Exec(
      "CREATE TABLE std_db (db_name char(10) PRIMARY KEY, db_dir char(46), db_des char(30), db_img_dir char(30),"
      " db_prefix char(3), db_valid char(1))");
  std::string uid = "CREATE TABLE std_uid (uid_userid char(30) PRIMARY KEY, uid_name char(30), uid_pwd binary(10)";
  for (int n = 1; n <= 5; ++n) {
    const std::string p = ", uid_pw" + std::to_string(n);
    uid += p + "_date binary(6)" + p + "_flag binary(1)" + p + "_hash binary(10)";
  }
  server.Exec(uid + ", uid_pwd_key binary(10), uid_flag1 binary(1), uid_flag2 binary(1), uid_flag3 binary(1))");
  server.Exec(
      "CREATE TABLE std_udb (udb_uid char(30), udb_dbname char(10), udb_aono char(10), udb_dblevel char(10),"
      " udb_filler char(10), PRIMARY KEY (udb_uid, udb_dbname))");
  server.Exec("CREATE TABLE std_sec (sec_code binary(6) PRIMARY KEY, sec_name binary(30))");
  server.Exec(
      "CREATE TABLE std_filter (filter_name char(30) PRIMARY KEY, filter_file char(4), filter_public char(1),"
      " filter_text varchar(255))");
  server.Exec(
      "CREATE TABLE filomar_rowlock (LOCK_HANDLE integer, LOCK_TABLE varchar(30), LOCK_KEY varchar(255),"
      " LOCK_DATE datetime, LOCK_USER varchar(30), LOCK_HOST varchar(64), UNIQUE (LOCK_TABLE, LOCK_KEY))");
  server.Exec(
      "CREATE TABLE filomar_tbllock (LOCK_HANDLE integer, LOCK_TABLE varchar(30), LOCK_HOST varchar(64),"
      " LOCK_EXCLUSIVE char(1), LOCK_COUNT integer, LOCK_DATE datetime, LOCK_USER varchar(30))");
}

void FillSharedTables(Server& server, const SitePlan& plan) {
  for (const DatabaseSpec& db : plan.databases) {
    server.Insert("INSERT INTO std_db VALUES (?, ?, ?, ?, ?, ?)",
                  {Pad(db.name, 10), Pad(db.directory, 46), Pad(db.description, 30), Pad("images", 30), db.prefix, "Y"});
  }
  for (const UserSpec& user : plan.users) {
    // The protected fields are the product's own encodings; a demo site leaves them zero.
    std::string protectedFields;
    for (int n = 0; n < 5; ++n) protectedFields += ", zeroblob(6), zeroblob(1), zeroblob(10)";
    server.Insert("INSERT INTO std_uid VALUES (?, ?, zeroblob(10)" + protectedFields +
                      ", zeroblob(10), zeroblob(1), zeroblob(1), zeroblob(1))",
                  {Pad(user.id, 30), Pad(user.name, 30)});
    for (const std::string& database : user.databases) {
      server.Insert("INSERT INTO std_udb VALUES (?, ?, ?, ?, ?)",
                    {Pad(user.id, 30), Pad(database, 10), Pad("", 10), Pad(user.level, 10), Pad("", 10)});
    }
  }
  for (const auto& [code, name] : {std::pair{"000000", "EVERYONE"}, {"000010", "RESTRICTED"}, {"000020", "PERSONNEL IN CONFIDENCE"}}) {
    server.Insert("INSERT INTO std_sec VALUES (?, ?)", {code, Pad(name, 30)});
  }
  const std::vector<std::vector<std::string>> filters = {
      {"Open files", "FILE", "Y", "file_status = 'ACTIVE'"},
      {"Overdue actions", "SACT", "Y", "sact_due < today()"},
      {"My documents this year", "DOCS", "N", "doc_date >= '2004-01-01' and doc_author = user()"},
  };
  for (const auto& f : filters) {
    server.Insert("INSERT INTO std_filter VALUES (?, ?, ?, ?)", {Pad(f[0], 30), f[1], f[2], f[3]});
  }
}

void CreateDatabaseTables(Server& server, const DatabaseSpec& db, bool withRows) {
  const std::string p = db.prefix + "_";
  server.Exec("CREATE TABLE " + p + "file (file_no char(20) PRIMARY KEY, file_title varchar(100), file_status char(10), file_opened datetime)");
  server.Exec("CREATE TABLE " + p + "docs (doc_no char(20) PRIMARY KEY, doc_file_no char(20), doc_title varchar(100), doc_date datetime)");
  server.Exec("CREATE TABLE " + p + "box (box_no char(20) PRIMARY KEY, box_locn char(20), box_status char(10))");
  if (!withRows) return;
  const auto files = {"Lease of Harbour Road depot", "Board minutes 2003", "Staff handbook revision"};
  int n = 0;
  for (const char* title : files) {
    ++n;
    const std::string number = Pad("F/" + std::to_string(2000 + n), 20);
    server.Insert("INSERT INTO " + p + "file VALUES (?, ?, 'ACTIVE    ', '2003-0" + std::to_string(n) + "-15')", {number, title});
    server.Insert("INSERT INTO " + p + "docs VALUES (?, ?, ?, '2003-0" + std::to_string(n) + "-20')",
                  {Pad("D/" + std::to_string(5000 + n), 20), number, std::string("Covering letter: ") + title});
  }
  server.Insert("INSERT INTO " + p + "box VALUES (?, ?, 'ACTIVE    ')", {Pad("BOX-0001", 20), Pad("Basement bay 4", 20)});
}

}  // namespace

Status CreateEmptyServer(const fs::path& file) {
  Server server(file);
  server.Exec("BEGIN");
  // A schema change gives the file its header, so that it is a database and not an empty file.
  server.Exec("PRAGMA user_version = 1");
  return server.Finish();
}

Status WriteServerTables(const fs::path& file, const SitePlan& plan) {
  Server server(file);
  server.Exec("BEGIN");
  CreateSharedTables(server);
  FillSharedTables(server, plan);
  for (const DatabaseSpec& db : plan.databases) {
    if (db.kind != DatabaseKind::kMissing) CreateDatabaseTables(server, db, db.kind != DatabaseKind::kMinimal40);
  }
  return server.Finish();
}

}  // namespace site
