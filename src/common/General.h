// General: the small services every module uses: trace lines, traced message boxes, text
// comparison, the date text of the product's records, the client installation's paths and
// settings, file tests and the inter-process store.
//
// Paths follow the Linux conventions of the port: "/" separates, a full path is absolute,
// and a "\" in a stored path is read as "/".
#pragma once

#include <cstdint>
#include <string>

#include "common/Variant.h"
#include "common/Ui.h"

namespace filomar {

// Hands `text` to the record library's ordinary trace channel.
void WriteTrace(const std::string& text);

// Traces "MsgBox: <title>: <text>" and shows the message box; an empty title shows the
// program title.
void MsgBoxTrace(const std::string& text, std::uint16_t buttons, const std::string& title);

// Shows the message box as MsgBoxTrace does, without a trace line. Only a few messages are
// traced ("Can't connect ...", "Can't disconnect ...", the field-table check); every other
// message of the program goes through here.
void ShowMessage(const std::string& text, std::uint16_t buttons, const std::string& title);

// Equal after removing trailing blanks, without regard to case.
bool SameText(const std::string& a, const std::string& b);
// Empty or blanks only.
bool IsBlank(const std::string& text);
// Removes every NUL character.
void StripNul(std::string& text);

// The user's short date pattern (Windows letters, "dd.MM.yyyy"), at most 20 characters;
// empty when none is set.
std::string GetShortDateFormat();
// A date as "dd/mm/yyyy", "mm/dd/yyyy" or "yyyy/mm/dd" in the order of `pattern` (day first
// unless it starts with "M" or "Y"), always with "/".
std::string FormatDateForPattern(const Date& date, const std::string& pattern);
// FormatDateForPattern with the user's short date pattern.
std::string FormatDateForSystem(const Date& date);

// Reads `key` from the inter-process store with the two-call read. On success `value` holds
// the stored bytes and the result is true; otherwise `value` is unchanged.
bool ipcReadString(const std::string& key, std::string& value);

// The client installation directory: the run's own program directory (the value it publishes
// as "FLMWIN_PATH"), absolute and always ending in "/".
std::string GetClientDir();

// Makes the full path of a data directory or file `name` of the client installation: an
// absolute name as it is; else under FLMWIN.INI's [DATABASE] StandardDataDir when set; else
// under the client directory, with a "/" appended. A failing step is reported in a message box
// and tried again, at most kConstructFullPathRetries times, after which the routine gives up
// with the result it has.
void ConstructFullPath(const std::string& name, std::string& result);
inline constexpr int kConstructFullPathRetries = 3;

// True when `name` is an existing file (not a directory) whose name, compared without regard
// to case, `name` ends with; false for a name ending in "/" or "\". A failing look-up gives
// false and, unless the name itself is bad, a message box.
bool FileExists(const std::string& name);

// Sets the window's mouse pointer back to the default.
void ResetMousePointer(ui::Form& window);

// The platform's run-time error number for a failed file-system call (53 file not found,
// 52 bad file name, 75 path/file access error (also a folder given as a file), 76 path not
// found, 57 device I/O error) and its
// description.
int RuntimeErrorNumber(int errnoValue);
std::string RuntimeErrorDescription(int number);

}  // namespace filomar
