// conffld: the field descriptors of the record files this program reads or writes, one named
// descriptor per field. All are empty (and so "not initialised", see CheckFieldInfo) until
// InitFieldTable fills them; start-up calls it once, after InitFileTable and before the first
// record access. Offsets are 0-based positions in the record buffer, lengths in characters.
//
// Fields whose meaning belongs to the product's other programs are named after their row and
// offset (CONF_C00_Flag866); their positions and widths are what this program relies on.
#pragma once

#include "recio/FieldInfo.h"

namespace filomar {

// Fills every descriptor below. Asks the record library for the installation's database type
// (vb_io_db_type) for the caption of DB_DataDirectory.
void InitFieldTable();

// ---- UID (24): one record per user of the installation, keyed by the user id.
extern FieldInfo UID_UserId;      // 0, 30, the key
extern FieldInfo UID_UserName;    // 30, 30
extern FieldInfo UID_Password;    // 60, 10
extern FieldInfo UID_Colour1;     // 75, 16: screen colours, a signed 32-bit colour value as text
extern FieldInfo UID_Colour2;     // 91, 16
extern FieldInfo UID_Colour3;     // 107, 16
extern FieldInfo UID_Colour4;     // 123, 16
extern FieldInfo UID_Colour5;     // 139, 16
extern FieldInfo UID_Date;        // 165, 10: a date as text (FormatDateForSystem)
extern FieldInfo UID_Flag175;     // 175, 1
extern FieldInfo UID_Text176;     // 176, 50

// ---- UDB (71): one record per user and database the user may work on, with the user's level
// there; keyed by user id and database name.
extern FieldInfo UDB_UserId;        // 0, 30
extern FieldInfo UDB_DatabaseName;  // 30, 10
extern FieldInfo UDB_AoNumber;      // 40, 10
extern FieldInfo UDB_Level;         // 50, 10: "9" for an administrator

// ---- DB (26): the catalogue of the installation's databases, keyed by database name; each
// database's record files live under its data directory with its prefix.
extern FieldInfo DB_DatabaseName;    // 0, 10
extern FieldInfo DB_DataDirectory;   // 10, 46
extern FieldInfo DB_Description;     // 56, 30
extern FieldInfo DB_ImageDirectory;  // 86, 30
extern FieldInfo DB_DatabasePrefix;  // 116, 3
extern FieldInfo DB_Valid;           // 119, 1
extern FieldInfo DB_FtpServerName;   // 120, 200
extern FieldInfo DB_FtpPortNumber;   // 320, 6 (text)
extern FieldInfo DB_FtpRemotePath;   // 326, 250
extern FieldInfo DB_FtpUserName;     // 576, 50
extern FieldInfo DB_FtpPassword;     // 636, 50

// ---- CONF (7): a database's configuration, one record per row, keyed by the row id at 0
// ("C00", "C03", ...). Rows share the key and lay out the rest of the buffer each in its own
// way, so descriptors of different rows overlap.
extern FieldInfo CONF_RowKey;  // 0, 3
// Row "C00", the main configuration row.
extern FieldInfo CONF_C00_Field3;          // 3, 1
extern FieldInfo CONF_C00_AuditDumpPath;   // 3, 255 (overlaps the fields up to offset 257)
extern FieldInfo CONF_C00_Text4;           // 4, 20
extern FieldInfo CONF_C00_Number24;        // 24, 6
extern FieldInfo CONF_C00_Flags30;         // 30, 1 x 4
extern FieldInfo CONF_C00_Flags34;         // 34, 1 x 3
extern FieldInfo CONF_C00_Number37;        // 37, 6
extern FieldInfo CONF_C00_Number43;        // 43, 8
extern FieldInfo CONF_C00_Number51;        // 51, 8
extern FieldInfo CONF_C00_Flag59;          // 59, 1
extern FieldInfo CONF_C00_Number376;       // 376, 2
extern FieldInfo CONF_C00_Number378;       // 378, 6
extern FieldInfo CONF_C00_Flag436;         // 436, 1
extern FieldInfo CONF_C00_Flag437;         // 437, 1
extern FieldInfo CONF_VersionText;         // 438, 4: "400A" before conversion, "500A" after
extern FieldInfo CONF_C00_Flag442;         // 442, 1
extern FieldInfo CONF_C00_Texts443;        // 443, 30 x 12
extern FieldInfo CONF_C00_Code803;         // 803, 10
extern FieldInfo CONF_C00_Number813;       // 813, 6
extern FieldInfo CONF_C00_Text819;         // 819, 20
extern FieldInfo CONF_C00_Flag839;         // 839, 1
extern FieldInfo CONF_C00_Flag840;         // 840, 1
extern FieldInfo CONF_C00_Flag841;         // 841, 1
extern FieldInfo CONF_C00_Flag842;         // 842, 1
extern FieldInfo CONF_VersionNumber;       // 843, 4: 500 after conversion
extern FieldInfo CONF_C00_Number859;       // 859, 6
extern FieldInfo CONF_C00_Flag865;         // 865, 1
extern FieldInfo CONF_C00_Flag866;         // 866, 1
extern FieldInfo CONF_C00_Flag867;         // 867, 1
extern FieldInfo CONF_C00_Number868;       // 868, 1
extern FieldInfo CONF_C00_Flag869;         // 869, 1
extern FieldInfo CONF_C00_Flag870;         // 870, 1
extern FieldInfo CONF_C00_Flag871;         // 871, 1
extern FieldInfo CONF_C00_Flag872;         // 872, 1
extern FieldInfo CONF_C00_Flag873;         // 873, 1
extern FieldInfo CONF_C00_Flag874;         // 874, 1
extern FieldInfo CONF_C00_Text875;         // 875, 20
extern FieldInfo CONF_C00_Flag895;         // 895, 1
extern FieldInfo CONF_C00_Flag896;         // 896, 1
extern FieldInfo CONF_C00_Flag897;         // 897, 1
extern FieldInfo CONF_C00_Flag898;         // 898, 1
extern FieldInfo CONF_C00_Flag899;         // 899, 1
extern FieldInfo CONF_C00_Flag900;         // 900, 1
extern FieldInfo CONF_C00_Flag901;         // 901, 1
extern FieldInfo CONF_C00_Flag902;         // 902, 1
extern FieldInfo CONF_C00_Flag903;         // 903, 1
extern FieldInfo CONF_C00_Flag904;         // 904, 1
extern FieldInfo CONF_C00_Flag905;         // 905, 1
extern FieldInfo CONF_C00_Text906;         // 906, 10
extern FieldInfo CONF_C00_Number916;       // 916, 8
extern FieldInfo CONF_C00_Flag924;         // 924, 1
extern FieldInfo CONF_C00_Text925;         // 925, 10
extern FieldInfo CONF_C00_Flag935;         // 935, 1
extern FieldInfo CONF_C00_Number936;       // 936, 8
extern FieldInfo CONF_C00_Number946;       // 946, 6
extern FieldInfo CONF_C00_Number952;       // 952, 8
extern FieldInfo CONF_C00_Number1201;      // 1201, 2
extern FieldInfo CONF_C00_Flag1203;        // 1203, 1
// Rows "C04", "C05", "C06": the field caption lists of file, document and box records.
extern FieldInfo CONF_C04_Captions;  // 3, 20 x 38
extern FieldInfo CONF_C05_Captions;  // 3, 20 x 51
extern FieldInfo CONF_C06_Captions;  // 3, 20 x 28
// Row "C03": in the 4.0 layout the letter names and the action sheet names; in the 5.0
// layout only the action sheet names, at the front. Row "C13" (5.0): the letter names.
extern FieldInfo CONF_C03_LetterNames40;       // 3, 49 x 10
extern FieldInfo CONF_C03_ActionSheetNames40;  // 493, 49 x 10
extern FieldInfo CONF_C03_ActionSheetNames;    // 3, 49 x 10
extern FieldInfo CONF_C13_LetterNames;         // 3, 50 x 25
// Rows "C02" and "C09": 10 entries of two six-digit counters followed by blanks.
extern FieldInfo CONF_C02_Counters;  // 3, 78 x 10
extern FieldInfo CONF_C09_Counters;  // 3, 78 x 10
// Row "C12" (5.0): the audit dump path, moved out of "C00".
extern FieldInfo CONF_C12_AuditDumpPath;  // 3, 255

// ---- CODE (6): a database's code table, keyed by code type and code ("D007", "L9").
extern FieldInfo CODE_Key;           // 0, 11: type and code as one text
extern FieldInfo CODE_Type;          // 0, 1
extern FieldInfo CODE_Code;          // 1, 10
extern FieldInfo CODE_Description;   // 11, 70
extern FieldInfo CODE_LevelMask1;    // 81, 1 x 28: "Y"/"N" permissions of a user level ("L")
extern FieldInfo CODE_LevelMask2;    // 109, 1 x 44
extern FieldInfo CODE_Letter;        // 95, 2: a "G" code's standard letter (index 00..09)
extern FieldInfo CODE_ActionSheet;   // 97, 2: a "G" code's action sheet (index 00..09)

// ---- CAL (5): the calendar, one record per year.
extern FieldInfo CAL_Year;    // 0, 2 (numeric): the year within its century
extern FieldInfo CAL_Months;  // 2, 40 x 12: per month the kind of each day, its length and
                              // the weekday of its first day, as byte values

// ---- SACT (20): actions; the step that widens them works on whole buffers, so only the key
// is described.
extern FieldInfo SACT_KeyText;    // 0, 10
extern FieldInfo SACT_KeyNumber;  // 10, 4 (numeric)

// ---- VERS (58) and COMP (59): document versions and components; the texts the conversion
// turns to upper case.
extern FieldInfo VERS_Text394;  // 394, 255
extern FieldInfo VERS_Text139;  // 139, 255: the version's file path
extern FieldInfo COMP_Text276;  // 276, 256

// ---- STOP (55): the noise words left out of text searches, one record per word.
extern FieldInfo STOP_NoiseWord;  // 0, 20

}  // namespace filomar
