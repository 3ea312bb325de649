// Card type 7: an accuracy audit with two levels, a year and a period, as
// one "RA" line.
#include <algorithm>
#include <array>

#include "cards/audit_fields.hpp"
#include "cards/card_converters.hpp"
#include "fields/card_key.hpp"

namespace cardlift {
namespace {

constexpr std::int32_t kType7Failed = -6;

constexpr int kYear = 24;       // columns 24-25
constexpr int kPeriod = 26;     // written after a 'Q'
constexpr int kDate = 27;       // columns 27-32, YYMMDD
constexpr int kAuditType = 33;  // then the standard in 34 and the audit class in 35
constexpr int kDpIndicator = 36;
constexpr int kFirstLevel = 37;  // columns 37-52: two levels of two four-column values
constexpr int kLevels = 2;
// Columns 53-78 are never read.

// Six columns YYMMDD from `first` on as eight characters, with the century
// chosen by their own year.
std::array<char, 8> expandDate(const CardColumns& card, int first) {
  const std::array<char, 4> year = expandCardYear(card.column(first), card.column(first + 1));
  std::array<char, 8> date{year[0], year[1]};
  const std::string_view yymmdd = card.columns(first, first + 5);
  std::copy(yymmdd.begin(), yymmdd.end(), date.begin() + 2);
  return date;
}

}  // namespace

std::int32_t convertType7Card(ConversionContext& context, char* line, CardColumns card,
                              std::int32_t* /*callAgain*/) {
  OutputRecord& record = context.record;
  record.begin(line);

  writeAuditLeadingFields(record, card);
  record.appendField(textOf(expandCardYear(card.column(kYear), card.column(kYear + 1))));
  const std::array<char, 2> period{'Q', card.column(kPeriod)};
  record.appendField(std::string_view(period.data(), period.size()));
  // The date has a century of its own, from column 27.
  record.appendField(textOf(expandDate(card, kDate)));
  appendAuditCodes(record, card, kAuditType);

  // Fields 26 to 32 stay empty on every path: padding fills them in.
  std::int32_t result = 0;
  if (card.column(kActionColumn) == 'D') {
    // A delete carries the values over as they stand, blanks included.
    appendRawLevelValues(record, card, kFirstLevel, kLevels, BlankLevelValue::kAsItStands);
  } else if (const int decimals = readAuditDecimals(context, card, kDpIndicator);
             decimals == kBadDpIndicator) {
    appendRawLevelValues(record, card, kFirstLevel, kLevels, BlankLevelValue::kAsItStands);
    result = kType7Failed;
  } else if (!appendLevelValues(context, card, kFirstLevel, kLevels, decimals)) {
    result = kType7Failed;
  }
  record.padFieldsTo(kAuditSeparators);
  return result;
}

}  // namespace cardlift
