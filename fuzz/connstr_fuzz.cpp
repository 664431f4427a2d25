// The connection string parser: any text parses or is refused, and no value it gives back
// runs past the ";" that ends a value.
#include <cstdint>
#include <string>

#include "platform/ado/ConnectionString.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto target = ado::ParseConnectionString(std::string(reinterpret_cast<const char*>(data), size));
  if (!target) return 0;
  for (const std::string* value : {&target->dataSource, &target->userId, &target->password})
    if (value->find(';') != std::string::npos) __builtin_trap();
  return 0;
}
