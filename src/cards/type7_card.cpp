// Card type 7: an accuracy audit with two levels, a year and a period, as
// one "RA" line.
#include <array>

#include "cards/audit_fields.hpp"
#include "cards/card_converters.hpp"
#include "core/card_types.hpp"
#include "fields/card_key.hpp"
#include "fields/dp_indicator.hpp"

namespace cardlift {
namespace {

constexpr int kPeriod = 26;          // written after a 'Q'
constexpr ColumnRange kDate{27, 6};  // YYMMDD
constexpr int kAuditType = 33;       // then the standard in 34 and the audit class in 35
constexpr int kDpIndicator = 36;
constexpr int kFirstLevel = 37;  // columns 37-52: two levels of two four-column values
constexpr int kLevels = 2;
// Columns 53-78 are never read.

}  // namespace

bool convertType7Card(ConversionContext& context, CardColumns& card) {
  OwnLine line(context);

  writeAuditLeadingFields(line, card);
  const std::string_view year = card.columns(kYearColumns);
  line.appendField(textOf(expandCardYear(year[0], year[1])));
  const std::array<char, 2> period{'Q', card.column(kPeriod)};
  line.appendField(textOf(period));
  // The date has a century of its own, from column 27.
  line.appendField(textOf(expandCardDate(card, kDate)));
  appendAuditCodes(line, card, kAuditType);

  // Fields 26 to 32 stay empty on every path: padding fills them in. A
  // delete, or a card whose values cannot be read, carries the values
  // over as they stand, blanks included.
  int decimals = 0;
  bool accepted = true;
  if (isDeleteCard(card)) {
    appendRawLevelValues(line, card, kFirstLevel, kLevels, BlankLevelValue::kAsItStands);
  } else if (!passes(context, readDpIndicator(card, kDpIndicator, decimals))) {
    appendRawLevelValues(line, card, kFirstLevel, kLevels, BlankLevelValue::kAsItStands);
    accepted = false;
  } else {
    accepted = appendLevelValues(context, line, card, kFirstLevel, kLevels, decimals);
  }
  return accepted;
}

}  // namespace cardlift
