// Card type 3: one composite value for a whole period, as one "RC" line.
#include "cards/card_converters.hpp"
#include "core/card_types.hpp"
#include "core/error_channel.hpp"
#include "fields/ascii.hpp"
#include "fields/card_key.hpp"
#include "fields/code_tables.hpp"
#include "fields/dp_indicator.hpp"
#include "fields/implied_decimal.hpp"

namespace cardlift {
namespace {

constexpr ColumnRange kPeriodFirst{26, 2};
constexpr ColumnRange kPeriodSecond{28, 2};
constexpr int kCompositeType = 30;
constexpr int kDpIndicator = 31;
constexpr ColumnRange kValue{32, kValueWidth};
constexpr int kValueFlag = 36;

// Field 14, the composite value: as it stands on a delete, else by the DP
// indicator. True unless it was rejected and reported.
bool appendCompositeValue(ConversionContext& context, OutputRecord& line, CardColumns& card) {
  if (isDeleteCard(card) || card.column(kValue.first) == kDeleteMarker) {
    if (card.column(kValue.first) == kDeleteMarker) markDeleted(line);
    line.appendField(card.columns(kValue));
    return true;
  }
  int decimals = 0;
  if (!passes(context, readDpIndicator(card, kDpIndicator, decimals))) {
    line.appendField(card.columns(kValue));
    return false;
  }
  return passes(context, appendDecimalField<kValue.width>(line, card.at(kValue.first), decimals,
                                                          kSampleValueError));
}

}  // namespace

bool convertType3Card(ConversionContext& context, CardColumns& card) {
  OwnLine line(context);
  // Column 17 has no place on this card type.
  writeCardKey(line, card);
  line.appendField(card.columns(kUnitColumns));
  line.appendField(card.columns(kMethodColumns));
  const std::string_view year = card.columns(kYearColumns);
  line.appendField(textOf(expandCardYear(year[0], year[1])));
  line.appendField(card.columns(kPeriodFirst));
  line.appendField(card.columns(kPeriodSecond));
  line.appendField(lookupCodeText(CompositeTypeTable, card.column(kCompositeType)));
  const bool accepted = appendCompositeValue(context, line, card);

  // Field 15 empty, then the flag upper-cased, empty for a blank.
  const char flag = upperCase(card.column(kValueFlag));
  line.appendField({});
  line.appendField(flag == ' ' ? std::string_view() : std::string_view(&flag, 1));
  return accepted;
}

}  // namespace cardlift
