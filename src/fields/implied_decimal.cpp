// Card numbers whose decimal point is implied by a DP indicator.
#include "fields/implied_decimal.hpp"

#include <cstring>
#include <utility>

#include "fields/ascii.hpp"

namespace cardlift {
namespace {

constexpr bool isSign(char c) { return c == '+' || c == '-'; }

// The text of a numeric field of kLength characters with kDecimals implied
// decimal places, written to out; returns its length. Every case is laid
// out with copies of fixed sizes: cards hold fields of four and five
// characters with zero to five decimals.
template <int kLength, int kDecimals>
std::int32_t writeDecimal(const char* field, char* out) {
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

// The numeric field test for a field of kLength characters, every one
// tested at once.
template <int kLength>
bool isNumericWidth(const char* field) {
  bool numeric = isDigit(field[0]) || isSign(field[0]);
  for (int i = 1; i < kLength; ++i) numeric &= isDigit(field[i]);
  return numeric;
}

using DecimalWriter = std::int32_t (*)(const char*, char*);

template <int kLength, int... kDecimals>
constexpr std::array<DecimalWriter, sizeof...(kDecimals)> decimalWriters(
    std::integer_sequence<int, kDecimals...>) {
  return {&writeDecimal<kLength, kDecimals>...};
}

constexpr int kMostDecimals = 5;
constexpr auto kFourCharacterWriters =
    decimalWriters<4>(std::make_integer_sequence<int, kMostDecimals + 1>());
constexpr auto kFiveCharacterWriters =
    decimalWriters<5>(std::make_integer_sequence<int, kMostDecimals + 1>());

// Any other width or number of decimals, one character at a time.
std::int32_t writeAnyDecimal(std::string_view digits, int decimals, char* out) {
  const auto length = static_cast<int>(digits.size());
  std::int32_t at = 0;
  const auto put = [&](char c) { out[at++] = c; };
  const auto putZeros = [&](int count) {
    for (int i = 0; i < count; ++i) put('0');
  };
  if (decimals < length) {
    const auto whole = static_cast<std::size_t>(length - decimals);
    for (std::size_t i = 0; i < digits.size(); ++i) {
      if (i == whole) put('.');
      put(digits[i]);
    }
    if (decimals == 0) put('.');
  } else if (isSign(digits[0])) {
    put(digits[0]);
    put('.');
    putZeros(decimals - (length - 1));
    for (std::size_t i = 1; i < digits.size(); ++i) put(digits[i]);
  } else {
    put('.');
    putZeros(decimals - length);
    for (char c : digits) put(c);
  }
  return at;
}

}  // namespace

bool isNumericField(std::string_view field) {
  for (std::size_t i = 0; i < field.size(); ++i) {
    const char c = field[i];
    if (isDigit(c)) continue;
    if (i == 0 && isSign(c)) continue;
    return false;
  }
  return true;
}

std::int32_t formatImpliedDecimal(char* field, int length, int decimals, DecimalText& out) {
  if (length <= 0 || decimals < 0 || length + decimals + 3 > static_cast<int>(out.size())) {
    return kNotANumber;
  }
  const auto size = static_cast<std::size_t>(length);
  for (std::size_t i = 0; i < size && field[i] == ' '; ++i) field[i] = '0';

  std::int32_t written = 0;
  if (length == 4 && decimals <= kMostDecimals) {
    if (!isNumericWidth<4>(field)) return kNotANumber;
    written = kFourCharacterWriters[static_cast<std::size_t>(decimals)](field, out.data());
  } else if (length == 5 && decimals <= kMostDecimals) {
    if (!isNumericWidth<5>(field)) return kNotANumber;
    written = kFiveCharacterWriters[static_cast<std::size_t>(decimals)](field, out.data());
  } else {
    const std::string_view digits(field, size);
    if (!isNumericField(digits)) return kNotANumber;
    written = writeAnyDecimal(digits, decimals, out.data());
  }
  out[static_cast<std::size_t>(written)] = '\0';
  out.textLength = written;
  return 0;
}

}  // namespace cardlift
