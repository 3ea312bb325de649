// Card type 3: one composite value for a whole period, as one "RC" line.
#include "cards/card_converters.hpp"
#include "core/error_channel.hpp"
#include "fields/ascii.hpp"
#include "fields/card_key.hpp"
#include "fields/code_tables.hpp"
#include "fields/dp_indicator.hpp"
#include "fields/implied_decimal.hpp"
#include "fields/sample_value.hpp"

namespace cardlift {
namespace {

constexpr ColumnRange kYear{24, 2};
constexpr ColumnRange kPeriodFirst{26, 2};
constexpr ColumnRange kPeriodSecond{28, 2};
constexpr int kCompositeType = 30;
constexpr int kDpIndicator = 31;
constexpr ColumnRange kValue{32, 4};
constexpr int kValueFlag = 36;

}  // namespace

bool convertType3Card(ConversionContext& context, CardColumns& card) {
  OutputRecord& record = context.record;
  bool accepted = true;

  // Column 17 has no place on this card type.
  writeCardKey(record, card);
  record.appendField(card.columns(kUnitColumns));
  record.appendField(card.columns(kMethodColumns));
  const std::string_view year = card.columns(kYear);
  record.appendField(textOf(expandCardYear(year[0], year[1])));
  record.appendField(card.columns(kPeriodFirst));
  record.appendField(card.columns(kPeriodSecond));
  record.appendField(lookupCodeText(CompositeTypeTable, card.column(kCompositeType)));

  const char flag = upperCase(card.column(kValueFlag));
  char* value = card.at(kValue);
  if (isDeleteCard(card) || value[0] == kDeleteMarker) {
    if (value[0] == kDeleteMarker) markDeleted(record);
    record.appendField(card.columns(kValue));
  } else if (const int decimals = readDpIndicator(context, card.column(kDpIndicator));
             decimals == kBadDpIndicator) {
    record.appendField(card.columns(kValue));
    accepted = false;
  } else if (appendFourDigitValue(record, value, decimals)) {
    // The usual value, written where it goes.
  } else if (DecimalText text; formatImpliedDecimal(value, kValue.width, decimals, text) == 0) {
    record.appendField(textOf(text));
  } else {
    reportFieldError(context, kSampleValueError, card.columns(kValue));
    record.appendField(card.columns(kValue));
    accepted = false;
  }

  // An empty field, then the flag.
  record.appendCharFields<2>({' ', flag});
  return accepted;
}

}  // namespace cardlift
