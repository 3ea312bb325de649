// Card numbers whose decimal point is implied by a DP indicator.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#include "core/error_channel.hpp"
#include "core/output_record.hpp"
#include "fields/ascii.hpp"
#include "fields/shared_columns.hpp"

namespace cardlift {

// The most decimal places a value may have.
inline constexpr int kMaxDecimals = 5;

// True for a number of decimal places a value may have.
constexpr bool isDecimalCount(int decimals) { return decimals >= 0 && decimals <= kMaxDecimals; }

// The longest decimal text: the widest value with a sign and the most
// decimals, "-.01234".
inline constexpr std::int32_t kLongestDecimalText = kWidestValueWidth + 2;

// Result of formatImpliedDecimal for a field that is not a number.
inline constexpr std::int32_t kNotANumber = -13;

// The decimal text formatImpliedDecimal writes, NUL-terminated, with its
// length kept beside it.
struct DecimalText : std::array<char, kLongestDecimalText + 1> {
  std::int32_t textLength = 0;
};

constexpr bool isSign(char c) { return c == '+' || c == '-'; }

// The numeric field test: every character a digit, except that the first
// may be a sign.
constexpr bool isNumericField(std::string_view field) {
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (!isDigit(field[i]) && !(i == 0 && isSign(field[i]))) return false;
  }
  return true;
}

// Turns `length` characters of `field` (kValueWidth or kWidestValueWidth)
// with `decimals` implied decimal places (a decimal count) into decimal
// text in `out`. Leading blanks of the field are first rewritten to '0' in
// place, so a caller that later shows the field shows the zeros. Returns
// 0, or kNotANumber (with `out` untouched) when the field fails the
// numeric field test; any other width or count is refused the same way,
// with the field left alone. The digits are never changed: 1234 with 2
// decimals is "12.34", with 0 it is "1234.", with 5 it is ".01234". A
// signed field with as many decimals as characters or more keeps its sign
// in front: "-123" with 4 decimals is "-.0123".
std::int32_t formatImpliedDecimal(char* field, int length, int decimals, DecimalText& out);

// The text formatImpliedDecimal wrote.
inline std::string_view textOf(const DecimalText& text) {
  return {text.data(), static_cast<std::size_t>(text.textLength)};
}

// The steps of formatImpliedDecimal, for a field of kLength characters.
namespace implied_decimal {

// The text of a numeric field of kLength characters with kDecimals implied
// decimal places, written to out; returns its length. Every case is laid
// out with copies of fixed sizes.
template <int kLength, int kDecimals>
std::int32_t writeText(const char* field, char* out) {
  if constexpr (kDecimals < kLength) {
    // The point goes between the digits (after the last for no decimals).
    constexpr int kWhole = kLength - kDecimals;
    std::memcpy(out, field, kWhole);
    out[kWhole] = '.';
    std::memcpy(out + kWhole + 1, field + kWhole, kDecimals);
    return kLength + 1;
  } else if (isSign(field[0])) {
    // The sign stays in front; the number's digits are one fewer than the
    // field's characters, so the zeros after the point make up the rest.
    constexpr int kZeros = kDecimals - (kLength - 1);
    out[0] = field[0];
    out[1] = '.';
    std::memset(out + 2, '0', kZeros);
    std::memcpy(out + 2 + kZeros, field + 1, kLength - 1);
    return 2 + kZeros + kLength - 1;
  } else {
    constexpr int kZeros = kDecimals - kLength;
    out[0] = '.';
    std::memset(out + 1, '0', kZeros);
    std::memcpy(out + 1 + kZeros, field, kLength);
    return 1 + kZeros + kLength;
  }
}

// Calls write with the number of decimals as a constant, for a decimal
// count; gives what write gives.
template <typename Write, int... kDecimals>
std::int32_t withDecimals(int decimals, Write&& write, std::integer_sequence<int, kDecimals...>) {
  std::int32_t result = 0;
  static_cast<void>(
      ((decimals == kDecimals ? (result = write(std::integral_constant<int, kDecimals>()), true)
                              : false) ||
       ...));
  return result;
}
template <typename Write>
std::int32_t withDecimals(int decimals, Write&& write) {
  return withDecimals(decimals, write, std::make_integer_sequence<int, kMaxDecimals + 1>());
}

// Leading blanks become zeros in place; then the numeric field test.
template <int kLength>
bool takeAsNumber(char* field) {
  for (int i = 0; i < kLength && field[i] == ' '; ++i) field[i] = '0';
  return isNumericField(std::string_view(field, kLength));
}

}  // namespace implied_decimal

// Appends a field of kLength characters with `decimals` implied decimal
// places (a decimal count) to the record as its decimal text, as
// formatImpliedDecimal gives it. A field that is no number is appended as
// formatImpliedDecimal left it (leading blanks as zeros), and gives `error`
// with those characters.
template <int kLength>
FieldError appendDecimalField(OutputRecord& record, char* field, int decimals,
                              const ErrorKind& error) {
  if (!implied_decimal::takeAsNumber<kLength>(field)) {
    record.appendField(std::string_view(field, kLength));
    return {&error, field};
  }
  // Each number of decimals has its own text length, copied at a fixed size.
  implied_decimal::withDecimals(decimals, [&](auto kDecimals) {
    char text[kLongestDecimalText];
    record.appendField(std::string_view(
        text,
        static_cast<std::size_t>(implied_decimal::writeText<kLength, kDecimals>(field, text))));
    return 0;
  });
  return {};
}

// The same for a field of either width.
inline FieldError appendDecimalField(OutputRecord& record, char* field, int length, int decimals,
                                     const ErrorKind& error) {
  return length == kWidestValueWidth
             ? appendDecimalField<kWidestValueWidth>(record, field, decimals, error)
             : appendDecimalField<kValueWidth>(record, field, decimals, error);
}

}  // namespace cardlift
