// Raw sample values: implied-decimal numbers or legacy null codes.
#include "fields/sample_value.hpp"

#include "fields/ascii.hpp"
#include "fields/implied_decimal.hpp"

namespace cardlift {
namespace {

// The table holds every code from its first on, one row each, so a code's
// row follows from its number.
constexpr int kFirstNullCode = 9947;

// The number four digits stand for.
constexpr int numberOf(const char* digits) {
  int number = 0;
  for (int i = 0; i < 4; ++i) number = 10 * number + (digits[i] - '0');
  return number;
}

constexpr bool rowsFollowTheirCodes() {
  for (std::size_t i = 0; i < NullDataCodeTable.size(); ++i) {
    if (numberOf(NullDataCodeTable[i].legacyCode) != kFirstNullCode + static_cast<int>(i)) {
      return false;
    }
  }
  return true;
}
static_assert(rowsFollowTheirCodes());

}  // namespace

bool lookupNullDataCode(const char* value, char* code) {
  for (int i = 0; i < 4; ++i) {
    if (!isDigit(value[i])) return false;
  }
  const int row = numberOf(value) - kFirstNullCode;
  if (row < 0 || row >= static_cast<int>(NullDataCodeTable.size())) return false;
  const NullDataCodeRow& match = NullDataCodeTable[static_cast<std::size_t>(row)];
  code[0] = match.nullDataCode[0];
  code[1] = match.nullDataCode[1];
  return true;
}

bool convertSampleValue(ConversionContext& context, char* value, int decimals, char valueFlag) {
  return passes(context, appendSampleValue(context.record, value, decimals, valueFlag));
}

}  // namespace cardlift
