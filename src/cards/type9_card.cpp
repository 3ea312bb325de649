// Card type 9: an accuracy audit with up to five levels and a zero span
// value, as one "RA" line.
#include "cards/audit_fields.hpp"
#include "cards/card_converters.hpp"
#include "core/card_types.hpp"
#include "fields/card_key.hpp"
#include "fields/dp_indicator.hpp"

namespace cardlift {
namespace {

constexpr int kAuditType = 30;  // then the standard in 31 and the audit class in 32
constexpr int kDpIndicator = 33;
constexpr int kFirstLevel = 34;  // columns 34-73: five levels of two four-column values
constexpr int kLevels = 5;
constexpr ColumnRange kZeroSpan{74, kWidestValueWidth};

}  // namespace

bool convertType9Card(ConversionContext& context, CardColumns& card) {
  OwnLine line(context);

  writeAuditLeadingFields(line, card);
  line.appendField({});
  line.appendField({});
  line.appendField(textOf(formatCardDate(card)));
  appendAuditCodes(line, card, kAuditType);

  bool accepted = true;
  int decimals = 0;
  if (isDeleteCard(card)) {
    // A delete carries the values over as they stand; only blank levels
    // are left empty.
    appendRawLevelValues(line, card, kFirstLevel, kLevels, BlankLevelValue::kEmptyField);
    line.appendField(card.columns(kZeroSpan));
  } else if (!passes(context, readDpIndicator(card, kDpIndicator, decimals))) {
    appendRawLevelValues(line, card, kFirstLevel, kLevels, BlankLevelValue::kAsItStands);
    line.appendField(card.columns(kZeroSpan));
    accepted = false;
  } else {
    accepted = appendLevelValues(context, line, card, kFirstLevel, kLevels, decimals);
    // A marked zero span value deletes the whole audit, unlike a marked level.
    if (card.column(kZeroSpan.first) == kDeleteMarker) markDeleted(line);
    accepted =
        passes(context, appendAuditValue(line, card, kZeroSpan, decimals, kZeroSpanValueError)) &&
        accepted;
  }
  return accepted;
}

}  // namespace cardlift
