// The record dump's reading of a record buffer: any bytes, any size up to a record's, any key
// length, give one line of text.
#include <cstdint>
#include <string>

#include "platform/reclib/io.h"
#include "site/RecordDump.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int keyLength = data[0] % 64;
  const int length = static_cast<int>(std::min<std::size_t>(size - 1, reclib::kRecordSize));
  const std::string text = site::ReadableRecord(reinterpret_cast<const char*>(data + 1), length, keyLength);
  (void)text;
  return 0;
}
