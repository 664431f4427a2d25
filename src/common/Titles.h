// The program's window and message-box titles. Administrators and their scripts know the
// program by these exact texts, so the variants below are kept as they have always been
// shown, odd letters and blanks included.
#pragma once

namespace filomar {

// The windows' caption, and the title of every message box that has none of its own.
inline constexpr const char* kProgramTitle = "Filomar 5.0 Conversion Utility";
// The start-up refusals: the program title with a trailing blank.
inline constexpr const char* kStartupTitle = "Filomar 5.0 Conversion Utility ";
// The end of a run and an already converted database: no release number, a trailing blank.
inline constexpr const char* kRunTitle = "Filomar Conversion Utility ";
// A cancelled run: as kRunTitle but with a lower-case "c".
inline constexpr const char* kCanceledTitle = "Filomar conversion Utility ";

}  // namespace filomar
