// Card type 9: an accuracy audit with up to five levels and a zero span
// value, as one "RA" line.
#include "cards/audit_fields.hpp"
#include "cards/card_converters.hpp"
#include "core/error_channel.hpp"
#include "fields/card_key.hpp"

namespace cardlift {
namespace {

constexpr std::int32_t kType9Failed = -5;

constexpr int kAuditType = 30;  // then the standard in 31 and the audit class in 32
constexpr int kDpIndicator = 33;
constexpr int kFirstLevel = 34;  // columns 34-73: five levels of two four-column values
constexpr int kLevels = 5;
constexpr int kZeroSpan = 74;  // columns 74-78
constexpr int kZeroSpanWidth = 5;

constexpr AuditValueField kZeroSpanField{kZeroSpan, kZeroSpanWidth, kErrorZeroSpanValue,
                                         "ZERO_SPAN_VALUE", "Invalid Zero Span Value: "};

}  // namespace

std::int32_t convertType9Card(ConversionContext& context, char* line, CardColumns card,
                              std::int32_t* /*callAgain*/) {
  OutputRecord& record = context.record;
  record.begin(line);

  writeAuditLeadingFields(record, card);
  record.appendField({});
  record.appendField({});
  record.appendField(textOf(formatCardDate(card)));
  appendAuditCodes(record, card, kAuditType);
  const std::string_view zeroSpan = card.columns(kZeroSpan, kZeroSpan + kZeroSpanWidth - 1);

  std::int32_t result = 0;
  if (card.column(kActionColumn) == 'D') {
    // A delete carries the values over as they stand; only blank levels
    // are left empty.
    appendRawLevelValues(record, card, kFirstLevel, kLevels, BlankLevelValue::kEmptyField);
    record.appendField(zeroSpan);
  } else if (const int decimals = readAuditDecimals(context, card, kDpIndicator);
             decimals == kBadDpIndicator) {
    appendRawLevelValues(record, card, kFirstLevel, kLevels, BlankLevelValue::kAsItStands);
    record.appendField(zeroSpan);
    result = kType9Failed;
  } else {
    if (!appendLevelValues(context, card, kFirstLevel, kLevels, decimals)) result = kType9Failed;
    // A marked zero span value deletes the whole audit, unlike a marked level.
    if (card.column(kZeroSpan) == kDeleteMarker) record.overwrite(kActionPosition, 'D');
    if (!appendAuditValue(context, card, kZeroSpanField, decimals)) result = kType9Failed;
  }
  record.padFieldsTo(kAuditSeparators);
  return result;
}

}  // namespace cardlift
