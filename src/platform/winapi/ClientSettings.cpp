#include "platform/winapi/ClientSettings.h"

#include "platform/winapi/Profile.h"

namespace winapi {

std::string StandardDataDir(const std::string& iniPath) {
  char buffer[200] = {};
  const auto n = GetPrivateProfileStringA("DATABASE", "StandardDataDir", "", buffer, sizeof buffer, iniPath.c_str());
  return std::string(buffer, n);
}

}  // namespace winapi
