#include "platform/ado/Field.h"

#include <charconv>

namespace ado {

std::optional<long> Field::AsLong() const {
  if (!Value) return std::nullopt;
  const std::string& text = *Value;
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  const auto last = text.find_last_not_of(' ') + 1;
  long result = 0;
  const auto [end, ec] = std::from_chars(text.data() + first, text.data() + last, result);
  if (ec != std::errc() || end != text.data() + last) return std::nullopt;
  return result;
}

}  // namespace ado
