// Raw sample values: implied-decimal numbers or legacy null codes.
#include "fields/sample_value.hpp"

#include "core/error_channel.hpp"
#include "fields/dp_indicator.hpp"
#include "fields/implied_decimal.hpp"

namespace cardlift {
namespace {

// Compares four card characters with a table code as unsigned bytes.
int compareCode(const char* value, const char* code) {
  for (int i = 0; i < 4; ++i) {
    const auto a = static_cast<unsigned char>(value[i]);
    const auto b = static_cast<unsigned char>(code[i]);
    if (a != b) return a < b ? -1 : 1;
  }
  return 0;
}

}  // namespace

bool lookupNullDataCode(const char* value, char* code) {
  // From the highest code down; the ascending order allows stopping at the
  // first code that is not above the value.
  for (auto row = NullDataCodeTable.rbegin(); row != NullDataCodeTable.rend(); ++row) {
    const int order = compareCode(value, row->legacyCode);
    if (order < 0) continue;
    if (order > 0) return false;
    code[0] = row->nullDataCode[0];
    code[1] = row->nullDataCode[1];
    return true;
  }
  return false;
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
