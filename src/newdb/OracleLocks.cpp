#include "newdb/OracleLocks.h"

#include "shared/Connection.h"

namespace filomar {
namespace {

constexpr OracleObject kObjects[] = {
#include "newdb/OracleLockSources.inc"
};

}  // namespace

std::span<const OracleObject> OracleLockObjects() { return kObjects; }

void CreateOracleLockProcedures(ado::ProviderFactory& server) {
  ServerConversation conversation(ReportInMessageBox, server);
  if (!conversation.IsOpen()) return;
  for (const OracleObject& object : kObjects) {
    // An object that fails leaves the later ones at their earlier text rather than sending
    // them against a server that has just refused one.
    if (!conversation.Execute(std::string(object.text))) return;
  }
}

}  // namespace filomar
