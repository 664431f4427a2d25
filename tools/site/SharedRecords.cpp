#include "site/SharedRecords.h"

#include <string>
#include <utility>
#include <vector>

#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "site/RecordSession.h"

namespace site {
using namespace filomar;

namespace {

// The system colours the product stores for a new user: button face and window background.
constexpr std::int32_t kButtonFace = static_cast<std::int32_t>(0x8000000F);
constexpr std::int32_t kWindowBackground = static_cast<std::int32_t>(0x80000005);

Status WriteUsers(const SitePlan& plan) {
  return WriteRecords(UID_FILE, plan.users.size(), [&](std::size_t i) {
    const UserSpec& user = plan.users[i];
    PutField(UID_UserId, user.id);
    PutField(UID_UserName, user.name);
    PutField(UID_Password, user.password);
    for (const FieldInfo* colour : {&UID_Colour1, &UID_Colour2, &UID_Colour3, &UID_Colour4}) {
      PutField(*colour, std::to_string(kButtonFace));
    }
    PutField(UID_Colour5, std::to_string(kWindowBackground));
    PutField(UID_Date, std::string("01/03/2004"));
    PutField(UID_Flag175, std::string("N"));
  });
}

Status WriteLevels(const SitePlan& plan) {
  std::vector<std::pair<const UserSpec*, const std::string*>> rights;
  for (const UserSpec& user : plan.users) {
    for (const std::string& database : user.databases) rights.emplace_back(&user, &database);
  }
  return WriteRecords(UDB_FILE, rights.size(), [&](std::size_t i) {
    PutField(UDB_UserId, rights[i].first->id);
    PutField(UDB_DatabaseName, *rights[i].second);
    PutField(UDB_Level, rights[i].first->level);
  });
}

Status WriteCatalogue(const SitePlan& plan) {
  return WriteRecords(DB_FILE, plan.databases.size(), [&](std::size_t i) {
    const DatabaseSpec& database = plan.databases[i];
    PutField(DB_DatabaseName, database.name);
    PutField(DB_DataDirectory, database.directory);
    PutField(DB_Description, database.description);
    PutField(DB_ImageDirectory, std::string("images"));
    PutField(DB_DatabasePrefix, database.prefix);
    PutField(DB_Valid, std::string("Y"));
  });
}

}  // namespace

Status WriteSharedRecords(const SitePlan& plan) {
  for (Status (*write)(const SitePlan&) : {WriteUsers, WriteLevels, WriteCatalogue}) {
    if (Status status = write(plan); !status.ok()) return Status::Error("STANDARD: " + status.message());
  }
  return Status::Ok();
}

}  // namespace site
