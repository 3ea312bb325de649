// Character classes by the plain ASCII rule, whatever the locale.
#pragma once

namespace cardlift {

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Only 'a' to 'z' change.
constexpr char upperCase(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace cardlift
