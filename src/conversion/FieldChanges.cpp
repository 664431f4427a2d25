#include "conversion/FieldChanges.h"

#include <algorithm>
#include <cstdio>

#include "recio/FieldNames.h"

namespace filomar {
namespace {

constexpr std::size_t kJoinGap = 16;

std::string Slice(const std::string& record, std::size_t offset, std::size_t length) {
  return offset < record.size() ? record.substr(offset, length) : std::string();
}

bool Differs(const std::string& before, const std::string& after, std::size_t offset, std::size_t length) {
  return Slice(before, offset, length) != Slice(after, offset, length);
}

// Adds the named fields that differ and marks the bytes they cover.
void AddNamedChanges(short file, const std::string& key, const std::string& before, const std::string& after,
                     std::vector<bool>& covered, std::vector<FieldChange>& changes) {
  for (const NamedField& named : FieldsOfRecord(file, key)) {
    const FieldInfo& f = *named.field;
    const int count = std::max<int>(f.count, 1);
    for (int i = 0; i < count; ++i) {
      const std::size_t offset = static_cast<std::size_t>(f.offset) + static_cast<std::size_t>(i) * f.length;
      const std::size_t length = static_cast<std::size_t>(f.length);
      for (std::size_t b = offset; b < std::min(offset + length, covered.size()); ++b) covered[b] = true;
      if (!Differs(before, after, offset, length)) continue;
      const std::string name = std::string(named.name) + (count > 1 ? "(" + std::to_string(i) + ")" : "");
      if (named.secret) changes.push_back({name, "<hidden>", "<hidden>"});
      else changes.push_back({name, ShownValue(Slice(before, offset, length)), ShownValue(Slice(after, offset, length))});
    }
  }
}

// Adds the differing bytes that no named field covers, as joined ranges.
void AddUnnamedChanges(const std::string& before, const std::string& after, const std::vector<bool>& covered,
                       std::vector<FieldChange>& changes) {
  std::size_t start = 0, end = 0;  // the open range [start, end); empty while end == 0
  auto close = [&] {
    if (end == 0) return;
    changes.push_back({"bytes " + std::to_string(start) + "-" + std::to_string(end - 1),
                       ShownValue(Slice(before, start, end - start)), ShownValue(Slice(after, start, end - start))});
    end = 0;
  };
  for (std::size_t b = 0; b < covered.size(); ++b) {
    if (covered[b] || !Differs(before, after, b, 1)) continue;
    if (end != 0 && b - end >= kJoinGap) close();
    if (end == 0) start = b;
    end = b + 1;
  }
  close();
}

}  // namespace

std::string ShownValue(const std::string& bytes) {
  std::string text = bytes;
  while (!text.empty() && text.back() == ' ') text.pop_back();
  std::string shown;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F) {
      shown += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", u);
      shown += escaped;
    }
    if (shown.size() >= kShownCharacters) return shown + "...";
  }
  return shown;
}

std::vector<FieldChange> ChangedFields(short file, const std::string& key, const std::string& before,
                                       const std::string& after) {
  std::vector<FieldChange> changes;
  std::vector<bool> covered(std::max(before.size(), after.size()), false);
  AddNamedChanges(file, key, before, after, covered, changes);
  AddUnnamedChanges(before, after, covered, changes);
  return changes;
}

}  // namespace filomar
