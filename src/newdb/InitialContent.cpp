#include "newdb/InitialContent.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/General.h"
#include "newdb/Calendar.h"
#include "platform/indexlib/indexlib.h"
#include "recio/UserLevels.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "shared/Session.h"

namespace filomar {
namespace {

constexpr const char* kNoiseWords[] = {"THIS", "THERE", "THEY", "THAT", "THE", "AND",
                                       "FROM", "FOR",   "WILL", "ALL",  "EACH", "ONLY"};


// The status codes that follow the levels; U and T rows carry a blank description.
struct CodeRow {
  const char* type;
  const char* code;
  const char* description;
};

constexpr CodeRow kCodes[] = {
    {"D", "001", "ACTIVE"},    {"D", "002", "CLOSED"},       {"D", "003", "ARCHIVED"},
    {"D", "004", "INTERMEDIATE STORAGE"},                    {"D", "005", "DESTROYED"},
    {"D", "006", "MISSING/LOST"},                            {"D", "007", "FROZEN"},
    {"U", "ARCHIVED", ""},     {"U", "DESTROYED", ""},       {"U", "ACTIVE", ""},
    {"U", "INACTIVE", ""},     {"P", "REPLY", "Document Reply"},
    {"T", "ARCHIVED", ""},     {"T", "DESTROYED", ""},       {"T", "ACTIVE", ""},
    {"T", "INACTIVE", ""},
};

Variant Text(const char* text) { return std::string(text); }
Variant Number(std::int32_t n) { return n; }

std::vector<Variant> Repeated(const Variant& value, std::size_t count) { return std::vector<Variant>(count, value); }

void WriteNoiseWords() {
  vb_io_open(STOP_FILE, "");
  if (vb_io_erc != 0) return;
  ClearRecord(STOP_FILE);
  for (const char* word : kNoiseWords) {
    PutField(STOP_NoiseWord, Text(word));
    vb_io_add(STOP_FILE);
  }
  vb_io_close(STOP_FILE);
}

void PutFlags(std::initializer_list<const FieldInfo*> fields, const char* flag) {
  for (const FieldInfo* field : fields) PutField(*field, Text(flag));
}

// Row "C00" on a cleared buffer, so that the row never carries what the buffer held before.
// Offsets 3 to 257 held the 4.0 layout's audit dump path; they are left blank but for "A" at
// 3 (the path lives in row "C12" now), and the fields from 4 on are written over them.
void PutMainRow() {
  ClearRecord(CONF_FILE);
  PutField(CONF_RowKey, Text("C00"));
  PutField(CONF_C00_AuditDumpPath, Text("A"));
  PutField(CONF_C00_Text4, Text("********************"));
  PutField(CONF_C00_Number24, Number(0));
  PutFieldArray(CONF_C00_Flags30, Repeated(Text("N"), 4));
  PutFieldArray(CONF_C00_Flags34, Repeated(Text("N"), 3));
  for (const FieldInfo* field : {&CONF_C00_Number37, &CONF_C00_Number43, &CONF_C00_Number51})
    PutField(*field, Number(0));
  PutField(CONF_C00_Flag59, Text("Y"));
  PutField(CONF_C00_Number376, Number(66));
  PutField(CONF_C00_Number378, Number(0));
  PutField(CONF_C00_Flag436, Text("A"));
  PutField(CONF_C00_Flag437, Text("Y"));
  PutField(CONF_VersionText, Text("500A"));
  PutField(CONF_C00_Flag442, Text("Y"));
  PutFieldArray(CONF_C00_Texts443, Repeated(Text(""), 12));
  PutField(CONF_C00_Code803, Text(kNewSiteCode));
  PutField(CONF_C00_Number813, Number(0));
  PutField(CONF_C00_Text819, Text(""));
  PutField(CONF_VersionNumber, Number(500));
  PutField(CONF_C00_Number859, Number(4500));
  PutField(CONF_C00_Flag865, Text(""));
  PutFlags({&CONF_C00_Flag866, &CONF_C00_Flag867}, "N");
  PutField(CONF_C00_Number868, Number(3));
  PutFlags({&CONF_C00_Flag869, &CONF_C00_Flag871}, "Y");
  PutFlags({&CONF_C00_Flag870, &CONF_C00_Flag872, &CONF_C00_Flag873, &CONF_C00_Flag874}, "N");
  PutField(CONF_C00_Text875, Text(""));
  PutFlags({&CONF_C00_Flag895, &CONF_C00_Flag896}, "N");
  PutField(CONF_C00_Flag897, Text(""));
  PutFlags({&CONF_C00_Flag898, &CONF_C00_Flag899, &CONF_C00_Flag900, &CONF_C00_Flag901, &CONF_C00_Flag902}, "Y");
  PutField(CONF_C00_Flag903, Text("N"));
  PutFlags({&CONF_C00_Flag904, &CONF_C00_Flag905}, "");
  PutField(CONF_C00_Text906, Text("**********"));
  PutField(CONF_C00_Number916, Number(0));
  PutField(CONF_C00_Flag924, Text("N"));
  PutField(CONF_C00_Text925, Text(""));
  PutField(CONF_C00_Flag935, Text("N"));
  for (const FieldInfo* field : {&CONF_C00_Number936, &CONF_C00_Number946, &CONF_C00_Number952})
    PutField(*field, Number(0));
}

// A list of `count` names whose first entry is `first`, the others blank.
std::vector<Variant> FirstNamed(const char* first, std::size_t count) {
  std::vector<Variant> names = Repeated(Text(""), count);
  names[0] = Text(first);
  return names;
}

bool WriteRow(const char* key) {
  PutField(CONF_RowKey, Text(key));
  vb_io_write(CONF_FILE);
  return vb_io_erc == 0;
}

bool WriteConfiguration() {
  vb_io_open(CONF_FILE, "");
  PutMainRow();
  bool ok = WriteRow("C00");
  if (ok) {
    ClearRecord(CONF_FILE);
    PutField(CONF_C12_AuditDumpPath, Text(kNewAuditDumpPath));
    ok = WriteRow("C12");
  }
  if (ok) {
    ClearRecord(CONF_FILE);
    PutFieldArray(CONF_C13_LetterNames, FirstNamed("Default Letter", 25));
    ok = WriteRow("C13");
  }
  if (ok) {
    ClearRecord(CONF_FILE);
    PutFieldArray(CONF_C03_ActionSheetNames, FirstNamed("Default Action Sheet", 10));
    ok = WriteRow("C03");
  }
  if (ok) {
    // Both counter rows are written over the buffer the row before left.
    PutFieldArray(CONF_C02_Counters, Repeated(Text("000000000000"), 10));
    WriteRow("C02");
    PutFieldArray(CONF_C09_Counters, Repeated(Text("000000000000"), 10));
    WriteRow("C09");
  }
  vb_io_close(CONF_FILE);
  return ok;
}

bool WriteCode(const char* type, const char* code, const char* description) {
  PutField(CODE_Type, Text(type));
  PutField(CODE_Code, Text(code));
  PutField(CODE_Description, Text(description));
  vb_io_write(CODE_FILE);
  return vb_io_erc == 0;
}

bool WriteCodes() {
  vb_io_open(CODE_FILE, "");
  bool ok = true;
  char* record = Block(CODE_FILE).record;
  ClearRecord(CODE_FILE);  // the level rows share whatever they leave in the buffer
  for (const UserLevel& level : kUserLevels) {
    std::memcpy(record + CODE_LevelMask1.offset, level.mask1, std::strlen(level.mask1));
    std::memcpy(record + CODE_LevelMask2.offset, level.mask2, std::strlen(level.mask2));
    ok = WriteCode("L", level.code, level.description);
    if (!ok) break;
  }
  if (ok) ClearRecord(CODE_FILE);
  for (std::size_t i = 0; ok && i < std::size(kCodes); ++i) ok = WriteCode(kCodes[i].type, kCodes[i].code, kCodes[i].description);
  vb_io_close(CODE_FILE);
  return ok;
}

bool RebuildIndexes(const std::string& directory, const std::string& name, const std::string& prefix) {
  std::array<char, 10> buffer{};
  return index_all(0, 0, 0, buffer.data(), static_cast<short>(buffer.size()), directory.c_str(), name.c_str(),
                   prefix.c_str()) == 0;
}

}  // namespace

bool CreateInitialRecords(const std::string& directory, const std::string& prefix, const std::string& name) {
  std::string dir = directory, pre = prefix;
  vb_io_setDirectory(ConnHandle, dir, pre);
  WriteTrace(directory);
  WriteNoiseWords();
  if (!WriteConfiguration() || !WriteCodes()) return false;
  vb_io_open(CAL_FILE, "");
  ClearRecord(CAL_FILE);
  WriteCalendar();
  vb_io_close(CAL_FILE);
  vb_io_close(MATR_FILE);
  Session.MatrExclusive = false;
  return RebuildIndexes(directory, name, prefix);
}

}  // namespace filomar
