#include "conversion/steps/Letters.h"

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "common/FrontEnd.h"
#include "common/General.h"
#include "common/Text.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "platform/winapi/FileLookup.h"

namespace filomar::steps {
namespace {
namespace fs = std::filesystem;

// ---- renameLetters

constexpr int kLettersPerKind = 10;
constexpr int kPathAccessError = 75;

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// Shows a refused file-system operation; true when the administrator chose to go on.
bool GoOnAfter(const std::error_code& error, const std::string& oldName, const std::string& newName) {
  const int number = RuntimeErrorNumber(error.value());
  std::string text = "Error " + std::to_string(number) + ": " + RuntimeErrorDescription(number) + "\r\n";
  if (number == kPathAccessError) text += "Old Filename : '" + oldName + "'   New Filename: '" + newName + "'\r\n";
  text += "Click OK to continue or Cancel to abort the renaming of Standard Letters & Action Sheets.";
  return FrontEnd().MsgBox(text, ui::mb::OKCancel | ui::mb::Critical, "Rename Letters") == ui::kOK;
}

struct RenameOutcome {
  bool renamed = false;
  bool cancelled = false;
};

// The refusal of a file change; a journal the library could not write counts as an I/O error.
std::error_code OsError(int error) { return {error != 0 ? error : EIO, std::generic_category()}; }

// Removes the file that holds `newName` in another case, so that the old file can take the
// name; one spelled exactly so is replaced by the rename itself. Like the rename, the removal
// takes effect with the database's records (vb_io_removeFile).
bool RemoveExisting(const std::string& oldName, const std::string& newName) {
  std::error_code ec;
  const auto existing = winapi::ResolveNoCase(newName, ec);
  if (!ec && existing && existing->string() != newName) {
    const int error = vb_io_removeFile(existing->string());
    if (vb_io_erc != 0) ec = OsError(error);
  }
  return !ec || GoOnAfter(ec, oldName, newName);
}

RenameOutcome RenameOne(const std::string& oldName, const std::string& newName) {
  if (!RemoveExisting(oldName, newName)) return {false, true};
  WriteTrace(" - Renaming to   : '" + newName + "'");
  std::error_code ec;
  const auto current = winapi::ResolveNoCase(oldName, ec);  // the name as the disk spells it
  if (!ec && !current) ec = std::make_error_code(std::errc::no_such_file_or_directory);
  if (!ec) {
    const int error = vb_io_renameFile(current->string(), newName);
    if (vb_io_erc != 0) ec = OsError(error);
  }
  if (!ec) return {true, false};
  return {false, !GoOnAfter(ec, oldName, newName)};
}

// ---- convertLettersInDB

// Reads a CONF row without locking it into a cleared buffer; true when it is there.
bool ReadConfRow(const char* row) {
  ClearRecord(CONF_FILE);
  PutField(CONF_RowKey, std::string(row));
  vb_io_read(CONF_FILE, 0, 0);
  return vb_io_erc == 0;
}

void ShowRowError(const std::string& text) {
  FrontEnd().Beep();
  FrontEnd().MsgBox(text, ui::mb::RetryCancel | ui::mb::Critical, kProgramTitle);
}

bool HoldsText(const std::vector<Variant>& names) {
  for (const Variant& name : names) {
    std::string text = std::get<std::string>(name);
    StripNul(text);
    if (!IsBlank(text)) return true;
  }
  return false;
}

// Stores the letter names in "C13", adding the row when it is missing (the 4.0 databases have
// none). False when they could not be stored, or when "C13" already holds names.
bool StoreLetterNames(const std::vector<Variant>& names) {
  if (ReadConfRow("C13")) {
    std::vector<Variant> stored;
    GetFieldArray(CONF_C13_LetterNames, stored);
    if (HoldsText(stored)) {
      WriteTrace("* convertLettersInDB: Row C13 already holds letter names; C03 and C13 left as they are");
      return false;
    }
    PutFieldArray(CONF_C13_LetterNames, names);
    vb_io_rewrite(CONF_FILE);
  } else {
    WriteTrace("* convertLettersInDB: Row C13 was not found; adding it");
    ClearRecord(CONF_FILE);
    PutField(CONF_RowKey, std::string("C13"));
    PutFieldArray(CONF_C13_LetterNames, names);
    vb_io_write(CONF_FILE);
  }
  if (vb_io_erc == 0) return true;
  WriteTrace("* convertLettersInDB: writing row C13 failed (vb_io_erc = " + std::to_string(vb_io_erc) + ")");
  ShowRowError("ERROR: Row C13 from the CONF record could not be accessed.");
  return false;
}

// Moves the letter names to "C13" and then the action sheet names to the front of "C03",
// which is rewritten from a cleared buffer. "C03" holds the only copy of the letter names
// until they are stored in "C13", so it is left alone when that fails.
void MoveNames() {
  if (!ReadConfRow("C03")) return;
  std::vector<Variant> letters;
  GetFieldArray(CONF_C03_LetterNames40, letters);
  letters.resize(static_cast<std::size_t>(CONF_C13_LetterNames.count), std::string());
  if (!StoreLetterNames(letters)) return;

  if (!ReadConfRow("C03")) return;
  std::vector<Variant> sheets;
  GetFieldArray(CONF_C03_ActionSheetNames40, sheets);
  ClearRecord(CONF_FILE);
  PutField(CONF_RowKey, std::string("C03"));
  PutFieldArray(CONF_C03_ActionSheetNames, sheets);
  vb_io_rewrite(CONF_FILE);
  if (vb_io_erc != 0)
    WriteTrace("* convertLettersInDB: rewriting row C03 failed (vb_io_erc = " + std::to_string(vb_io_erc) + ")");
}

bool IsOldLetter(char c) { return c >= 'A' && c <= 'J'; }
std::string IndexOf(char letter) { return TwoDigits(letter - 'A'); }

// Rewrites the letter field of the "G" code in the buffer: its second letter becomes the
// action sheet index, its first the letter index (a blank stays blank). Anything else, lower
// case and digits included, is left as it is.
void ConvertLetterField(const std::string& letters) {
  const char letter = letters[0];
  const char sheet = letters.size() == 2 ? letters[1] : ' ';
  if (sheet != ' ' && IsOldLetter(sheet)) {
    PutField(CODE_ActionSheet, IndexOf(sheet));
    vb_io_rewrite(CODE_FILE);
  }
  if (letter == ' ') {
    PutField(CODE_Letter, std::string());
    vb_io_rewrite(CODE_FILE);
  } else if (IsOldLetter(letter)) {
    PutField(CODE_Letter, IndexOf(letter));
    vb_io_rewrite(CODE_FILE);
  }
}

// Scans the "G" codes and converts their letter fields. The scan ends at the first code of
// another type, at the end of the range or file, and at any failure, a failed rewrite
// included.
void ConvertCodeLetters() {
  vb_io_open(CODE_FILE, "");
  ClearRecord(CODE_FILE);
  PutField(CODE_Type, std::string("H"));
  PutField(CODE_Code, std::string(10, 'Z'));
  vb_io_startRange(CODE_FILE, 0);
  PutField(CODE_Type, std::string("G"));
  PutField(CODE_Code, std::string());
  vb_io_start(CODE_FILE, 0, 0, 1025);
  std::string type;
  do {
    vb_io_next(CODE_FILE, 0);
    const std::string letters = GetText(CODE_Letter);
    type = GetText(CODE_Type);
    if (type == "G" && vb_io_erc == 0 && !letters.empty()) ConvertLetterField(letters);
  } while (type == "G" && vb_io_erc == 0);
  if (vb_io_erc != 0 && vb_io_erc != kEndOfScan) {
    WriteTrace("* convertLettersInDB: the scan of CODE ended at '" + GetText(CODE_Key) +
               "' (vb_io_erc = " + std::to_string(vb_io_erc) + ")");
  }
  vb_io_endstart(CODE_FILE);
  vb_io_close(CODE_FILE);
}

}  // namespace

std::optional<std::string> LetterDirectory() {
  std::string directory, prefix;
  vb_io_getDirectory(ConnHandle, directory, prefix);
  if (vb_io_erc != 0) return std::nullopt;
  std::string full;
  ConstructFullPath(directory, full);
  // A relative StandardDataDir gives a relative path; the record library takes it under the
  // client directory, and the letters lie beside the records.
  if (!full.empty() && full.front() != '/') full = GetClientDir() + full;
  if (full.empty() || full.back() != '/') full += '/';
  return full;
}

std::vector<LetterRename> LetterRenames(const std::string& directory) {
  std::vector<LetterRename> renames;
  for (const char* kind : {"Letter", "ActSht"})
    for (int n = 1; n <= kLettersPerKind; ++n)
      renames.push_back({directory + kind + static_cast<char>('A' + n - 1), directory + kind + TwoDigits(n)});
  return renames;
}

bool renameLetters(StepContext&) {
  const auto directory = LetterDirectory();
  if (!directory) {
    WriteTrace("renameLetters: no database selected (vb_io_erc = " + std::to_string(vb_io_erc) + ")");
    return false;
  }
  bool renamed = false;
  for (const auto& [oldName, newName] : LetterRenames(*directory)) {
    WriteTrace(" - Original Filename : '" + oldName + "'");
    if (!FileExists(oldName)) {
      WriteTrace(" - '" + oldName + "' does not exist");
      continue;
    }
    const RenameOutcome outcome = RenameOne(oldName, newName);
    renamed = renamed || outcome.renamed;
    if (outcome.cancelled) return renamed;
  }
  return renamed;
}

Variant convertLettersInDB(StepContext&) {
  vb_io_open(CONF_FILE, "");
  ClearRecord(CONF_FILE);
  PutField(CONF_RowKey, std::string("C03"));
  vb_io_read(CONF_FILE, 0, 0);
  if (vb_io_erc == 4) {
    WriteTrace("* convertLettersInDB: Row C03 was not found in the old database. (QV)");
  } else if (vb_io_erc != 0) {
    ShowRowError("ERROR: Row C03 from the CONF record could not be accessed.  (vb_io_erc = " +
                 std::to_string(vb_io_erc) + ")");
  } else {
    MoveNames();
    ConvertCodeLetters();
  }
  vb_io_close(CONF_FILE);
  return {};
}

}  // namespace filomar::steps
