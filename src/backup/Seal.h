// The seal of a MANIFEST: an HMAC-SHA-256 of its text under a key of the site, so that a
// backup folder cannot be edited, swapped for another or forged without the key.
//
// The key is 32 random bytes in <program directory>/backup.key (mode 0600, beside the
// installation record, never under the backup root), made at the site's first backup. The
// seal detects an edited or swapped file whose sum was rewritten, lines added or removed, and a
// folder of another site (another key); it cannot stop anyone who can read the program
// directory, who can seal anything.
#pragma once

#include <string>

#include "common/Status.h"

namespace filomar::backup {

inline constexpr const char* kKeyName = "backup.key";
inline constexpr std::size_t kKeySize = 32;

// The site's key from `programDirectory`, made first (random, synced, mode 0600, never
// replaced) when there is none. IoError naming the file when it cannot be made or read;
// Invalid when it is a link, not a regular file, readable by others or not kKeySize bytes.
Status LoadOrMakeKey(const std::string& programDirectory, std::string& key);

// The site's key, which must exist: as LoadOrMakeKey, with NotFound when there is none.
Status LoadKey(const std::string& programDirectory, std::string& key);

// The seal of `text` under `key`: 64 lower-case hex digits.
std::string SealOf(const std::string& text, const std::string& key);

// Whether `seal` is the seal of `text` under `key` (compared in constant time).
bool SealMatches(const std::string& text, const std::string& key, const std::string& seal);

}  // namespace filomar::backup
