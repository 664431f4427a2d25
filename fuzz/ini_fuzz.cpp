// The INI reader on any file content: the copied value always fits the caller's buffer, is
// NUL terminated and is as long as the count returned.
#include <cstring>

#include "FuzzInput.h"
#include "platform/winapi/Profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::WriteScratchFile("FLMWIN.INI", data, size);
  for (const std::uint32_t capacity : {1u, 8u, 200u}) {
    char buffer[200];
    std::memset(buffer, 'X', sizeof buffer);
    const auto n = winapi::GetPrivateProfileStringA("DATABASE", "StandardDataDir", "dflt", buffer, capacity,
                                                    path.c_str());
    if (n >= capacity || buffer[n] != '\0' || std::strlen(buffer) != n) __builtin_trap();
  }
  return 0;
}
