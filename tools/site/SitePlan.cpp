#include "site/SitePlan.h"

#include <algorithm>

namespace site {
namespace {

std::vector<DatabaseSpec> CoreDatabases(int databases) {
  std::vector<DatabaseSpec> core = {
      {"STANDARD", "std", "data", "Standard database", DatabaseKind::kFull40},
      {"FINANCE", "fin", "finance", "Finance and accounts records", DatabaseKind::kFull40},
      {"PERSONNEL", "per", "personnel", "Personnel files", DatabaseKind::kFull40},
  };
  if (databases < static_cast<int>(core.size())) core.resize(static_cast<std::size_t>(databases));
  return core;
}

char Base36(int digit) { return static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10); }

DatabaseSpec ExtraDatabase(int number) {
  std::string digits = std::to_string(number);
  digits.insert(0, 4 - std::min<std::size_t>(4, digits.size()), '0');
  const int index = number - 4;
  const std::string prefix = {'e', Base36(index / 36), Base36(index % 36)};
  return {"EXTRA" + digits, prefix, "extra/extra" + digits, "Department database " + digits,
          DatabaseKind::kMinimal40};
}

}  // namespace

SitePlan MakeDemoPlan(int databases, std::size_t records) {
  SitePlan plan;
  plan.records = records;
  plan.databases = CoreDatabases(databases);
  for (int number = 4; number <= databases; ++number) plan.databases.push_back(ExtraDatabase(number));
  plan.databases.push_back({"LEGAL", "leg", "legal", "Legal department", DatabaseKind::kConverted50});
  plan.databases.push_back({"ARCHIVE", "arc", "archive/1998", "Archive 1998 (offline)", DatabaseKind::kMissing});

  std::vector<std::string> all;
  for (const DatabaseSpec& db : plan.databases) all.push_back(db.name);
  std::vector<std::string> firstTwo(all.begin(), all.begin() + std::min<std::size_t>(2, all.size()));
  plan.users = {
      {kAdminUser, "FILOMAR ADMINISTRATOR", kAdminPassword, "9", all},
      {"RMANAGER", "Records Manager", "MANAGER", "7", all},
      {"CLERK", "Registry Clerk", "CLERK", "3", firstTwo},
  };
  return plan;
}

const DatabaseSpec& StandardDatabase(const SitePlan& plan) { return plan.databases.front(); }

}  // namespace site
