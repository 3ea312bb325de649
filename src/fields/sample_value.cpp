// Raw sample values: implied-decimal numbers or legacy null codes.
#include "fields/sample_value.hpp"

#include "core/error_channel.hpp"
#include "fields/ascii.hpp"
#include "fields/dp_indicator.hpp"
#include "fields/implied_decimal.hpp"

namespace cardlift {
namespace {

// The table holds every code from its first on, one row each, so a code's
// row follows from its number.
constexpr int kFirstNullCode = 9947;

constexpr bool rowsFollowTheirCodes() {
  for (std::size_t i = 0; i < NullDataCodeTable.size(); ++i) {
    const char* code = NullDataCodeTable[i].legacyCode;
    const int number =
        ((code[0] - '0') * 10 + (code[1] - '0')) * 100 + (code[2] - '0') * 10 + (code[3] - '0');
    if (number != kFirstNullCode + static_cast<int>(i)) return false;
  }
  return true;
}
static_assert(rowsFollowTheirCodes());

}  // namespace

bool lookupNullDataCode(const char* value, char* code) {
  for (int i = 0; i < 4; ++i) {
    if (!isDigit(value[i])) return false;
  }
  const int number =
      ((value[0] - '0') * 10 + (value[1] - '0')) * 100 + (value[2] - '0') * 10 + (value[3] - '0');
  const int row = number - kFirstNullCode;
  if (row < 0 || row >= static_cast<int>(NullDataCodeTable.size())) return false;
  const NullDataCodeRow& match = NullDataCodeTable[static_cast<std::size_t>(row)];
  code[0] = match.nullDataCode[0];
  code[1] = match.nullDataCode[1];
  return true;
}

std::int32_t convertSampleValue(ConversionContext& context, char* value, int decimals,
                                char valueFlag) {
  OutputRecord& record = context.record;
  const std::string_view raw(value, 4);

  if (decimals > kMaxDecimals) {
    reportFieldError(context, kDpIndicatorError, decimals);
    record.appendField(raw);
    record.appendField({});
    return kDpIndicatorTooLarge;
  }

  if (decimals < 0 || valueFlag == '9') {
    record.appendField({});
    char code[2];
    if (lookupNullDataCode(value, code)) {
      record.appendField(std::string_view(code, 2));
      return 0;
    }
    reportFieldError(context, kNullDataCodeError, raw);
    record.appendField(raw);
    return kUnknownNullCode;
  }

  DecimalText text;
  if (formatImpliedDecimal(value, 4, decimals, text) == 0) {
    record.appendField(textOf(text));
    record.appendField({});
    return 0;
  }
  reportFieldError(context, kSampleValueError, raw);
  record.appendField(raw);
  record.appendField({});
  return kNotANumber;
}

}  // namespace cardlift
