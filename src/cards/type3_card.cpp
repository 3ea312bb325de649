// Card type 3: one composite value for a whole period, as one "RC" line.
#include <array>

#include "cards/card_converters.hpp"
#include "core/error_channel.hpp"
#include "core/message_format.hpp"
#include "fields/card_key.hpp"
#include "fields/code_tables.hpp"
#include "fields/implied_decimal.hpp"

namespace cardlift {
namespace {

constexpr std::int32_t kType3Failed = -3;

constexpr int kFirstCode = 18;     // columns 18-20
constexpr int kSecondCode = 21;    // columns 21-23
constexpr int kYear = 24;          // columns 24-25
constexpr int kPeriodFirst = 26;   // columns 26-27
constexpr int kPeriodSecond = 28;  // columns 28-29
constexpr int kCompositeType = 30;
constexpr int kDpIndicator = 31;
constexpr int kValue = 32;  // columns 32-35
constexpr int kValueFlag = 36;

}  // namespace

std::int32_t convertType3Card(ConversionContext& context, char* line, CardColumns card,
                              std::int32_t* /*callAgain*/) {
  OutputRecord& record = context.record;
  record.begin(line);
  std::int32_t result = 0;

  // Column 17 has no place on this card type.
  writeCardKey(record, "RC", card);
  record.appendField(card.columns(kFirstCode, kFirstCode + 2));
  record.appendField(card.columns(kSecondCode, kSecondCode + 2));
  record.appendField(textOf(expandCardYear(card.column(kYear), card.column(kYear + 1))));
  record.appendField(card.columns(kPeriodFirst, kPeriodFirst + 1));
  record.appendField(card.columns(kPeriodSecond, kPeriodSecond + 1));
  record.appendField(lookupCodeText(CompositeTypeTable, card.column(kCompositeType)));

  const char flag = upperCase(card.column(kValueFlag));
  const char dpIndicator = card.column(kDpIndicator);
  char* value = card.at(kValue);
  std::array<char, 64> message;
  if (card.column(kActionColumn) == 'D' || value[0] == '*') {
    if (value[0] == '*') record.overwrite(kActionPosition, 'D');
    record.appendField(card.columns(kValue, kValue + 3));
  } else if (dpIndicator >= '0' && dpIndicator <= '5') {
    DecimalText text;
    if (formatImpliedDecimal(value, 4, dpIndicator - '0', text) == 0) {
      record.appendField(textOf(text));
    } else {
      reportFieldError(
          context, kErrorSampleValue, "REPORTED_SAMPLE_VALUE",
          formatMessage(message, "Invalid Sample Value: ", card.columns(kValue, kValue + 3), "."));
      record.appendField(card.columns(kValue, kValue + 3));
      result = kType3Failed;
    }
  } else {
    reportFieldError(context, kErrorDpIndicator, kMultipleColumns,
                     formatMessage(message, "Invalid DP Indicator: ", dpIndicator, "."));
    record.appendField(card.columns(kValue, kValue + 3));
    result = kType3Failed;
  }

  record.appendField({});
  record.appendField(flag == ' ' ? std::string_view() : std::string_view(&flag, 1));
  record.padFieldsTo(24);
  return result;
}

}  // namespace cardlift
