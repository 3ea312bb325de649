// Card numbers whose decimal point is implied by a DP indicator.
#include "fields/implied_decimal.hpp"

#include "fields/ascii.hpp"

namespace cardlift {

bool isNumericField(std::string_view field) {
  for (std::size_t i = 0; i < field.size(); ++i) {
    const char c = field[i];
    if (isDigit(c)) continue;
    if (i == 0 && (c == '+' || c == '-')) continue;
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
  const std::string_view digits(field, size);
  if (!isNumericField(digits)) return kNotANumber;

  std::size_t at = 0;
  const auto put = [&](char c) { out[at++] = c; };
  const auto putZeros = [&](int count) {
    for (int i = 0; i < count; ++i) put('0');
  };
  const bool signedField = field[0] == '+' || field[0] == '-';
  if (decimals == 0) {
    for (char c : digits) put(c);
    put('.');
  } else if (decimals < length) {
    const auto whole = static_cast<std::size_t>(length - decimals);
    for (std::size_t i = 0; i < size; ++i) {
      if (i == whole) put('.');
      put(digits[i]);
    }
  } else if (signedField) {
    // The sign stays in front; the number's digits are one fewer than the
    // field's characters, so the zeros after the point make up the rest.
    put(digits[0]);
    put('.');
    putZeros(decimals - (length - 1));
    for (std::size_t i = 1; i < size; ++i) put(digits[i]);
  } else {
    put('.');
    putZeros(decimals - length);
    for (char c : digits) put(c);
  }
  out[at] = '\0';
  return 0;
}

}  // namespace cardlift
