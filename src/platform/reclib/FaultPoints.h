// Test seam: ends the process at a chosen store write, commit or file rename, as a kill -9
// would, so that a test can check what an interrupted conversion leaves behind.
//
// Off unless the environment names it (read once):
//   FILOMAR_RECLIB_FAULT_AT=N      the process kills itself (SIGKILL) just before point N
//                                  (counted from 1) is carried out;
//   FILOMAR_RECLIB_FAULT_LIST=FILE every point reached is appended to FILE as one line
//                                  "<number> <kind> <what>", so that a test can choose points;
//   FILOMAR_RECLIB_FAULT_SKIP=WHAT every record write to the table WHAT ("r_CONF_0") is
//                                  skipped and reported done, as a lost write would be, so
//                                  that a test can see the conversion notice what is missing.
#pragma once

#include <string>

namespace reclib {

// Called just before a store write, commit or rename: `kind` is "write", "commit" or
// "rename", `what` the table or file concerned. True when the write is to be skipped.
bool FaultPoint(const char* kind, const std::string& what);

}  // namespace reclib
