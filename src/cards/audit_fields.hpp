// The fields that the two accuracy audit cards (types 9 and 7) share.
// Inline, as the converters build their lines in records of their own.
#pragma once

#include <cstddef>
#include <string_view>

#include "core/card_columns.hpp"
#include "core/conversion_context.hpp"
#include "core/error_channel.hpp"
#include "core/output_record.hpp"
#include "fields/card_key.hpp"
#include "fields/code_tables.hpp"
#include "fields/implied_decimal.hpp"
#include "fields/shared_columns.hpp"

namespace cardlift {

// Column 79 goes to field 8; a blank stands for "1".
inline constexpr ColumnRange kAuditColumn79{79, 1};
// A level: its actual value, then its indicated value.
inline constexpr int kLevelWidth = 2 * kValueWidth;

// Appends fields 2 to 11 of an "RA" line behind its record type: the card
// key with the action code, column 79 ("1" when it is blank), and columns
// 17, 18-20 and 21-23 as they stand.
inline void writeAuditLeadingFields(OutputRecord& line, const CardColumns& card) {
  writeCardKey(line, card);
  const std::string_view column79 = card.columns(kAuditColumn79);
  line.appendField(column79 == " " ? std::string_view("1") : column79);
  line.appendField(card.columns(kDurationColumn));
  line.appendField(card.columns(kUnitColumns));
  line.appendField(card.columns(kMethodColumns));
}

// Appends fields 15 to 21: the texts of the audit type, standard and audit
// class codes held in auditTypeColumn and the two columns after it (an
// unknown code gives an empty field), "PE", and three empty fields.
inline void appendAuditCodes(OutputRecord& line, const CardColumns& card, int auditTypeColumn) {
  line.appendField(lookupCodeText(AuditTypeTable, card.column(auditTypeColumn)));
  line.appendField(lookupCodeText(StandardTypeTable, card.column(auditTypeColumn + 1)));
  line.appendField(lookupCodeText(AuditClassTable, card.column(auditTypeColumn + 2)));
  line.appendField("PE");
  line.appendField({});
  line.appendField({});
  line.appendField({});
}

// Appends one value field on the normal path: empty when all blank, the
// characters unconverted when the first is the delete marker, else the
// decimal text. A value that is not a number is written as
// formatImpliedDecimal left it and gives `error`.
inline FieldError appendAuditValue(OutputRecord& line, CardColumns& card, ColumnRange columns,
                                   int decimals, const ErrorKind& error) {
  if (card.isBlank(columns)) {
    line.appendField({});
    return {};
  }
  // A marked value is carried over for the receiving system to delete.
  if (card.column(columns.first) == kDeleteMarker) {
    line.appendField(card.columns(columns));
    return {};
  }
  return appendDecimalField(line, card.at(columns.first), columns.width, decimals, error);
}

// Appends the actual and indicated values of audit levels 1 to levelCount,
// level 1 beginning at firstColumn. All values are tried, in line order,
// each rejected one reported as it is found; false when any was.
inline bool appendLevelValues(ConversionContext& context, OutputRecord& line, CardColumns& card,
                              int firstColumn, int levelCount, int decimals) {
  bool accepted = true;
  for (int level = 0; level < levelCount; ++level) {
    const ColumnRange actual{firstColumn + level * kLevelWidth, kValueWidth};
    const auto name = static_cast<std::size_t>(level);
    // Both values are always tried, so one card shows all its faults.
    accepted = passes(context, appendAuditValue(line, card, actual, decimals,
                                                kLevelActualValueErrors[name])) &&
               accepted;
    accepted = passes(context, appendAuditValue(line, card, actual.shiftedBy(kValueWidth), decimals,
                                                kLevelIndicatedValueErrors[name])) &&
               accepted;
  }
  return accepted;
}

// How appendRawLevelValues writes a value of four blanks.
enum class BlankLevelValue { kEmptyField, kAsItStands };

// Appends the same fields as appendLevelValues, each value's characters as
// they stand: nothing is converted, validated or reported.
inline void appendRawLevelValues(OutputRecord& line, const CardColumns& card, int firstColumn,
                                 int levelCount, BlankLevelValue blank) {
  for (int value = 0; value < 2 * levelCount; ++value) {
    const ColumnRange columns{firstColumn + value * kValueWidth, kValueWidth};
    const bool empty = blank == BlankLevelValue::kEmptyField && card.isBlank(columns);
    line.appendField(empty ? std::string_view() : card.columns(columns));
  }
}

}  // namespace cardlift
