// What a demo site holds: its catalogued databases and its users. The plan is pure data; the
// writers (DatabaseRecords, SharedRecords, ServerTables, ProgramFiles) carry it out.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace site {

enum class DatabaseKind {
  kFull40,       // realistic 4.0 content, version "400A"
  kMinimal40,    // the smallest believable 4.0 content, for sites with many databases
  kConverted50,  // already at "500A", in the 5.0 layout
  kMissing,      // catalogued, but its data directory does not exist
};

struct DatabaseSpec {
  std::string name;         // catalogue key, at most 10 characters
  std::string prefix;       // 3 characters; also the prefix of its server tables
  std::string directory;    // data directory as catalogued, relative to the data root
  std::string description;  // at most 30 characters
  DatabaseKind kind;
};

struct UserSpec {
  std::string id;        // at most 30 characters, upper case
  std::string name;      // at most 30 characters
  std::string password;  // at most 10 characters, upper case
  std::string level;     // the same level on every database in `databases`
  std::vector<std::string> databases;
};

struct SitePlan {
  std::vector<DatabaseSpec> databases;  // STANDARD first
  std::vector<UserSpec> users;          // the administrator first
  std::size_t records = 0;              // SACT, VERS and COMP records of each full database
};

inline constexpr const char* kAdminUser = "FILOMAR";
inline constexpr const char* kAdminPassword = "FILOMAR";
inline constexpr std::size_t kDefaultRecords = 50;
inline constexpr int kDefaultDatabases = 3;
// Extra databases get the prefixes "e00".."ezz": two base-36 digits.
inline constexpr int kMaxDatabases = 3 + 36 * 36;

// The plan of a demo site with `databases` databases at "400A" (STANDARD, two full ones, then
// minimal ones; 1 to kMaxDatabases), one at "500A" and one whose directory is missing.
SitePlan MakeDemoPlan(int databases, std::size_t records);

// The STANDARD database of any plan.
const DatabaseSpec& StandardDatabase(const SitePlan& plan);

}  // namespace site
