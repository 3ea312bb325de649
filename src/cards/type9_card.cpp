// Card type 9: an accuracy audit with up to five levels and a zero span
// value, as one "RA" line.
#include "cards/audit_fields.hpp"
#include "cards/card_converters.hpp"
#include "fields/card_key.hpp"
#include "fields/dp_indicator.hpp"

namespace cardlift {
namespace {

constexpr int kAuditType = 30;  // then the standard in 31 and the audit class in 32
constexpr int kDpIndicator = 33;
constexpr int kFirstLevel = 34;  // columns 34-73: five levels of two four-column values
constexpr int kLevels = 5;
constexpr ColumnRange kZeroSpan{74, 5};

}  // namespace

bool convertType9Card(ConversionContext& context, CardColumns& card) {
  OutputRecord& record = context.record;

  writeAuditLeadingFields(record, card);
  record.appendField({});
  record.appendField({});
  record.appendField(textOf(formatCardDate(card)));
  appendAuditCodes(record, card, kAuditType);

  bool accepted = true;
  if (isDeleteCard(card)) {
    // A delete carries the values over as they stand; only blank levels
    // are left empty.
    appendRawLevelValues(record, card, kFirstLevel, kLevels, BlankLevelValue::kEmptyField);
    record.appendField(card.columns(kZeroSpan));
  } else if (const int decimals = readDpIndicator(context, card.column(kDpIndicator));
             decimals == kBadDpIndicator) {
    appendRawLevelValues(record, card, kFirstLevel, kLevels, BlankLevelValue::kAsItStands);
    record.appendField(card.columns(kZeroSpan));
    accepted = false;
  } else {
    if (!appendLevelValues(context, card, kFirstLevel, kLevels, decimals)) accepted = false;
    // A marked zero span value deletes the whole audit, unlike a marked level.
    if (card.column(kZeroSpan.first) == kDeleteMarker) markDeleted(record);
    if (!appendAuditValue(context, card, kZeroSpan, decimals, kZeroSpanValueError)) {
      accepted = false;
    }
  }
  return accepted;
}

}  // namespace cardlift
