// Profile strings: the INI-file reading the product relies on, with the Windows semantics
// it was written against (case-insensitive section and key, truncation to the caller's
// buffer, the count of characters copied as the result).
#pragma once

#include <cstdint>
#include <string>

namespace winapi {

// Copies the value of `key` in `[section]` of `fileName` into `buffer` (at most size-1
// characters, always NUL terminated) and returns the number of characters copied. When the
// file, the section or the key is missing, `defaultValue` is copied instead. The file name is
// resolved case-insensitively within its directory. A malformed or binary file never fails:
// lines that are not "key=value" or "[section]" are skipped, and so are lines longer than 64 KiB.
// Only a regular file is read: a FIFO, a device or a directory gives the default.
std::uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                       char* buffer, std::uint32_t size, const char* fileName);

// The user's profile. Only section "intl", key "sShortDate" is known: the short date pattern
// in Windows letters, derived from the LC_TIME date format of the user's locale. Everything
// else gives the default.
std::uint32_t GetProfileStringA(const char* section, const char* key, const char* defaultValue,
                                char* buffer, std::uint32_t size);

// Turns a strftime date format ("%d.%m.%Y") into the Windows short date pattern ("dd.MM.yyyy").
// Unknown conversions are dropped; literal characters are kept.
std::string ShortDatePatternFromStrftime(const std::string& format);

}  // namespace winapi
