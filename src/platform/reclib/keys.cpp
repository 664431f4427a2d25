#include "platform/reclib/keys.h"

#include <array>
#include <cstring>

namespace reclib {
namespace {

struct KeyRule {
  const char* code;  // blank padded to 4
  short length;
};

// Every file code of the product's file table ("PL  " serves its three instances). Files whose keys the conversion does not
// address by name get 20 bytes, enough for their identifying number or code.
constexpr std::array<KeyRule, 77> kRules{{
    {"FACT", 20}, {"AO  ", 20}, {"AUD ", 20}, {"BUP ", 20}, {"CAL ", 2},  {"CODE", 11}, {"CONF", 3},
    {"DEPT", 20}, {"DOMV", 20}, {"DOCS", 20}, {"DSEQ", 20}, {"DWFL", 20}, {"FILE", 20}, {"KWTH", 20},
    {"LOCN", 20}, {"MOVE", 20}, {"ORG ", 20}, {"PL  ", 20}, {"PHRA", 30}, {"SACT", 14}, {"SEQ ", 20},
    {"SNDR", 20}, {"THES", 30}, {"UID ", 30}, {"WORD", 30}, {"DB  ", 10}, {"REMO", 20}, {"MATR", 10},
    {"CENS", 20}, {"DMS ", 20}, {"EDAT", 20}, {"BOX ", 20}, {"BOXT", 20}, {"RPST", 20}, {"SPCE", 20},
    {"CONT", 20}, {"BXMV", 20}, {"BUPO", 20}, {"BXCT", 20}, {"SERS", 20}, {"UCFG", 20}, {"CIT ", 20},
    {"CIDI", 20}, {"AOLD", 20}, {"DOMO", 20}, {"FACO", 20}, {"MOVO", 20}, {"ORGO", 20}, {"MOV1", 20},
    {"FAC1", 20}, {"KREL", 20}, {"VIT ", 20}, {"STOP", 20}, {"FILT", 40}, {"ATTS", 20}, {"VERS", 40},
    {"COMP", 40}, {"AUD1", 20}, {"IDXM", 20}, {"RSDV", 20}, {"SLCT", 20}, {"RELD", 20}, {"LEKT", 20},
    {"IDXQ", 20}, {"OBXC", 20}, {"REPS", 20}, {"REPO", 20}, {"COP1", 20}, {"UDB ", 40}, {"ASEC", 20},
    {"SEC ", 20}, {"EXT ", 20}, {"FRZ ", 20}, {"SSEC", 20}, {"AUT ", 20}, {"NOTE", 20}, {"RULE", 20},
}};

}  // namespace

short KeyLength(const char code[4]) {
  if (code == nullptr) return 0;
  for (const KeyRule& rule : kRules) {
    if (std::memcmp(rule.code, code, 4) == 0) return rule.length;
  }
  return 0;
}

}  // namespace reclib
