// The program directory (App.Path of the original platform).
#pragma once

#include <string>

namespace winapi {

// The program directory as an absolute path through symbolic links, with no trailing "/":
// $FILOMAR_HOME when it is set and not empty (a relative value is taken from the current
// directory), else the directory of the running executable. Once PinAppPath has run, the
// directory it fixed, whatever the environment or the current directory say later.
std::string AppPath();

// Resolves the program directory once and keeps it for the rest of the process, so that every
// folder of the run (records, letters, backups, log, trace, scripts) is found under the same
// absolute path. The program entry calls it before anything else.
void PinAppPath();

}  // namespace winapi
