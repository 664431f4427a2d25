#include "site/DatabaseRecords.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "recio/Vb_io.h"
#include "recio/UserLevels.h"
#include "recio/conffld.h"
#include "site/RecordSession.h"

namespace site {
using namespace filomar;

namespace {

// Fields that the conversion never reads. Their places are this tool's own choice; they give
// the records believable content around the fields that conffld describes.
FieldInfo Field(short file, short offset, short length, short type = kText) {
  return FieldInfo{offset, length, type, 1, file, {}, false, false};
}
const FieldInfo kC00SiteName = Field(CONF_FILE, 4, 20);
const FieldInfo kC00RetentionDays = Field(CONF_FILE, 847, 6, kNumeric);
const FieldInfo kC00PrinterPort = Field(CONF_FILE, 853, 5);
const FieldInfo kSactDescription = Field(SACT_FILE, 14, 50);
const FieldInfo kSactOfficer = Field(SACT_FILE, 64, 20);
const FieldInfo kSactDueDate = Field(SACT_FILE, 84, 10);
const FieldInfo kVersDocument = Field(VERS_FILE, 0, 20);
const FieldInfo kVersNumber = Field(VERS_FILE, 20, 4, kNumeric);
const FieldInfo kVersTitle = Field(VERS_FILE, 40, 60);
const FieldInfo kCompDocument = Field(COMP_FILE, 0, 20);
const FieldInfo kCompNumber = Field(COMP_FILE, 20, 4, kNumeric);
const FieldInfo kCompTitle = Field(COMP_FILE, 40, 60);

using Texts = std::vector<std::string>;

std::vector<Variant> Elements(const Texts& texts) { return {texts.begin(), texts.end()}; }

const Texts kFileCaptions = {
    "File Number", "Title", "Status", "Location", "Home Location", "Date Opened", "Date Closed",
    "Owner", "Department", "Keywords", "Previous File", "Next File", "Volume", "Part",
    "Retention Period", "Review Date", "Disposal Action", "Disposal Date", "Box Number", "Barcode",
    "Created By", "Created On", "Modified By", "Modified On", "Notes", "Classification"};
const Texts kDocumentCaptions = {
    "Document Number", "Title", "Author", "Document Date", "Date Received", "Date Sent",
    "File Number", "Document Type", "Status", "Keywords", "Sender", "Recipient", "Reference",
    "Our Reference", "Your Reference", "Copies", "Pages", "Location", "Action", "Action Date",
    "Action Officer", "Reply Due", "Reply Date", "Version", "Format", "Language", "Abstract",
    "Notes", "Created By", "Created On", "Modified By", "Modified On"};
const Texts kBoxCaptions = {
    "Box Number", "Description", "Location", "Status", "Barcode", "Owner", "Department",
    "Date Opened", "Date Closed", "Contents From", "Contents To", "Retention Period",
    "Review Date", "Disposal Action", "Disposal Date", "Shelf", "Bay", "Room", "Building", "Notes"};
const Texts kLetterNames = {
    "Acknowledgement of receipt", "Reminder - reply outstanding", "Request for further information",
    "Transfer to archive notice", "File closure notice", "Disposal authorisation request",
    "Loan of file - covering letter", "Return of borrowed file", "Freedom of information reply",
    "General covering letter"};
const Texts kActionSheetNames = {
    "Standard action sheet", "Urgent action sheet", "Review checklist", "Transfer checklist",
    "Disposal checklist", "Loan slip", "Return slip", "Inspection sheet", "Audit sheet",
    "Mail register sheet"};

// ---- CONF

void PutC00Settings(const std::string& version) {
  PutField(CONF_RowKey, std::string("C00"));
  PutField(CONF_C00_Field3, std::string("A"));
  PutField(kC00SiteName, std::string("Filomar demo site"));
  PutField(CONF_C00_Number24, std::int32_t{0});
  PutFieldArray(CONF_C00_Flags30, Elements({"Y", "N", "Y", "N"}));
  PutFieldArray(CONF_C00_Flags34, Elements({"N", "N", "Y"}));
  PutField(CONF_C00_Number37, std::int32_t{1250});
  PutField(CONF_C00_Number43, std::int32_t{20040});
  PutField(CONF_C00_Number51, std::int32_t{18733});
  PutField(CONF_C00_Flag59, std::string("Y"));
  PutField(CONF_C00_Number376, std::int32_t{66});
  PutField(CONF_C00_Number378, std::int32_t{90});
  PutField(CONF_C00_Flag436, std::string("A"));
  PutField(CONF_C00_Flag437, std::string("Y"));
  PutField(CONF_VersionText, version);
  PutField(CONF_C00_Flag442, std::string("Y"));
  PutFieldArray(CONF_C00_Texts443, Elements({"Registry", "Central Records", "Off-site Store"}));
  PutField(CONF_C00_Code803, std::string("FLM4DEMO01"));
  PutField(CONF_C00_Number813, std::int32_t{365});
  // The audit dump path fills its 20 characters, so the run 838..857 that moves to "C12"
  // starts with its last character.
  PutField(CONF_C00_Text819, std::string("C:\\FILOMAR\\AUDIT.DMP"));
  PutField(CONF_C00_Flag839, std::string("Y"));
  PutField(CONF_C00_Flag840, std::string("N"));
  PutField(CONF_C00_Flag841, std::string("Y"));
  PutField(CONF_C00_Flag842, std::string("Y"));
  PutField(CONF_VersionNumber, std::int32_t{400});
  PutField(kC00RetentionDays, std::int32_t{30});
  PutField(kC00PrinterPort, std::string("LPT1"));
  PutField(CONF_C00_Number859, std::int32_t{4500});
  PutField(CONF_C00_Flag866, std::string("N"));
  PutField(CONF_C00_Number868, std::int32_t{3});
  PutField(CONF_C00_Flag869, std::string("Y"));
  PutField(CONF_C00_Text906, std::string("**********"));
}

// Turns the "C00" settings into what the 5.0 conversion leaves there.
void PutC00Converted() {
  for (const FieldInfo* flag : {&CONF_C00_Flag839, &CONF_C00_Flag840, &CONF_C00_Flag841, &CONF_C00_Flag842}) {
    PutField(*flag, std::string("N"));
  }
  PutField(CONF_VersionNumber, std::int32_t{500});
  PutField(CONF_C00_Number1201, std::int32_t{0});
  PutField(CONF_C00_Flag1203, std::string("N"));
}

Status WriteConf(bool converted) {
  const auto rows = std::to_array<std::string>({"C00", "C03", "C04", "C05", "C06", "C12", "C13"});
  const std::size_t count = converted ? rows.size() : 5;
  return WriteRecords(CONF_FILE, count, [&](std::size_t i) {
    const std::string& row = rows[i];
    PutField(CONF_RowKey, row);
    if (row == "C00") {
      PutC00Settings(converted ? "500A" : "400A");
      if (converted) PutC00Converted();
    } else if (row == "C03") {
      PutFieldArray(converted ? CONF_C03_ActionSheetNames : CONF_C03_LetterNames40, Elements(converted ? kActionSheetNames : kLetterNames));
      if (!converted) PutFieldArray(CONF_C03_ActionSheetNames40, Elements(kActionSheetNames));
    } else if (row == "C04") {
      PutFieldArray(CONF_C04_Captions, Elements(kFileCaptions));
    } else if (row == "C05") {
      PutFieldArray(CONF_C05_Captions, Elements(kDocumentCaptions));
    } else if (row == "C06") {
      PutFieldArray(CONF_C06_Captions, Elements(kBoxCaptions));
    } else if (row == "C12") {
      PutField(CONF_C12_AuditDumpPath, std::string("PYNYY0400000030LPT1 "));
    } else {
      PutFieldArray(CONF_C13_LetterNames, Elements(kLetterNames));
    }
  });
}

// ---- CODE

struct Code {
  const char* type;
  const char* code;
  const char* description;
  const char* letters;  // type "G": the 4.0 letter field (letter, then action sheet)
};

// Action codes whose letter fields cover every form the conversion distinguishes.
constexpr std::array<Code, 9> kActionCodes{{
    {"G", "ACK", "Acknowledge receipt", "AB"},
    {"G", "CLOSE", "Close file", ""},
    {"G", "FOI", "Freedom of information request", "ab"},
    {"G", "INSPECT", "Inspection", "C"},
    {"G", "LEGACY", "Action from the old register", "12"},
    {"G", "REMIND", "Send reminder", "JJ"},
    {"G", "REVIEW", "Review file", "EF"},
    {"G", "SUMMONS", "Court summons", "KB"},
    {"G", "TRANSFER", "Transfer to archive", " B"},
}};

// In 5.0 the letter field holds the letter's index and the action sheet field the sheet's.
constexpr std::array<const char*, 9> kConvertedLetters = {"0001", "", "ab", "02", "12", "0909", "0405", "KB01", "  01"};

std::vector<Variant> Flags(const char* mask) {
  std::vector<Variant> flags;
  for (const char* c = mask; *c != '\0'; ++c) flags.emplace_back(std::string(1, *c));
  return flags;
}

void PutCode(const char* type, const std::string& code, const std::string& description) {
  PutField(CODE_Type, std::string(type));
  PutField(CODE_Code, code);
  PutField(CODE_Description, description);
}

// Every code record of a database, in key order. `full` adds statuses beyond the first, user
// levels and the other code types; `converted` writes the 5.0 forms.
std::vector<std::function<void()>> CodeRecords(bool full, bool converted) {
  std::vector<std::function<void()>> records;
  const int statuses = !full ? 1 : converted ? 7 : 6;
  const auto statusNames = std::to_array<const char*>(
      {"ACTIVE", "CLOSED", "ARCHIVED", "INTERMEDIATE STORAGE", "DESTROYED", "MISSING/LOST", "FROZEN"});
  for (int i = 0; i < statuses; ++i) {
    records.push_back([i, statusNames] { PutCode("D", "00" + std::to_string(i + 1), statusNames[static_cast<std::size_t>(i)]); });
  }
  for (std::size_t i = 0; i < kActionCodes.size(); ++i) {
    records.push_back([i, converted] {
      const Code& code = kActionCodes[i];
      PutCode(code.type, code.code, code.description);
      const std::string letters = converted ? kConvertedLetters[i] : code.letters;
      PutField(CODE_Letter, letters.substr(0, std::min<std::size_t>(2, letters.size())));
      if (letters.size() > 2) PutField(CODE_ActionSheet, letters.substr(2));
    });
  }
  records.push_back([] { PutCode("H", "LEGALHOLD", "Legal hold"); });
  if (!full) return records;
  for (const UserLevel& level : kUserLevels) {
    records.push_back([&level] {
      PutCode("L", level.code, level.description);
      PutFieldArray(CODE_LevelMask1, Flags(level.mask1));
      PutFieldArray(CODE_LevelMask2, Flags(level.mask2));
    });
  }
  records.push_back([] { PutCode("P", "REPLY", "Document Reply"); });
  for (const char* type : {"T", "U"}) {
    for (const char* code : {"ACTIVE", "ARCHIVED", "DESTROYED", "INACTIVE"}) {
      records.push_back([type, code] { PutCode(type, code, ""); });
    }
  }
  return records;
}

Status WriteCodes(bool full, bool converted) {
  const auto records = CodeRecords(full, converted);
  return WriteRecords(CODE_FILE, records.size(), [&](std::size_t i) { records[i](); });
}

// ---- SACT, VERS, COMP

template <std::size_t N>
std::string Pick(const std::array<const char*, N>& texts, std::size_t i) {
  char text[300];
  std::snprintf(text, sizeof text, texts[i % N], i + 1);
  return text;
}

std::string Numbered(const char* prefix, std::size_t i) {
  char text[32];
  std::snprintf(text, sizeof text, "%s%09zu", prefix, i + 1);
  return text;
}

// The mixed-case texts the conversion turns to upper case. Record 1 is already upper case,
// record 2 holds NUL characters where the text would be, and record 3 has Windows-1252
// letters outside a..z.
constexpr std::array<const char*, 3> kVersionPaths = {
    "c:\\filomar\\docs\\Contracts\\Lease_%zu.doc", "\\\\fileserver\\Records\\minutes\\Board Minutes %zu.rtf",
    "d:\\scans\\incoming\\Invoice%zu.tif"};
constexpr std::array<const char*, 3> kVersionNotes = {
    "Draft %zu for review by j.Smith", "Final version, signed by the Director", "Scanned copy (300dpi), page %zu"};
constexpr std::array<const char*, 3> kComponents = {
    "Appendix %zu - Site Plans.pdf", "covering letter from Mr. O'Brien", "Photo of damaged Stock (%zu).jpg"};
constexpr std::array<const char*, 3> kActions = {
    "Send reminder to Legal Dept", "Follow up with Mrs. Jones (file %zu)", "Return file to Registry"};
constexpr std::array<const char*, 3> kActionNotes = {"end of action %zu", "reminder sent", "closed by registry"};
constexpr std::array<const char*, 3> kOfficers = {"jsmith", "M.Brown", "Registry"};
const std::string kCp1252Text = "Caf\xE9 contract \x96 r\xE9sum\xE9 of terms";

std::string Converted(std::string text, bool converted) {
  if (converted) {
    for (char& c : text) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  }
  return text;
}

// A 4.0 action ends in a note that the widening pushes off the record's end; record 3 holds
// Windows-1252 letters in its description and record 2 NULs where its note would be.
const FieldInfo kSactClosingNote = Field(SACT_FILE, reclib::kRecordSize - 20, 20);

Status WriteActions(std::size_t count, bool converted) {
  return WriteRecords(SACT_FILE, count, [&](std::size_t i) {
    PutField(SACT_KeyText, Numbered("F", i).substr(0, 10));
    PutField(SACT_KeyNumber, static_cast<std::int32_t>(i % 3 + 1));
    // A 5.0 action has 20 more characters before the officer.
    const short shift = converted ? 20 : 0;
    PutField(kSactDescription, i == 3 ? kCp1252Text : Pick(kActions, i));
    PutField(Field(SACT_FILE, static_cast<short>(kSactOfficer.offset + shift), kSactOfficer.length), Pick(kOfficers, i));
    char due[11];
    std::snprintf(due, sizeof due, "2024-%02zu-%02zu", i % 12 + 1, i % 28 + 1);
    PutField(Field(SACT_FILE, static_cast<short>(kSactDueDate.offset + shift), kSactDueDate.length), std::string(due));
    if (converted) return;
    char* note = Block(SACT_FILE).record + kSactClosingNote.offset;
    if (i == 2) std::memset(note, 0, static_cast<std::size_t>(kSactClosingNote.length));
    else PutField(kSactClosingNote, Pick(kActionNotes, i));
  });
}

Status WriteVersions(std::size_t count, bool converted) {
  return WriteRecords(VERS_FILE, count, [&](std::size_t i) {
    PutField(kVersDocument, Numbered("D", i));
    PutField(kVersNumber, static_cast<std::int32_t>(i % 3 + 1));
    PutField(kVersTitle, Pick(kVersionNotes, i));
    std::string path = Pick(kVersionPaths, i), note = Pick(kVersionNotes, i);
    if (i == 1) path = "C:\\FILOMAR\\DOCS\\POLICY.DOC", note = "APPROVED";
    if (i == 2) note = std::string(static_cast<std::size_t>(VERS_Text394.length), '\0');
    if (i == 3) note = kCp1252Text;
    PutField(VERS_Text139, Converted(path, converted));
    PutField(VERS_Text394, Converted(note, converted));
  });
}

Status WriteComponents(std::size_t count, bool converted) {
  return WriteRecords(COMP_FILE, count, [&](std::size_t i) {
    PutField(kCompDocument, Numbered("D", i / 2));
    PutField(kCompNumber, static_cast<std::int32_t>(i % 2 + 1));
    PutField(kCompTitle, Pick(kComponents, i));
    std::string text = Pick(kComponents, i);
    if (i == 1) text = "SIGNATURE PAGE.PDF";
    if (i == 2) text = std::string(static_cast<std::size_t>(COMP_Text276.length), '\0');
    if (i == 3) text = kCp1252Text;
    PutField(COMP_Text276, Converted(text, converted));
  });
}

Status FirstFailure(std::initializer_list<std::function<Status()>> steps) {
  for (const auto& step : steps) {
    if (Status status = step(); !status.ok()) return status;
  }
  return Status::Ok();
}

}  // namespace

Status WriteDatabaseRecords(const DatabaseSpec& database, std::size_t records) {
  const bool full = database.kind == DatabaseKind::kFull40;
  const bool converted = database.kind == DatabaseKind::kConverted50;
  const std::size_t count = full ? records : converted ? std::min<std::size_t>(records, 5) : 1;
  Status status = FirstFailure({
      [&] { return WriteConf(converted); },
      [&] { return WriteCodes(!(database.kind == DatabaseKind::kMinimal40), converted); },
      [&] { return WriteActions(count, converted); },
      [&] { return WriteVersions(count, converted); },
      [&] { return WriteComponents(count, converted); },
  });
  if (!status.ok()) return Status::Error(database.name + ": " + status.message());
  for (short file : {MATR_FILE, FILE_FILE, DOCS_FILE, CAL_FILE, STOP_FILE}) {
    if (Status created = CreateEmptyFile(file); !created.ok()) return Status::Error(database.name + ": " + created.message());
  }
  return Status::Ok();
}

}  // namespace site
