#include "newdb/ServerRows.h"

#include "platform/ado/SqliteDialect.h"
#include "shared/Connection.h"
#include "shared/DbEngine.h"

namespace filomar {
namespace {

std::string Padded(std::string text, std::size_t width) {
  text.resize(width, ' ');
  return text;
}


// The administrator's protected fields (stored password and the values that go with it), as
// hexadecimal digits: one value of 10 bytes, five groups of 6, 1 and 10 bytes, one of 10 bytes
// and three one-byte zeros. They are this installation's own constants; only the product's
// programs interpret them.
std::vector<std::string> ProtectedFields() {
  std::vector<std::string> fields = {"5A3C96E10F4B27D8C361"};
  for (int group = 0; group < 5; ++group) {
    fields.push_back("000000000000");
    fields.push_back("00");
    fields.push_back("00000000000000000000");
  }
  fields.push_back("7E21B4590CA3D68F1E42");
  for (int zero = 0; zero < 3; ++zero) fields.push_back("0");
  return fields;
}

// The 22 values of the administrator's std_uid row, each made by `literal` from its digits.
std::string AdministratorRow(std::string (*literal)(const std::string& hex)) {
  std::string row = "insert into std_uid values (" + literal(ado::HexDigits(Padded(kAdministratorId, 30))) + "," +
                    literal(ado::HexDigits(Padded(kAdministratorName, 30)));
  for (const std::string& field : ProtectedFields()) row += "," + literal(field);
  return row + ")";
}

std::string SqlServerBinary(const std::string& hex) { return "0x" + hex; }
std::string OracleRaw(const std::string& hex) { return "HEXTORAW('" + hex + "')"; }

}  // namespace

std::vector<std::string> SqlServerInitialRows() {
  return {
      "INSERT INTO std_sec values(convert(binary(6),'000000'),convert(binary(30),'EVERYONE                      '))",
      AdministratorRow(SqlServerBinary),
      "insert into std_db (db_name,  db_dir,  db_des,  db_img_dir,  db_prefix, db_valid) values "
      "(0x5354414e444152442020, 'data', 'Standard initial database', 'images','std', 'Y')",
      "insert into std_udb(udb_uid,udb_dbname,udb_aono,udb_dblevel,udb_filler) values(convert(char(30),'FILOMAR'),"
      "convert(char(10),'STANDARD'),'','9','')",
  };
}

std::vector<std::string> OracleInitialRows() {
  return {
      "insert into std_sec values(std_sec_seq.nextval,HEXTORAW(RAWTOHEX('000000')),HEXTORAW(RAWTOHEX('EVERYONE      "
      "                ')))",
      AdministratorRow(OracleRaw),
      "insert into std_udb(udb_uid,udb_dbname,udb_aono,udb_dblevel,udb_filler) values(" +
          OracleRaw(ado::HexDigits(Padded(kAdministratorId, 30))) + "," + OracleRaw(ado::HexDigits(Padded("STANDARD", 10))) + "," +
          OracleRaw(ado::HexDigits(Padded("", 10))) + ",HEXTORAW(RAWTOHEX('9'))," + OracleRaw(ado::HexDigits(Padded("", 9))) + ")",
  };
}

void InsertServerRows(ado::ProviderFactory& server) {
  ServerConversation conversation(ReportInMessageBox, server);
  for (const std::string& sql : DbEngine == Engine::Oracle ? OracleInitialRows() : SqlServerInitialRows())
    conversation.Execute(sql);
}

}  // namespace filomar
