// The values the product's routines pass around where the original used a Variant: nothing,
// a text, a 32-bit or 16-bit integer, or a date.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace filomar {

using Date = std::chrono::year_month_day;
using Variant = std::variant<std::monostate, std::string, std::int32_t, std::int16_t, Date>;

// Reads a text as a date the way the platform's date conversion does: "yyyy-mm-dd" or
// "yyyy/mm/dd", or three numbers separated by "/", "." or "-" in the order of the short date
// pattern (day first unless the pattern starts with "M"); a two-digit year below 30 is in
// the 2000s. Surrounding blanks are allowed. nullopt when the text is not a valid date.
std::optional<Date> ParseDate(const std::string& text, const std::string& shortDatePattern);

// The date a value stands for: a Date itself, or a text that ParseDate accepts.
std::optional<Date> AsDate(const Variant& value, const std::string& shortDatePattern);

}  // namespace filomar
