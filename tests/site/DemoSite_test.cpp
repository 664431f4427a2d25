// A demo site as later tests rely on it: every catalogued database readable through the record
// layer at its version, the administrator's level, the embedded engine's DSN, and dumps.
#include "support/DemoSite.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/copylib/InstallRecordFile.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"

namespace {
using namespace filomar;
using testing_support::DemoSite;
using testing_support::DemoSiteOptions;
using testing_support::RunSiteTool;
namespace fs = std::filesystem;

DemoSiteOptions Options(std::size_t records) {
  DemoSiteOptions options;
  options.records = records;
  return options;
}

// The record layer pointed at a site for the length of a test.
class SiteReader {
 public:
  explicit SiteReader(const fs::path& site) : home_("FILOMAR_HOME", site.string()), ipc_("FILOMAR_IPC_DIR", (ipcDir_.path() / "ipc").string()) {
    InitFileTable();
    InitFieldTable();
    vb_io_connect(0, handle_);
  }
  ~SiteReader() { vb_io_disconnect(0, handle_); }

  void Select(std::string directory, std::string prefix) { vb_io_setDirectory(handle_, directory, prefix); }

  // The text of `field` in the record of `file` whose key `keyField` holds `key`; vb_io_erc
  // tells whether it was found.
  std::string Read(short file, const FieldInfo& keyField, const std::string& key, const FieldInfo& field) {
    vb_io_open(file, "");
    if (vb_io_erc != 0) return {};
    ClearRecord(file);
    PutField(keyField, key);
    vb_io_read(file, 0, 0);
    const short status = vb_io_erc;
    const std::string text = status == 0 ? GetText(field) : "";
    vb_io_close(file);
    vb_io_erc = status;
    return text;
  }

  // Each database of the catalogue with its data directory and prefix.
  std::map<std::string, std::pair<std::string, std::string>> Catalogue() {
    std::map<std::string, std::pair<std::string, std::string>> databases;
    Select("data", "std");
    vb_io_open(DB_FILE, "");
    ClearRecord(DB_FILE);
    vb_io_start(DB_FILE, 0, 0, 1025);
    for (vb_io_next(DB_FILE, 0); vb_io_erc == 0; vb_io_next(DB_FILE, 0)) {
      databases[GetText(DB_DatabaseName)] = {GetText(DB_DataDirectory), GetText(DB_DatabasePrefix)};
    }
    vb_io_endstart(DB_FILE);
    vb_io_close(DB_FILE);
    return databases;
  }

  int Count(short file) {
    vb_io_open(file, "");
    std::memset(Block(file).record, 0, sizeof Block(file).record);
    vb_io_start(file, 0, 0, 1025);
    int count = 0;
    for (vb_io_next(file, 0); vb_io_erc == 0; vb_io_next(file, 0)) ++count;
    vb_io_endstart(file);
    vb_io_close(file);
    return count;
  }

 private:
  testing_support::TempDir ipcDir_;
  testing_support::ScopedEnv home_, ipc_;
  short handle_ = 0;
};

// The version code of every catalogued database; "open failed" when its store cannot be opened.
std::map<std::string, std::string> Versions(SiteReader& reader) {
  std::map<std::string, std::string> versions;
  for (const auto& [name, place] : reader.Catalogue()) {
    reader.Select(place.first, place.second);
    const std::string version = reader.Read(CONF_FILE, CONF_RowKey, "C00", CONF_VersionText);
    versions[name] = vb_io_erc == 0 ? version : "status " + std::to_string(vb_io_erc);
  }
  return versions;
}

TEST(DemoSite, EveryCatalogedDatabaseReadsAtItsVersion) {
  DemoSite site(Options(5));
  SiteReader reader(site.dir());
  const std::map<std::string, std::string> expected = {{"STANDARD", "400A"}, {"FINANCE", "400A"}, {"PERSONNEL", "400A"},
                                                        {"LEGAL", "500A"}, {"ARCHIVE", "status 85"}};
  EXPECT_EQ(Versions(reader), expected);
  EXPECT_FALSE(fs::exists(site.DataDir("archive")));

  reader.Select("finance", "fin");
  EXPECT_EQ(reader.Count(SACT_FILE), 5);
  EXPECT_EQ(reader.Count(VERS_FILE), 5);
  EXPECT_EQ(reader.Count(COMP_FILE), 5);
  EXPECT_EQ(reader.Count(MATR_FILE), 0);
  for (const char* letter : {"LetterA", "LetterC", "ActShtB"}) EXPECT_TRUE(fs::exists(site.DataDir("finance") / letter)) << letter;
}

TEST(DemoSite, AdministratorSignsOnWithLevelNineEverywhere) {
  DemoSite site(Options(1));
  SiteReader reader(site.dir());
  const auto catalogue = reader.Catalogue();
  reader.Select("data", "std");
  EXPECT_EQ(reader.Read(UID_FILE, UID_UserId, "FILOMAR", UID_Password), "FILOMAR");
  for (const auto& [name, place] : catalogue) {
    vb_io_open(UDB_FILE, "");
    ClearRecord(UDB_FILE);
    PutField(UDB_UserId, std::string("FILOMAR"));
    PutField(UDB_DatabaseName, name);
    vb_io_read(UDB_FILE, 0, 0);
    EXPECT_EQ(vb_io_erc, 0) << name;
    EXPECT_EQ(GetText(UDB_Level), "9") << name;
    vb_io_close(UDB_FILE);
  }
  // Other users have other levels.
  EXPECT_EQ(reader.Read(UID_FILE, UID_UserId, "CLERK", UID_UserId), "CLERK");
}

TEST(DemoSite, TypeGCodesCoverEveryLetterForm) {
  DemoSite site(Options(1));
  SiteReader reader(site.dir());
  reader.Select("personnel", "per");
  std::multiset<std::string> letters;
  vb_io_open(CODE_FILE, "");
  ClearRecord(CODE_FILE);
  PutField(CODE_Type, std::string("G"));
  vb_io_start(CODE_FILE, 0, 0, 1025);
  for (vb_io_next(CODE_FILE, 0); vb_io_erc == 0 && GetText(CODE_Type) == "G"; vb_io_next(CODE_FILE, 0)) {
    letters.insert(std::string(Block(CODE_FILE).record + 95, 2));
  }
  vb_io_close(CODE_FILE);
  for (const char* form : {"AB", "JJ", "C ", " B", "KB", "ab", "12", "  "}) EXPECT_EQ(letters.count(form), 1u) << form;
}

TEST(DemoSite, DsnAnswersThroughTheSqliteOdbcDriver) {
  DemoSite site(Options(1));
  testing_support::ScopedEnv odbc("ODBCINI", site.OdbcIni().string());
  ado::Connection connection;
  ASSERT_TRUE(connection.Open("Provider=MSDASQL.1;User ID=filomar;Password=x;Data Source=filomar4"));
  ado::Recordset rows;
  ASSERT_TRUE(rows.Open("select count(*) from std_db", connection));
  EXPECT_EQ(rows.Fields(std::size_t{0}).AsLong(), 5);
  // Detection finds the lock table; the saved filters are in the 4.0 layout, without an owner.
  EXPECT_TRUE(rows.Open("select * from filomar_rowlock", connection));
  EXPECT_TRUE(rows.Open("select count(*) from std_filter", connection));
  EXPECT_FALSE(rows.Open("select filter_userID from std_filter", connection));
  EXPECT_TRUE(rows.Open("select * from fin_file", connection));
}

TEST(DemoSite, InstallationRecordsArePrivateAndNameTheEngine) {
  DemoSiteOptions options = Options(1);
  options.engine = 'O';
  DemoSite site(options);
  for (const fs::path& dir : {site.dir(), site.dir() / "data"}) {
    const auto record = copylib::ReadInstallRecord(dir);
    ASSERT_TRUE(record) << dir;
    EXPECT_EQ(copylib::Describe(*record).engine, 'O');
    struct stat info {};
    ASSERT_EQ(stat((dir / "install.rec").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
  }
  EXPECT_FALSE(fs::exists(site.dir() / "FLMWIN.INI"));
}

TEST(DemoSite, DataRootOfClientSettingsHoldsTheDatabases) {
  DemoSiteOptions options = Options(1);
  options.dataRoot = "root";
  DemoSite site(options);
  EXPECT_TRUE(fs::exists(site.dir() / "root" / "data" / "std.records"));
  EXPECT_FALSE(fs::exists(site.dir() / "data" / "std.records"));
  SiteReader reader(site.dir());  // resolves "data" through FLMWIN.INI, as the program does
  EXPECT_EQ(Versions(reader).at("FINANCE"), "400A");
}

TEST(DemoSite, ManyDatabasesAreAllCataloguedAndReadable) {
  DemoSiteOptions options = Options(1);
  options.databases = 6;
  DemoSite site(options);
  SiteReader reader(site.dir());
  const auto versions = Versions(reader);
  EXPECT_EQ(versions.size(), 8u);
  for (const char* name : {"EXTRA0004", "EXTRA0005", "EXTRA0006"}) EXPECT_EQ(versions.at(name), "400A") << name;
}

TEST(DemoSite, HexDumpShowsTheVersionCodeAtItsOffset) {
  DemoSite site(Options(1));
  const auto run = RunSiteTool({"dump", site.dir().string(), "data", "std", "CONF", "--hex"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::istringstream lines(run.out);
  std::string line, c00;
  int count = 0;
  while (std::getline(lines, line)) {
    ++count;
    EXPECT_EQ(line.size(), 3072u);
    if (line.rfind("433030", 0) == 0) c00 = line;  // key "C00"
  }
  EXPECT_EQ(count, 5);
  ASSERT_FALSE(c00.empty());
  EXPECT_EQ(c00.substr(438 * 2, 8), "34303041");  // "400A"

  const auto readable = RunSiteTool({"dump", site.dir().string(), "legal", "leg", "conf"});
  EXPECT_NE(readable.out.find("key 'C13'"), std::string::npos);
  EXPECT_NE(readable.out.find("500A"), std::string::npos);
}

TEST(DemoSite, EmptySiteHasAServerWithoutTables) {
  testing_support::TempDir temp;
  const fs::path dir = temp.path() / "empty";
  ASSERT_EQ(RunSiteTool({"empty", dir.string()}).exitCode, 0);
  EXPECT_TRUE(copylib::ReadInstallRecord(dir / "data"));
  testing_support::ScopedEnv odbc("ODBCINI", (dir / "odbc.ini").string());
  ado::Connection connection;
  ASSERT_TRUE(connection.Open("Provider=MSDASQL.1;User ID=filomar;Password=x;Data Source=filomar4"));
  ado::Recordset rows;
  ASSERT_TRUE(rows.Open("select count(*) from sqlite_master", connection));
  EXPECT_EQ(rows.Fields(std::size_t{0}).AsLong(), 0);
}

}  // namespace
