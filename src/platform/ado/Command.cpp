#include "platform/ado/Command.h"

namespace ado {

bool Command::Execute(long /*options*/) {
  if (ActiveConnection == nullptr) return false;
  return ActiveConnection->SendStatement(CommandText, CommandTimeout, "ADODB.Command");
}

}  // namespace ado
