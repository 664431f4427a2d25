// The program directory (App.Path of the original platform).
#pragma once

#include <string>

namespace winapi {

// $FILOMAR_HOME when it is set and not empty, else the directory of the running executable.
// No trailing "/".
std::string AppPath();

}  // namespace winapi
