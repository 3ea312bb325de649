// Card type 2: one raw sample value for one hour, as one "RD" line.
#include <array>

#include "cards/card_converters.hpp"
#include "core/error_channel.hpp"
#include "core/message_format.hpp"
#include "fields/card_key.hpp"
#include "fields/sample_value.hpp"

namespace cardlift {
namespace {

constexpr std::int32_t kType2Failed = -2;

constexpr int kDurationCode = 17;
constexpr int kFirstCode = 18;        // columns 18-20
constexpr int kSecondCode = 21;       // columns 21-23
constexpr int kHour = 30;             // columns 30-31
constexpr int kSingleCharacter = 32;  // goes to field 15
constexpr int kDpIndicator = 33;
constexpr int kSampleValue = 34;  // columns 34-37
constexpr int kValueFlag = 38;

}  // namespace

std::int32_t convertType2Card(ConversionContext& context, char* line, CardColumns card,
                              std::int32_t* /*callAgain*/) {
  OutputRecord& record = context.record;
  record.begin(line);
  std::int32_t result = 0;

  writeCardKey(record, "RD", card);
  record.appendField(card.columns(kDurationCode, kDurationCode));
  record.appendField(card.columns(kFirstCode, kFirstCode + 2));
  record.appendField(card.columns(kSecondCode, kSecondCode + 2));
  record.appendField(textOf(formatCardDate(card)));

  // A blank tens digit means midnight, whatever the units column holds.
  if (card.column(kHour) == ' ') {
    *card.at(kHour) = '0';
    *card.at(kHour + 1) = '0';
  }
  record.appendField(card.columns(kHour, kHour + 1));

  const char flag = upperCase(card.column(kValueFlag));
  const char dpIndicator = card.column(kDpIndicator);
  char* value = card.at(kSampleValue);
  if (card.column(kActionColumn) == 'D' || value[0] == '*') {
    if (value[0] == '*') record.overwrite(kActionPosition, 'D');
    record.appendField(card.columns(kSampleValue, kSampleValue + 3));
    record.appendField({});
  } else if (dpIndicator >= '0' && dpIndicator <= '9') {
    if (convertSampleValue(context, value, dpIndicator - '0', flag) != 0) result = kType2Failed;
  } else if (dpIndicator == ' ') {
    // A blank DP indicator marks the value as a legacy null code.
    if (convertSampleValue(context, value, -1, flag) != 0) result = kType2Failed;
  } else {
    std::array<char, 64> message;
    reportFieldError(context, kErrorDpIndicator, kMultipleColumns,
                     formatMessage(message, "Invalid DP Indicator: ", dpIndicator, "."));
    result = kType2Failed;
  }

  const char single = card.column(kSingleCharacter);
  record.appendField(single == ' ' ? std::string_view() : std::string_view(&single, 1));
  record.appendField({});
  record.appendField(flag == '9' || flag == ' ' ? std::string_view() : std::string_view(&flag, 1));
  record.padFieldsTo(25);
  return result;
}

}  // namespace cardlift
