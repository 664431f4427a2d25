// Ending the program from any depth, as the platform's End statement did: the routine that
// ends the run throws ProgramEnd, and the program entry turns it into the process exit status.
#pragma once

namespace filomar {

inline constexpr int kExitNormal = 0;     // the program ran to its normal end
inline constexpr int kExitFailure = 1;    // it ended on a failure shown to the user
inline constexpr int kExitCancelled = 2;  // the user cancelled
inline constexpr int kExitRunCancelled = 3;  // a conversion run was cancelled between databases:
                                             // the databases not yet reached are left at 4.0

struct ProgramEnd {
  int status;
};

}  // namespace filomar
