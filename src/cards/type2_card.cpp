// Card type 2: one raw sample value for one hour, as one "RD" line.
#include "cards/card_converters.hpp"
#include "core/card_types.hpp"
#include "core/error_channel.hpp"
#include "fields/ascii.hpp"
#include "fields/card_key.hpp"
#include "fields/sample_value.hpp"

namespace cardlift {
namespace {

constexpr ColumnRange kSingleCharacter{32, 1};  // goes to field 15
constexpr ColumnRange kDpIndicator{33, 1};
constexpr ColumnRange kSampleValue{34, kValueWidth};
constexpr int kValueFlag = 38;

}  // namespace

bool convertType2Card(ConversionContext& context, CardColumns& card) {
  OwnLine line(context);
  bool accepted = true;

  writeCardKey(line, card);
  writeCodesAndDate(line, card);

  // A blank tens digit means midnight, whatever the units column holds.
  if (card.column(kHourColumns.first) == ' ') {
    char* hour = card.at(kHourColumns.first);
    hour[0] = '0';
    hour[1] = '0';
  }
  line.appendField(card.columns(kHourColumns));

  const char flag = upperCase(card.column(kValueFlag));
  int decimals = 0;
  if (isDeleteCard(card) || card.column(kSampleValue.first) == kDeleteMarker) {
    if (card.column(kSampleValue.first) == kDeleteMarker) markDeleted(line);
    line.appendField(card.columns(kSampleValue));
    line.appendField({});
  } else if (sampleDecimals(card.column(kDpIndicator.first), decimals)) {
    accepted =
        passes(context, appendSampleValue(line, card.at(kSampleValue.first), decimals, flag));
  } else {
    // Reported as no DP indicator; the value's fields are left out.
    reportFieldError(context, kDpIndicatorError, card.columns(kDpIndicator));
    accepted = false;
  }

  // Field 15: the single character, empty for a blank; 16 empty; 17 the
  // flag.
  const std::string_view single = card.columns(kSingleCharacter);
  line.appendField(single == " " ? std::string_view() : single);
  line.appendField({});
  line.appendField(flagField(flag));
  return accepted;
}

}  // namespace cardlift
