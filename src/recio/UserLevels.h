// The twelve user levels of a database's CODE file: rows of type "L" whose two masks of
// "Y"/"N" flags say what a user of that level may do (what each position allows belongs to
// the product's client programs). The same rows are written for Oracle sites by the
// conversion and into every new STANDARD database, in this order.
#pragma once

#include <array>

namespace filomar {

struct UserLevel {
  const char* code;         // the level's code after the type "L": "0" .. "9", "S", "M"
  const char* description;
  const char* mask1;        // 28 flags, CODE_LevelMask1
  const char* mask2;        // 44 flags, CODE_LevelMask2
};

inline constexpr const char* kNo44 = "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN";
inline constexpr const char* kYes44 = "YYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYY";

inline constexpr std::array<UserLevel, 12> kUserLevels{{
    {"0", "ZERO", "YNNNNNNNNNNNNNNNNNNNNNNNNNNN", kNo44},
    {"1", "ONE", "YYNNNNNNNNNNNNNNNNNNNNNNNNNN", kNo44},
    {"2", "TWO", "YYYNNNNNNNNNNNNNNNNNNNNNNNNN", kNo44},
    {"3", "THREE", "YYYNYYNNYNNNNNNNNNNNNNNNNNNN", "YNNNNYYNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN"},
    {"4", "FOUR", "YYYYYYYNYNNNNNNNNNNNNNNNNNNN", "NNYYNYYNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN"},
    {"5", "FIVE", "YYYYYYYNYYNNNNNNNNNNNNNNNNNN", "NNYYNYYNNYYYNYNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN"},
    {"6", "SIX", "YYYYYYYNYYYYYYYYNNNNNNNNNNNN", "NNYYYYYYYYYYYYYYYYYYYYYYYYYYYYYNNNNNNNNNNNNN"},
    {"7", "SEVEN", "YYYYYYYYYYYYYYYYYNNNNNYYYYYY", "YYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYNNNNNNNNNNNNN"},
    {"8", "EIGHT", "YYYYYYYYYYYYYYYYYYNYYYYYYYYY", kYes44},
    {"9", "NINE", "YYYYYYYYYYYYYYYYYYYYYYYYYYYY", kYes44},
    {"S", "SEARCH", "YYYYNNNNNNNNNYYYNNNNNNNNNNNN", kNo44},
    {"M", "MOVEMENT", "NNNNNYYNNNNYNNNNNNNNNNNNNNNN", kNo44},
}};

}  // namespace filomar
