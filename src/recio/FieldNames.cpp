#include "recio/FieldNames.h"

#include "recio/conffld.h"

namespace filomar {

#define FIELD(name, row) {#name, &name, row, false}
#define SECRET(name) {#name, &name, "", true}

const std::vector<NamedField>& NamedFields() {
  static const std::vector<NamedField> table = {
      FIELD(UID_UserId, ""),
      FIELD(UID_UserName, ""),
      SECRET(UID_Password),
      FIELD(UID_Colour1, ""),
      FIELD(UID_Colour2, ""),
      FIELD(UID_Colour3, ""),
      FIELD(UID_Colour4, ""),
      FIELD(UID_Colour5, ""),
      FIELD(UID_Date, ""),
      FIELD(UID_Flag175, ""),
      FIELD(UID_Text176, ""),
      FIELD(UDB_UserId, ""),
      FIELD(UDB_DatabaseName, ""),
      FIELD(UDB_AoNumber, ""),
      FIELD(UDB_Level, ""),
      FIELD(DB_DatabaseName, ""),
      FIELD(DB_DataDirectory, ""),
      FIELD(DB_Description, ""),
      FIELD(DB_ImageDirectory, ""),
      FIELD(DB_DatabasePrefix, ""),
      FIELD(DB_Valid, ""),
      FIELD(DB_FtpServerName, ""),
      FIELD(DB_FtpPortNumber, ""),
      FIELD(DB_FtpRemotePath, ""),
      FIELD(DB_FtpUserName, ""),
      SECRET(DB_FtpPassword),
      FIELD(CONF_C00_Field3, "C00"),
      FIELD(CONF_C00_AuditDumpPath, "C00"),
      FIELD(CONF_C00_Text4, "C00"),
      FIELD(CONF_C00_Number24, "C00"),
      FIELD(CONF_C00_Flags30, "C00"),
      FIELD(CONF_C00_Flags34, "C00"),
      FIELD(CONF_C00_Number37, "C00"),
      FIELD(CONF_C00_Number43, "C00"),
      FIELD(CONF_C00_Number51, "C00"),
      FIELD(CONF_C00_Flag59, "C00"),
      FIELD(CONF_C00_Number376, "C00"),
      FIELD(CONF_C00_Number378, "C00"),
      FIELD(CONF_C00_Flag436, "C00"),
      FIELD(CONF_C00_Flag437, "C00"),
      FIELD(CONF_VersionText, "C00"),
      FIELD(CONF_C00_Flag442, "C00"),
      FIELD(CONF_C00_Texts443, "C00"),
      FIELD(CONF_C00_Code803, "C00"),
      FIELD(CONF_C00_Number813, "C00"),
      FIELD(CONF_C00_Text819, "C00"),
      FIELD(CONF_C00_Flag839, "C00"),
      FIELD(CONF_C00_Flag840, "C00"),
      FIELD(CONF_C00_Flag841, "C00"),
      FIELD(CONF_C00_Flag842, "C00"),
      FIELD(CONF_VersionNumber, "C00"),
      FIELD(CONF_C00_Number859, "C00"),
      FIELD(CONF_C00_Flag865, "C00"),
      FIELD(CONF_C00_Flag866, "C00"),
      FIELD(CONF_C00_Flag867, "C00"),
      FIELD(CONF_C00_Number868, "C00"),
      FIELD(CONF_C00_Flag869, "C00"),
      FIELD(CONF_C00_Flag870, "C00"),
      FIELD(CONF_C00_Flag871, "C00"),
      FIELD(CONF_C00_Flag872, "C00"),
      FIELD(CONF_C00_Flag873, "C00"),
      FIELD(CONF_C00_Flag874, "C00"),
      FIELD(CONF_C00_Text875, "C00"),
      FIELD(CONF_C00_Flag895, "C00"),
      FIELD(CONF_C00_Flag896, "C00"),
      FIELD(CONF_C00_Flag897, "C00"),
      FIELD(CONF_C00_Flag898, "C00"),
      FIELD(CONF_C00_Flag899, "C00"),
      FIELD(CONF_C00_Flag900, "C00"),
      FIELD(CONF_C00_Flag901, "C00"),
      FIELD(CONF_C00_Flag902, "C00"),
      FIELD(CONF_C00_Flag903, "C00"),
      FIELD(CONF_C00_Flag904, "C00"),
      FIELD(CONF_C00_Flag905, "C00"),
      FIELD(CONF_C00_Text906, "C00"),
      FIELD(CONF_C00_Number916, "C00"),
      FIELD(CONF_C00_Flag924, "C00"),
      FIELD(CONF_C00_Text925, "C00"),
      FIELD(CONF_C00_Flag935, "C00"),
      FIELD(CONF_C00_Number936, "C00"),
      FIELD(CONF_C00_Number946, "C00"),
      FIELD(CONF_C00_Number952, "C00"),
      FIELD(CONF_C00_Number1201, "C00"),
      FIELD(CONF_C00_Flag1203, "C00"),
      FIELD(CONF_RowKey, ""),
      FIELD(CONF_C04_Captions, "C04"),
      FIELD(CONF_C05_Captions, "C05"),
      FIELD(CONF_C06_Captions, "C06"),
      FIELD(CONF_C03_LetterNames40, "C03"),
      FIELD(CONF_C03_ActionSheetNames40, "C03"),
      FIELD(CONF_C03_ActionSheetNames, "C03"),
      FIELD(CONF_C13_LetterNames, "C13"),
      FIELD(CONF_C02_Counters, "C02"),
      FIELD(CONF_C09_Counters, "C09"),
      FIELD(CONF_C12_AuditDumpPath, "C12"),
      FIELD(CODE_Key, ""),
      FIELD(CODE_Type, ""),
      FIELD(CODE_Code, ""),
      FIELD(CODE_Description, ""),
      FIELD(CODE_LevelMask1, ""),
      FIELD(CODE_LevelMask2, ""),
      FIELD(CODE_Letter, ""),
      FIELD(CODE_ActionSheet, ""),
      FIELD(CAL_Year, ""),
      FIELD(CAL_Months, ""),
      FIELD(SACT_KeyText, ""),
      FIELD(SACT_KeyNumber, ""),
      FIELD(VERS_Text394, ""),
      FIELD(VERS_Text139, ""),
      FIELD(COMP_Text276, ""),
      FIELD(STOP_NoiseWord, ""),
  };
  return table;
}

#undef FIELD
#undef SECRET

std::vector<NamedField> FieldsOfRecord(short file, const std::string& key) {
  std::vector<NamedField> fields;
  for (const NamedField& named : NamedFields()) {
    const std::string row = named.row;
    if (named.field->file == file && key.compare(0, row.size(), row) == 0) fields.push_back(named);
  }
  return fields;
}

}  // namespace filomar
