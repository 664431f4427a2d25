// The client settings file FLMWIN.INI: the one place its [DATABASE] StandardDataDir is read.
// Start-up, the product's path routines and the record library each take the value from here
// and clean it up in their own way.
#pragma once

#include <string>

namespace winapi {

// The StandardDataDir value of the settings file `iniPath` as the product's 200-byte buffer
// receives it (at most 199 characters, nothing trimmed); "" when the file or key is missing.
std::string StandardDataDir(const std::string& iniPath);

}  // namespace winapi
