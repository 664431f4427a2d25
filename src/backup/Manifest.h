// The MANIFEST of a backup folder: what the folder holds, written last, so that a folder
// without one is not a backup.
//
// Format (UTF-8 or CP-1252 bytes, lines ending in "\n"):
//   filomar-convert backup of <database name>
//   <kind>\t<size>\t<sha256>\t<name in the folder>\t<path it was copied from>
//   ...
//   seal\t<HMAC-SHA-256 of every byte above, 64 lower-case hex digits>   (Seal.h)
// kind "store" (a record store), "letter" (a letter file) or "server" (the embedded server's
// database file); size in bytes (decimal, at most 18 digits); sha256 as 64 lower-case hex
// digits. Tabs separate the fields because names may hold blanks; a name or path holding a
// tab, a line break or a NUL cannot be listed.
//
// The MANIFEST is outside input when a backup is read back: a folder on a shared disk may have
// been written by anyone. ReadManifest checks the form of every line and refuses the file
// as a whole: it is a regular file opened without following links, at most kMaxManifestBytes
// long with at most kMaxManifestLines lines, each name is a plain file name of the folder
// (no "/", not "." or "..", not the MANIFEST itself) listed once, each path copied from is
// absolute. What the lines must say for one database of one site is checked by the restore.
#pragma once

#include <string>
#include <vector>

#include "common/Status.h"

namespace filomar::backup {

inline constexpr const char* kManifestName = "MANIFEST";
inline constexpr const char* kHeading = "filomar-convert backup of ";
// A database has at most a few thousand letter files; the bounds keep a hostile MANIFEST
// from costing memory or time.
inline constexpr std::size_t kMaxManifestLines = 100000;
inline constexpr long long kMaxManifestBytes = 32LL << 20;

struct ManifestEntry {
  std::string kind;  // "store", "letter" or "server"
  long long size = 0;
  std::string sha256;
  std::string name;  // in the backup folder
  std::string from;  // where it was copied from
};

struct Manifest {
  std::string database;  // as the heading names it
  std::vector<ManifestEntry> entries;
  std::string seal;    // as read: empty when the MANIFEST has no seal line
  std::string sealed;  // as read: the text the seal covers
};

// Whether `text` can stand in a MANIFEST field: no tab, line break or NUL.
bool Listable(const std::string& text);

// The MANIFEST's text without its seal line. Every name and path must be Listable.
std::string FormatManifest(const Manifest& manifest);

// Parses a MANIFEST's text (`path` names it in the failure). Invalid, naming the first problem
// and counting the others ("<path>: line 3: ... (and 2 other problems)"), when any line breaks
// the rules above.
Status ParseManifest(const std::string& text, const std::string& path, Manifest& manifest);

// Reads and parses <folder>/MANIFEST. NotFound when there is none; Invalid when it is a link,
// not a regular file, too long or malformed; IoError when it cannot be read.
Status ReadManifest(const std::string& folder, Manifest& manifest);

// Writes <folder>/MANIFEST, sealed with `key`: through MANIFEST.tmp, synced, renamed over, and
// the folder synced.
// Invalid, with nothing written, when a name or path is not Listable; IoError naming the file
// when a write, sync or rename fails (MANIFEST.tmp is then removed).
Status WriteManifest(const std::string& folder, const Manifest& manifest, const std::string& key);

}  // namespace filomar::backup
