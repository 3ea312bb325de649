// Card numbers whose decimal point is implied by a DP indicator.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace cardlift {

// Result of formatImpliedDecimal for a field that is not a number.
inline constexpr std::int32_t kNotANumber = -13;

// Room for the longest decimal text: a five-character field with five
// decimals, a point, zeros and the terminator, with margin. The text is
// NUL-terminated and its length kept beside it.
struct DecimalText : std::array<char, 16> {
  std::int32_t textLength = 0;
};

// The numeric field test: every character a digit, except that the first
// may be '+' or '-'.
bool isNumericField(std::string_view field);

// Turns `length` characters of `field` (4 or 5) with `decimals` implied
// decimal places (0 to 5) into decimal text in `out`, NUL-terminated.
// Leading blanks of the field are first rewritten to '0' in place, so a
// caller that later shows the field shows the zeros. Returns 0, or
// kNotANumber (with `out` untouched) when the field fails the numeric
// field test. The digits are never changed: 1234 with 2 decimals is
// "12.34", with 0 it is "1234.", with 5 it is ".01234". A signed field
// with as many decimals as characters or more keeps its sign in front:
// "-123" with 4 decimals is "-.0123".
std::int32_t formatImpliedDecimal(char* field, int length, int decimals, DecimalText& out);

// The longest text writeFourDigitDecimal writes.
inline constexpr std::int32_t kFourDigitDecimalLength = 6;

// formatImpliedDecimal for its most common case, four digits (no blank, no
// sign) with 0 to 5 decimals: writes the text to `out`, not terminated, and
// returns its length.
inline std::int32_t writeFourDigitDecimal(const char* digits, int decimals, char* out) {
  switch (decimals) {
    case 0:
      std::memcpy(out, digits, 4);
      out[4] = '.';
      return 5;
    case 1:
      std::memcpy(out, digits, 3);
      out[3] = '.';
      out[4] = digits[3];
      return 5;
    case 2:
      std::memcpy(out, digits, 2);
      out[2] = '.';
      std::memcpy(out + 3, digits + 2, 2);
      return 5;
    case 3:
      out[0] = digits[0];
      out[1] = '.';
      std::memcpy(out + 2, digits + 1, 3);
      return 5;
    case 4:
      out[0] = '.';
      std::memcpy(out + 1, digits, 4);
      return 5;
    default:
      out[0] = '.';
      out[1] = '0';
      std::memcpy(out + 2, digits, 4);
      return 6;
  }
}

// The text formatImpliedDecimal wrote.
inline std::string_view textOf(const DecimalText& text) {
  return {text.data(), static_cast<std::size_t>(text.textLength)};
}

}  // namespace cardlift
