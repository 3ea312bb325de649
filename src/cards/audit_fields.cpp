// The fields that the two accuracy audit cards (types 9 and 7) share.
#include "cards/audit_fields.hpp"

#include <array>
#include <cstddef>

#include "core/error_channel.hpp"
#include "core/message_format.hpp"
#include "fields/card_key.hpp"
#include "fields/code_tables.hpp"
#include "fields/implied_decimal.hpp"

namespace cardlift {
namespace {

constexpr int kDurationCode = 17;
constexpr int kFirstCode = 18;   // columns 18-20
constexpr int kSecondCode = 21;  // columns 21-23
constexpr int kColumn79 = 79;    // goes to field 8; a blank stands for "1"

constexpr int kValueWidth = 4;
constexpr int kLevelWidth = 2 * kValueWidth;  // actual value, then indicated value

constexpr std::string_view kActualValueLead = "Invalid Actual Value: ";
constexpr std::string_view kIndicatedValueLead = "Invalid Indicated Value: ";

}  // namespace

void writeAuditLeadingFields(OutputRecord& record, const CardColumns& card) {
  writeCardKey(record, "RA", card);
  record.appendField(card.column(kColumn79) == ' ' ? std::string_view("1")
                                                   : card.columns(kColumn79, kColumn79));
  record.appendField(card.columns(kDurationCode, kDurationCode));
  record.appendField(card.columns(kFirstCode, kFirstCode + 2));
  record.appendField(card.columns(kSecondCode, kSecondCode + 2));
}

void appendAuditCodes(OutputRecord& record, const CardColumns& card, int auditTypeColumn) {
  record.appendField(lookupCodeText(AuditTypeTable, card.column(auditTypeColumn)));
  record.appendField(lookupCodeText(StandardTypeTable, card.column(auditTypeColumn + 1)));
  record.appendField(lookupCodeText(AuditClassTable, card.column(auditTypeColumn + 2)));
  record.appendField("PE");
  record.appendField({});
  record.appendField({});
  record.appendField({});
}

int readAuditDecimals(ConversionContext& context, const CardColumns& card, int column) {
  const char dpIndicator = card.column(column);
  if (dpIndicator >= '0' && dpIndicator <= '5') return dpIndicator - '0';
  std::array<char, 64> message;
  reportFieldError(context, kErrorDpIndicator, kMultipleColumns,
                   formatMessage(message, "Invalid DP Indicator: ", dpIndicator, "."));
  return kBadDpIndicator;
}

bool appendAuditValue(ConversionContext& context, CardColumns& card, const AuditValueField& field,
                      int decimals) {
  OutputRecord& record = context.record;
  const int last = field.column + field.width - 1;
  if (card.isBlank(field.column, last)) {
    record.appendField({});
    return true;
  }
  // A marked value is carried over for the receiving system to delete.
  if (card.column(field.column) == kDeleteMarker) {
    record.appendField(card.columns(field.column, last));
    return true;
  }
  DecimalText text;
  if (formatImpliedDecimal(card.at(field.column), field.width, decimals, text) == 0) {
    record.appendField(textOf(text));
    return true;
  }
  // Leading blanks have become zeros by now, in the message and the field.
  std::array<char, 64> message;
  reportFieldError(
      context, field.errorCode, field.columnName,
      formatMessage(message, field.messageLead, card.columns(field.column, last), "."));
  record.appendField(card.columns(field.column, last));
  return false;
}

bool appendLevelValues(ConversionContext& context, CardColumns& card, int firstColumn,
                       int levelCount, int decimals) {
  bool accepted = true;
  for (int level = 0; level < levelCount; ++level) {
    const int actual = firstColumn + level * kLevelWidth;
    const auto name = static_cast<std::size_t>(level);
    const AuditValueField actualField{actual, kValueWidth, kErrorActualValue,
                                      ActualValueColumnNames[name], kActualValueLead};
    const AuditValueField indicatedField{actual + kValueWidth, kValueWidth, kErrorIndicatedValue,
                                         IndicatedValueColumnNames[name], kIndicatedValueLead};
    // Both values are always tried, so one card shows all its faults.
    if (!appendAuditValue(context, card, actualField, decimals)) accepted = false;
    if (!appendAuditValue(context, card, indicatedField, decimals)) accepted = false;
  }
  return accepted;
}

void appendRawLevelValues(OutputRecord& record, const CardColumns& card, int firstColumn,
                          int levelCount, BlankLevelValue blank) {
  const int valueCount = 2 * levelCount;
  for (int value = 0; value < valueCount; ++value) {
    const int column = firstColumn + value * kValueWidth;
    const int last = column + kValueWidth - 1;
    if (blank == BlankLevelValue::kEmptyField && card.isBlank(column, last)) {
      record.appendField({});
    } else {
      record.appendField(card.columns(column, last));
    }
  }
}

}  // namespace cardlift
