// ado::Command: a statement text sent on a connection.
#pragma once

#include <string>

#include "platform/ado/Connection.h"

namespace ado {

// Only text commands exist in this system; Unknown is ADO's default and is sent as text too.
enum class CommandTypeEnum { adCmdText = 1, adCmdUnknown = 8 };

inline constexpr long adOptionUnspecified = -1;

class Command {
 public:
  // The connection the command runs on; nullptr ("Nothing") detaches it. Not owned.
  Connection* ActiveConnection = nullptr;
  std::string CommandText;
  CommandTypeEnum CommandType = CommandTypeEnum::adCmdUnknown;
  int CommandTimeout = 30;  // seconds; 0 = no limit

  // Sends CommandText; any rows it yields are discarded. Returns false on failure, with the
  // errors in ActiveConnection->Errors(); false without any error when there is no active
  // connection. `options` is accepted for the product's call shape and has no effect.
  bool Execute(long options = adOptionUnspecified);
};

}  // namespace ado
