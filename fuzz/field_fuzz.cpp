// The record field codec: Get and Put of every field type at any place, length and count, on
// any buffer content and value. A Put changes no byte outside the field's occurrences.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "recio/Vb_io.h"

namespace {

using filomar::FieldInfo;
using filomar::Variant;

struct Reader {
  const std::uint8_t* data;
  std::size_t size;
  std::uint8_t Byte() { return size ? (--size, *data++) : 0; }
  short Short() { return static_cast<short>(Byte() | (Byte() << 8)); }
  std::string Text(std::size_t n) {
    n = std::min(n, size);
    std::string text(reinterpret_cast<const char*>(data), n);
    data += n;
    size -= n;
    return text;
  }
};

Variant ValueFrom(Reader& in) {
  switch (in.Byte() % 5) {
    case 0: return std::monostate{};
    case 1: return static_cast<std::int32_t>(in.Short() * 65536 + static_cast<unsigned short>(in.Short()));
    case 2: return static_cast<std::int16_t>(in.Short());
    case 3:
      return filomar::Date{std::chrono::year{in.Short()}, std::chrono::month{in.Byte() % 14u},
                           std::chrono::day{in.Byte() % 33u}};
    default: return in.Text(in.Byte());
  }
}

// True when every byte outside field's occurrences is as it was.
bool OnlyTheFieldChanged(const FieldInfo& field, const char* before, const char* after) {
  for (int i = 0; i < reclib::kRecordSize; ++i) {
    const long from = field.offset, to = from + static_cast<long>(field.length) * std::max<short>(field.count, 1);
    if ((i < from || i >= to) && before[i] != after[i]) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = (filomar::InitFileTable(), true);
  (void)ready;
  Reader in{data, size};
  static const short kTypes[] = {filomar::kText, filomar::kNumeric, 0, 7};
  FieldInfo field;
  field.file = filomar::CONF_FILE;
  field.offset = static_cast<short>(in.Short() % 1600);
  field.length = static_cast<short>(in.Short() % 64);
  field.type = kTypes[in.Byte() % 4];
  field.count = static_cast<short>(in.Byte() % 4);
  char* record = filomar::Block(filomar::CONF_FILE).record;
  const std::string raw = in.Text(reclib::kRecordSize);
  std::memset(record, ' ', reclib::kRecordSize);
  std::memcpy(record, raw.data(), raw.size());

  filomar::GetField(field);
  filomar::GetText(field);
  std::vector<Variant> values;
  filomar::GetFieldArray(field, values);

  std::vector<char> before(record, record + reclib::kRecordSize);
  filomar::PutField(field, ValueFrom(in));
  if (!OnlyTheFieldChanged(field, before.data(), record)) __builtin_trap();
  values.assign(in.Byte() % 5, Variant{});
  for (auto& value : values) value = ValueFrom(in);
  before.assign(record, record + reclib::kRecordSize);
  filomar::PutFieldArray(field, values);
  if (!OnlyTheFieldChanged(field, before.data(), record)) __builtin_trap();
  filomar::GetField(field);
  return 0;
}
