// The product's message box codes: a 16-bit sum of a button set, an icon and a default
// button, and the pressed button as the result.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

namespace mb {
constexpr std::uint16_t OKOnly = 0;
constexpr std::uint16_t OKCancel = 1;
constexpr std::uint16_t RetryCancel = 5;
constexpr std::uint16_t Critical = 16;
constexpr std::uint16_t Exclamation = 48;
constexpr std::uint16_t Information = 64;
constexpr std::uint16_t DefaultButton2 = 256;
}  // namespace mb

// Pressed buttons.
constexpr int kOK = 1;
constexpr int kCancel = 2;
constexpr int kRetry = 4;

enum class Icon { None, Critical, Exclamation, Information };

// The buttons of a code in screen order (OK; OK, Cancel; Retry, Cancel).
std::vector<int> ButtonsOf(std::uint16_t code);
// The button that Enter presses: the second one when DefaultButton2 is set and there is one.
int DefaultButtonOf(std::uint16_t code);
// The button that closing the box presses: Cancel when there is one, else the default.
int EscapeButtonOf(std::uint16_t code);
Icon IconOf(std::uint16_t code);
// "OK", "Cancel", "Retry".
std::string ButtonName(int button);
// Parses a button name without regard to case; 0 when it names none.
int ButtonFromName(const std::string& name);

}  // namespace ui
