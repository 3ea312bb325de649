// Card type 7: an accuracy audit with two levels, a year and a period, as
// one "RA" line.
#include <algorithm>
#include <array>

#include "cards/audit_fields.hpp"
#include "cards/card_converters.hpp"
#include "fields/card_key.hpp"
#include "fields/dp_indicator.hpp"

namespace cardlift {
namespace {

constexpr ColumnRange kYear{24, 2};
constexpr int kPeriod = 26;          // written after a 'Q'
constexpr ColumnRange kDate{27, 6};  // YYMMDD
constexpr int kAuditType = 33;       // then the standard in 34 and the audit class in 35
constexpr int kDpIndicator = 36;
constexpr int kFirstLevel = 37;  // columns 37-52: two levels of two four-column values
constexpr int kLevels = 2;
// Columns 53-78 are never read.

// Six columns YYMMDD as eight characters, with the century chosen by their
// own year.
std::array<char, 8> expandDate(const CardColumns& card, ColumnRange columns) {
  const std::string_view yymmdd = card.columns(columns);
  const std::array<char, 4> year = expandCardYear(yymmdd[0], yymmdd[1]);
  std::array<char, 8> date{year[0], year[1]};
  std::copy(yymmdd.begin(), yymmdd.end(), date.begin() + 2);
  return date;
}

}  // namespace

bool convertType7Card(ConversionContext& context, CardColumns& card) {
  OutputRecord& record = context.record;

  writeAuditLeadingFields(record, card);
  const std::string_view year = card.columns(kYear);
  record.appendField(textOf(expandCardYear(year[0], year[1])));
  const std::array<char, 2> period{'Q', card.column(kPeriod)};
  record.appendField(std::string_view(period.data(), period.size()));
  // The date has a century of its own, from column 27.
  record.appendField(textOf(expandDate(card, kDate)));
  appendAuditCodes(record, card, kAuditType);

  // Fields 26 to 32 stay empty on every path: padding fills them in.
  bool accepted = true;
  if (isDeleteCard(card)) {
    // A delete carries the values over as they stand, blanks included.
    appendRawLevelValues(record, card, kFirstLevel, kLevels, BlankLevelValue::kAsItStands);
  } else if (const int decimals = readDpIndicator(context, card.column(kDpIndicator));
             decimals == kBadDpIndicator) {
    appendRawLevelValues(record, card, kFirstLevel, kLevels, BlankLevelValue::kAsItStands);
    accepted = false;
  } else if (!appendLevelValues(context, card, kFirstLevel, kLevels, decimals)) {
    accepted = false;
  }
  return accepted;
}

}  // namespace cardlift
