// The template splitter: any SQL Server script splits into batches, none of which holds a
// line that ends a batch, and no more batches than the script has lines.
#include <cstdint>
#include <sstream>
#include <string>

#include "newdb/TemplateRun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::istringstream script(text);
  const auto batches = filomar::SqlServerBatches(script);
  std::size_t lines = 0;
  for (const char c : text) lines += c == '\n';
  if (batches.size() > lines + 1) __builtin_trap();
  return 0;
}
