#include "recio/conffld.h"

#include <string>

#include "recio/Vb_io.h"

namespace filomar {

FieldInfo UID_UserId, UID_UserName, UID_Password, UID_Colour1, UID_Colour2, UID_Colour3,
    UID_Colour4, UID_Colour5, UID_Date, UID_Flag175, UID_Text176;

FieldInfo UDB_UserId, UDB_DatabaseName, UDB_AoNumber, UDB_Level;

FieldInfo DB_DatabaseName, DB_DataDirectory, DB_Description, DB_ImageDirectory,
    DB_DatabasePrefix, DB_Valid, DB_FtpServerName, DB_FtpPortNumber, DB_FtpRemotePath,
    DB_FtpUserName, DB_FtpPassword;

FieldInfo CONF_RowKey;
FieldInfo CONF_C00_Field3, CONF_C00_AuditDumpPath, CONF_C00_Text4, CONF_C00_Number24,
    CONF_C00_Flags30, CONF_C00_Flags34, CONF_C00_Number37, CONF_C00_Number43, CONF_C00_Number51,
    CONF_C00_Flag59, CONF_C00_Number376, CONF_C00_Number378, CONF_C00_Flag436, CONF_C00_Flag437,
    CONF_VersionText, CONF_C00_Flag442, CONF_C00_Texts443, CONF_C00_Code803, CONF_C00_Number813,
    CONF_C00_Text819, CONF_C00_Flag839, CONF_C00_Flag840, CONF_C00_Flag841, CONF_C00_Flag842,
    CONF_VersionNumber, CONF_C00_Number859, CONF_C00_Flag865, CONF_C00_Flag866, CONF_C00_Flag867,
    CONF_C00_Number868, CONF_C00_Flag869, CONF_C00_Flag870, CONF_C00_Flag871, CONF_C00_Flag872,
    CONF_C00_Flag873, CONF_C00_Flag874, CONF_C00_Text875, CONF_C00_Flag895, CONF_C00_Flag896,
    CONF_C00_Flag897, CONF_C00_Flag898, CONF_C00_Flag899, CONF_C00_Flag900, CONF_C00_Flag901,
    CONF_C00_Flag902, CONF_C00_Flag903, CONF_C00_Flag904, CONF_C00_Flag905, CONF_C00_Text906,
    CONF_C00_Number916, CONF_C00_Flag924, CONF_C00_Text925, CONF_C00_Flag935, CONF_C00_Number936,
    CONF_C00_Number946, CONF_C00_Number952, CONF_C00_Number1201, CONF_C00_Flag1203;
FieldInfo CONF_C04_Captions, CONF_C05_Captions, CONF_C06_Captions;
FieldInfo CONF_C03_LetterNames40, CONF_C03_ActionSheetNames40, CONF_C03_ActionSheetNames,
    CONF_C13_LetterNames;
FieldInfo CONF_C02_Counters, CONF_C09_Counters, CONF_C12_AuditDumpPath;

FieldInfo CODE_Key, CODE_Type, CODE_Code, CODE_Description, CODE_LevelMask1, CODE_LevelMask2,
    CODE_Letter, CODE_ActionSheet;

FieldInfo CAL_Year, CAL_Months;
FieldInfo SACT_KeyText, SACT_KeyNumber;
FieldInfo VERS_Text394, VERS_Text139, COMP_Text276;
FieldInfo STOP_NoiseWord;

namespace {

FieldInfo Text(short file, short offset, short length, std::string caption = {}) {
  return {offset, length, kText, 1, file, std::move(caption), false, false};
}

FieldInfo TextArray(short file, short offset, short length, short count) {
  return {offset, length, kText, count, file, {}, false, false};
}

FieldInfo Number(short file, short offset, short length) {
  return {offset, length, kNumeric, 1, file, {}, false, false};
}

// The database type whose catalogue calls the data directory "Template Directory".
constexpr short kTemplateInstallation = 4;

void InitUserFiles() {
  UID_UserId = Text(UID_FILE, 0, 30);
  UID_UserName = Text(UID_FILE, 30, 30);
  UID_Password = Text(UID_FILE, 60, 10);
  UID_Colour1 = Text(UID_FILE, 75, 16);
  UID_Colour2 = Text(UID_FILE, 91, 16);
  UID_Colour3 = Text(UID_FILE, 107, 16);
  UID_Colour4 = Text(UID_FILE, 123, 16);
  UID_Colour5 = Text(UID_FILE, 139, 16);
  UID_Date = Text(UID_FILE, 165, 10);
  UID_Flag175 = Text(UID_FILE, 175, 1);
  UID_Text176 = Text(UID_FILE, 176, 50);

  UDB_UserId = Text(UDB_FILE, 0, 30);
  UDB_DatabaseName = Text(UDB_FILE, 30, 10);
  UDB_AoNumber = Text(UDB_FILE, 40, 10);
  UDB_Level = Text(UDB_FILE, 50, 10);
}

void InitDatabaseCatalogue() {
  const char* directory =
      vb_io_db_type() == kTemplateInstallation ? "Template Directory" : "Data Directory";
  DB_DatabaseName = Text(DB_FILE, 0, 10, "Database Name");
  DB_DataDirectory = Text(DB_FILE, 10, 46, directory);
  DB_Description = Text(DB_FILE, 56, 30, "Description");
  DB_ImageDirectory = Text(DB_FILE, 86, 30, "Image Directory");
  DB_DatabasePrefix = Text(DB_FILE, 116, 3, "Database Prefix");
  DB_Valid = Text(DB_FILE, 119, 1, "Valid");
  DB_FtpServerName = Text(DB_FILE, 120, 200, "FTP Server Name");
  DB_FtpPortNumber = Text(DB_FILE, 320, 6, "FTP Port Number");
  DB_FtpRemotePath = Text(DB_FILE, 326, 250, "FTP Remote Path");
  DB_FtpUserName = Text(DB_FILE, 576, 50, "FTP User Name");
  DB_FtpPassword = Text(DB_FILE, 636, 50, "FTP Password");
}

void InitConfigurationMainRow() {
  const short f = CONF_FILE;
  CONF_C00_Field3 = Text(f, 3, 1);
  CONF_C00_AuditDumpPath = Text(f, 3, 255);
  CONF_C00_Text4 = Text(f, 4, 20);
  CONF_C00_Number24 = Number(f, 24, 6);
  CONF_C00_Flags30 = TextArray(f, 30, 1, 4);
  CONF_C00_Flags34 = TextArray(f, 34, 1, 3);
  CONF_C00_Number37 = Number(f, 37, 6);
  CONF_C00_Number43 = Number(f, 43, 8);
  CONF_C00_Number51 = Number(f, 51, 8);
  CONF_C00_Flag59 = Text(f, 59, 1);
  CONF_C00_Number376 = Number(f, 376, 2);
  CONF_C00_Number378 = Number(f, 378, 6);
  CONF_C00_Flag436 = Text(f, 436, 1);
  CONF_C00_Flag437 = Text(f, 437, 1);
  CONF_VersionText = Text(f, 438, 4);
  CONF_C00_Flag442 = Text(f, 442, 1);
  CONF_C00_Texts443 = TextArray(f, 443, 30, 12);
  CONF_C00_Code803 = Text(f, 803, 10);
  CONF_C00_Number813 = Number(f, 813, 6);
  CONF_C00_Text819 = Text(f, 819, 20);
  CONF_C00_Flag839 = Text(f, 839, 1);
  CONF_C00_Flag840 = Text(f, 840, 1);
  CONF_C00_Flag841 = Text(f, 841, 1);
  CONF_C00_Flag842 = Text(f, 842, 1);
  CONF_VersionNumber = Number(f, 843, 4);
  CONF_C00_Number859 = Number(f, 859, 6);
  CONF_C00_Flag865 = Text(f, 865, 1);
  CONF_C00_Flag866 = Text(f, 866, 1);
  CONF_C00_Flag867 = Text(f, 867, 1);
  CONF_C00_Number868 = Number(f, 868, 1);
  CONF_C00_Flag869 = Text(f, 869, 1);
  CONF_C00_Flag870 = Text(f, 870, 1);
  CONF_C00_Flag871 = Text(f, 871, 1);
  CONF_C00_Flag872 = Text(f, 872, 1);
  CONF_C00_Flag873 = Text(f, 873, 1);
  CONF_C00_Flag874 = Text(f, 874, 1);
  CONF_C00_Text875 = Text(f, 875, 20);
  CONF_C00_Flag895 = Text(f, 895, 1);
  CONF_C00_Flag896 = Text(f, 896, 1);
  CONF_C00_Flag897 = Text(f, 897, 1);
  CONF_C00_Flag898 = Text(f, 898, 1);
  CONF_C00_Flag899 = Text(f, 899, 1);
  CONF_C00_Flag900 = Text(f, 900, 1);
  CONF_C00_Flag901 = Text(f, 901, 1);
  CONF_C00_Flag902 = Text(f, 902, 1);
  CONF_C00_Flag903 = Text(f, 903, 1);
  CONF_C00_Flag904 = Text(f, 904, 1);
  CONF_C00_Flag905 = Text(f, 905, 1);
  CONF_C00_Text906 = Text(f, 906, 10);
  CONF_C00_Number916 = Number(f, 916, 8);
  CONF_C00_Flag924 = Text(f, 924, 1);
  CONF_C00_Text925 = Text(f, 925, 10);
  CONF_C00_Flag935 = Text(f, 935, 1);
  CONF_C00_Number936 = Number(f, 936, 8);
  CONF_C00_Number946 = Number(f, 946, 6);
  CONF_C00_Number952 = Number(f, 952, 8);
  CONF_C00_Number1201 = Number(f, 1201, 2);
  CONF_C00_Flag1203 = Text(f, 1203, 1);
}

void InitConfigurationOtherRows() {
  const short f = CONF_FILE;
  CONF_RowKey = Text(f, 0, 3);
  CONF_C04_Captions = TextArray(f, 3, 20, 38);
  CONF_C05_Captions = TextArray(f, 3, 20, 51);
  CONF_C06_Captions = TextArray(f, 3, 20, 28);
  CONF_C03_LetterNames40 = TextArray(f, 3, 49, 10);
  CONF_C03_ActionSheetNames40 = TextArray(f, 493, 49, 10);
  CONF_C03_ActionSheetNames = TextArray(f, 3, 49, 10);
  CONF_C13_LetterNames = TextArray(f, 3, 50, 25);
  CONF_C02_Counters = TextArray(f, 3, 78, 10);
  CONF_C09_Counters = TextArray(f, 3, 78, 10);
  CONF_C12_AuditDumpPath = Text(f, 3, 255);
}

void InitCodesAndCalendar() {
  CODE_Key = Text(CODE_FILE, 0, 11);
  CODE_Type = Text(CODE_FILE, 0, 1);
  CODE_Code = Text(CODE_FILE, 1, 10, "Code");
  CODE_Description = Text(CODE_FILE, 11, 70, "Description");
  CODE_LevelMask1 = TextArray(CODE_FILE, 81, 1, 28);
  CODE_LevelMask2 = TextArray(CODE_FILE, 109, 1, 44);
  CODE_Letter = Text(CODE_FILE, 95, 2, "Letter");
  CODE_ActionSheet = Text(CODE_FILE, 97, 2, "Action Sheet");

  CAL_Year = Number(CAL_FILE, 0, 2);
  CAL_Months = TextArray(CAL_FILE, 2, 40, 12);
}

void InitDocumentFiles() {
  SACT_KeyText = Text(SACT_FILE, 0, 10);
  SACT_KeyNumber = Number(SACT_FILE, 10, 4);
  VERS_Text394 = Text(VERS_FILE, 394, 255);
  VERS_Text139 = Text(VERS_FILE, 139, 255);
  COMP_Text276 = Text(COMP_FILE, 276, 256);
  STOP_NoiseWord = Text(STOP_FILE, 0, 20, "Noise word");
}

}  // namespace

void InitFieldTable() {
  InitUserFiles();
  InitDatabaseCatalogue();
  InitConfigurationMainRow();
  InitConfigurationOtherRows();
  InitCodesAndCalendar();
  InitDocumentFiles();
}

}  // namespace filomar
