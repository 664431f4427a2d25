// The values the product's routines pass around where the original used a Variant: nothing,
// a text, a 32-bit or 16-bit integer, or a date.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <variant>

namespace filomar {

using Date = std::chrono::year_month_day;
using Variant = std::variant<std::monostate, std::string, std::int32_t, std::int16_t, Date>;

}  // namespace filomar
