#include "newdb/TemplateRun.h"

#include <unistd.h>

#include <fstream>
#include <optional>

#include "common/FrontEnd.h"
#include "platform/winapi/FileLookup.h"
#include "platform/winapi/RegularFile.h"
#include "shared/Connection.h"
#include "shared/DbEngine.h"
#include "shared/ScriptBatches.h"

namespace filomar {
namespace {

void ShowUnlessObjectMissing(const std::string& serverError, const std::string& statement, const ado::Error& error) {
  if (error.Number != ado::kObjectNotFound) ReportInMessageBox(serverError, statement, error);
}

void ShowMissingTemplate(const std::string& path) {
  FrontEnd().MsgBox("The SQL script template (TPL file) for the Database creation does not exist: \n" + path +
                        "\n\nThis template may be restored from the Filomar CD-ROM.",
                    ui::mb::OKOnly | ui::mb::Exclamation, "Create Standard Database - SQL Script");
}

bool ReadLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

// Opens `name` in `directory`, found without regard to case as on the original file system.
std::optional<std::ifstream> OpenScript(const std::string& directory, const char* name) {
  std::error_code ec;
  const auto found = winapi::ResolveNoCase(directory + name, ec);
  if (!found) return std::nullopt;
  // Only a regular file: a FIFO in the script's place would block the creation.
  const int fd = winapi::OpenRegularFile(found->string());
  if (fd < 0) return std::nullopt;
  ::close(fd);
  std::ifstream in(*found, std::ios::binary);
  if (!in) return std::nullopt;
  return in;
}

// Every batch is sent, an empty one too, and so are the lines after the last "go".
void SendBatches(std::istream& script, ServerConversation& server) {
  SplitAtGoLines([&script](std::string& line) { return ReadLine(script, line); }, kTemplateBatches,
                 [&server](const std::string& batch, bool) {
                   server.Execute(batch);
                   FrontEnd().DoEvents();
                 });
}

void RunSqlServerTemplate(const std::string& directory, ServerConversation& server) {
  if (auto script = OpenScript(directory, kSqlServerTemplate)) {
    SendBatches(*script, server);
  } else {
    ShowMissingTemplate(directory + kSqlServerTemplate);
    return;
  }
  if (auto locks = OpenScript(directory, kSqlServerLockScript)) SendBatches(*locks, server);
}

void RunOracleTemplate(const std::string& directory, ServerConversation& server) {
  if (auto script = OpenScript(directory, kOracleTemplate)) {
    std::string line;
    while (ReadLine(*script, line)) {
      server.Execute(line);
      FrontEnd().DoEvents();
    }
  } else {
    ShowMissingTemplate(directory + kOracleTemplate);
  }
  server.Execute(OracleCatalogueBlock());
}

}  // namespace

const std::string& OracleCatalogueBlock() {
  static const std::string block =
      "DECLARE\n"
      "sdb_NAME        varchar2(10);\n"
      "sdb_DIR         varchar2(46);\n"
      "sdb_DES         varchar2(30);\n"
      "sdb_IMG_DIR     varchar2(30);\n"
      "sdb_PREFIX      varchar2(3);\n"
      "sdb_VALID       varchar2(1);\n"
      "sdb_FTP_SERVER  varchar2(250);\n"
      "sdb_FTP_PORT    varchar2(10);\n"
      "sdb_FTP_PATH        varchar2(250);\n"
      "sdb_FTP_USERNAME    varchar2(50);\n"
      "sdb_FTP_USERPASSWD  varchar2(50);\n"
      "BEGIN\n"
      "   sdb_name       :='STANDARD  ';\n"
      "   sdb_dir        :=RPAD('data',46,' ');\n"
      "   sdb_des        :=RPAD('Standard initial database',30,' ');\n"
      "   sdb_img_dir    :=RPAD('images',30,' ');\n"
      "   sdb_prefix     :='std';\n"
      "   sdb_valid      :='Y';\n"
      "   sdb_FTP_SERVER :=RPAD(' ',250,' ');\n"
      "   sdb_FTP_PORT   :=RPAD(' ',10,' ');\n"
      "   sdb_FTP_PATH    :=RPAD(' ',250,' ');\n"
      "   sdb_FTP_USERNAME :=RPAD(' ',50,' ');sdb_FTP_USERPASSWD :=RPAD(' ',50,' ');\n"
      "insert into std_db (db_name,db_dir,db_des,db_img_dir,db_prefix,db_valid,db_FTP_SERVER,\n"
      "db_FTP_PORT,db_FTP_PATH,db_FTP_USERNAME,db_FTP_USERPASSWD) values\n"
      "  (HEXTORAW(RAWTOHEX(sdb_name)),HEXTORAW(RAWTOHEX(sdb_dir)),\n"
      "   HEXTORAW(RAWTOHEX(sdb_des)), HEXTORAW(RAWTOHEX(sdb_img_dir)),\n"
      "   HEXTORAW(RAWTOHEX(sdb_prefix)), HEXTORAW(RAWTOHEX(sdb_valid)),\n"
      "   HEXTORAW(RAWTOHEX(sdb_FTP_SERVER)),HEXTORAW(RAWTOHEX(sdb_FTP_PORT)),\n"
      "   HEXTORAW(RAWTOHEX(sdb_FTP_PATH)),HEXTORAW(RAWTOHEX(sdb_FTP_USERNAME)),\n"
      "   HEXTORAW(RAWTOHEX(sdb_FTP_USERPASSWD)));\n"
      "END;";
  return block;
}

void RunTemplate(const std::string& programDirectory, ado::ProviderFactory& server) {
  ServerConversation conversation(ShowUnlessObjectMissing, server);
  if (DbEngine == Engine::Oracle) {
    RunOracleTemplate(programDirectory, conversation);
  } else {
    RunSqlServerTemplate(programDirectory, conversation);
  }
}

}  // namespace filomar
