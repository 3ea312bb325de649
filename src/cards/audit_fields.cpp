// The fields that the two accuracy audit cards (types 9 and 7) share.
#include "cards/audit_fields.hpp"

#include <cstddef>

#include "fields/card_key.hpp"
#include "fields/code_tables.hpp"
#include "fields/dp_indicator.hpp"
#include "fields/implied_decimal.hpp"
#include "fields/sample_value.hpp"

namespace cardlift {
namespace {

constexpr int kColumn79 = 79;  // goes to field 8; a blank stands for "1"

// A level: its actual value, then its indicated value.
constexpr int kValueWidth = 4;
constexpr int kLevelWidth = 2 * kValueWidth;

}  // namespace

void writeAuditLeadingFields(OutputRecord& record, const CardColumns& card) {
  writeCardKey(record, card);
  record.appendField(card.column(kColumn79) == ' ' ? std::string_view("1")
                                                   : card.columns({kColumn79, 1}));
  record.appendField(card.columns(kDurationColumn));
  record.appendField(card.columns(kUnitColumns));
  record.appendField(card.columns(kMethodColumns));
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

bool appendAuditValue(ConversionContext& context, CardColumns& card, ColumnRange columns,
                      int decimals, const ErrorKind& error) {
  OutputRecord& record = context.record;
  if (card.isBlank(columns)) {
    record.appendField({});
    return true;
  }
  // A marked value is carried over for the receiving system to delete.
  if (card.column(columns.first) == kDeleteMarker) {
    record.appendField(card.columns(columns));
    return true;
  }
  DecimalText text;
  if (formatImpliedDecimal(card.at(columns), columns.width, decimals, text) == 0) {
    record.appendField(textOf(text));
    return true;
  }
  // Leading blanks have become zeros by now, in the message and the field.
  reportFieldError(context, error, card.columns(columns));
  record.appendField(card.columns(columns));
  return false;
}

namespace {

// appendAuditValue for a level value, with its usual cases inline: a blank
// value, and four digits (leading blanks taken as zeros, as
// formatImpliedDecimal takes them) with 0 to 5 decimals.
bool appendLevelValue(ConversionContext& context, CardColumns& card, ColumnRange columns,
                      int decimals, const ErrorKind& error) {
  if (card.isBlankValue(columns.first)) {
    context.record.appendField({});
    return true;
  }
  if (appendFourDigitValue(context.record, card.at(columns), decimals)) return true;
  return appendAuditValue(context, card, columns, decimals, error);
}

}  // namespace

bool appendLevelValues(ConversionContext& context, CardColumns& card, int firstColumn,
                       int levelCount, int decimals) {
  bool accepted = true;
  for (int level = 0; level < levelCount; ++level) {
    const ColumnRange actual{firstColumn + level * kLevelWidth, kValueWidth};
    const auto name = static_cast<std::size_t>(level);
    // Both values are always tried, so one card shows all its faults.
    if (!appendLevelValue(context, card, actual, decimals, kLevelActualValueErrors[name])) {
      accepted = false;
    }
    if (!appendLevelValue(context, card, actual.shiftedBy(kValueWidth), decimals,
                          kLevelIndicatedValueErrors[name])) {
      accepted = false;
    }
  }
  return accepted;
}

void appendRawLevelValues(OutputRecord& record, const CardColumns& card, int firstColumn,
                          int levelCount, BlankLevelValue blank) {
  const int valueCount = 2 * levelCount;
  for (int value = 0; value < valueCount; ++value) {
    const ColumnRange columns{firstColumn + value * kValueWidth, kValueWidth};
    if (blank == BlankLevelValue::kEmptyField && card.isBlank(columns)) {
      record.appendField({});
    } else {
      record.appendField(card.columns(columns));
    }
  }
}

}  // namespace cardlift
