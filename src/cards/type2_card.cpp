// Card type 2: one raw sample value for one hour, as one "RD" line.
#include "cards/card_converters.hpp"
#include "fields/ascii.hpp"
#include "fields/card_key.hpp"
#include "fields/dp_indicator.hpp"
#include "fields/sample_value.hpp"

namespace cardlift {
namespace {

constexpr ColumnRange kHour{30, 2};
constexpr int kSingleCharacter = 32;  // goes to field 15
constexpr int kDpIndicator = 33;
constexpr ColumnRange kSampleValue{34, 4};
constexpr int kValueFlag = 38;

}  // namespace

bool convertType2Card(ConversionContext& context, CardColumns& card) {
  OutputRecord& record = context.record;
  bool accepted = true;

  writeCardKey(record, card);
  writeCodesAndDate(record, card);

  // A blank tens digit means midnight, whatever the units column holds.
  if (card.column(kHour.first) == ' ') {
    char* hour = card.at(kHour);
    hour[0] = '0';
    hour[1] = '0';
  }
  record.appendField(card.columns(kHour));

  const char flag = upperCase(card.column(kValueFlag));
  const char dpIndicator = card.column(kDpIndicator);
  char* value = card.at(kSampleValue);
  if (isDeleteCard(card) || value[0] == kDeleteMarker) {
    if (value[0] == kDeleteMarker) markDeleted(record);
    record.appendField(card.columns(kSampleValue));
    record.appendField({});
  } else if (isDigit(dpIndicator)) {
    // Six to nine decimals are rejected there, with the value's fields.
    if (appendSampleValue(context, value, dpIndicator - '0', flag) != 0) accepted = false;
  } else if (dpIndicator == ' ') {
    // A blank DP indicator marks the value as a legacy null code.
    if (appendSampleValue(context, value, -1, flag) != 0) accepted = false;
  } else {
    // Reported as no DP indicator; the value's fields are left out.
    readDpIndicator(context, dpIndicator);
    accepted = false;
  }

  // Field 15: the single character; 16 empty; 17: the flag, empty for '9'.
  record.appendCharFields<3>({card.column(kSingleCharacter), ' ', flag == '9' ? ' ' : flag});
  return accepted;
}

}  // namespace cardlift
