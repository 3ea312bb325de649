// Card numbers whose decimal point is implied by a DP indicator.
#include "fields/implied_decimal.hpp"

namespace cardlift {
namespace {

template <int kLength>
std::int32_t formatWidth(char* field, int decimals, DecimalText& out) {
  if (!implied_decimal::takeAsNumber<kLength>(field)) return kNotANumber;
  out.textLength = implied_decimal::withDecimals(decimals, [&](auto kDecimals) {
    return implied_decimal::writeText<kLength, kDecimals>(field, out.data());
  });
  out[static_cast<std::size_t>(out.textLength)] = '\0';
  return 0;
}

}  // namespace

std::int32_t formatImpliedDecimal(char* field, int length, int decimals, DecimalText& out) {
  if (!isDecimalCount(decimals)) return kNotANumber;
  if (length == kValueWidth) return formatWidth<kValueWidth>(field, decimals, out);
  if (length == kWidestValueWidth) return formatWidth<kWidestValueWidth>(field, decimals, out);
  return kNotANumber;
}

}  // namespace cardlift
