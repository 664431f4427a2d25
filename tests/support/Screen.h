// What the scripted front end showed, in forms that compare in one assertion.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "support/ScriptedUi.h"

namespace testing_support {

// The texts of the message boxes shown so far.
inline std::vector<std::string> Texts(const ui::ScriptedUi& screen) {
  std::vector<std::string> texts;
  for (const auto& m : screen.Shown()) texts.push_back(m.text);
  return texts;
}

// Text, title and button/icon code of one message box.
using Box = std::tuple<std::string, std::string, std::uint16_t>;

// The `i`th message box shown; throws (failing the test) when fewer were shown.
inline Box BoxAt(const ui::ScriptedUi& screen, std::size_t i) {
  const ui::ShownMessage& m = screen.Shown().at(i);
  return {m.text, m.title, m.code};
}

}  // namespace testing_support
