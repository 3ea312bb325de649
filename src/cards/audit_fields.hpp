// The fields that the two accuracy audit cards (types 9 and 7) share.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/card_columns.hpp"
#include "core/conversion_context.hpp"
#include "core/error_channel.hpp"

namespace cardlift {

// Writes fields 2 to 11 of an "RA" line behind its record type: the card
// key with the action code, column 79 ("1" when it is blank), and columns
// 17, 18-20 and 21-23 as they stand.
void writeAuditLeadingFields(OutputRecord& record, const CardColumns& card);

// Appends fields 15 to 21: the texts of the audit type, standard and audit
// class codes held in auditTypeColumn and the two columns after it (an
// unknown code gives an empty field), "PE", and three empty fields.
void appendAuditCodes(OutputRecord& record, const CardColumns& card, int auditTypeColumn);

// Appends one value field on the normal path: empty when all blank, the
// characters unconverted when the first is the delete marker, else the
// decimal text. A value that is not a number is reported as `error`,
// written as formatImpliedDecimal left it, and gives false.
bool appendAuditValue(ConversionContext& context, CardColumns& card, ColumnRange columns,
                      int decimals, const ErrorKind& error);

// Appends the actual and indicated values of audit levels 1 to levelCount,
// level 1 beginning at firstColumn and each level eight columns wide. All
// values are tried, in line order; false when any was rejected.
bool appendLevelValues(ConversionContext& context, CardColumns& card, int firstColumn,
                       int levelCount, int decimals);

// How appendRawLevelValues writes a value of four blanks.
enum class BlankLevelValue { kEmptyField, kAsItStands };

// Appends the same fields as appendLevelValues, each value's characters as
// they stand: nothing is converted, validated or reported.
void appendRawLevelValues(OutputRecord& record, const CardColumns& card, int firstColumn,
                          int levelCount, BlankLevelValue blank);

}  // namespace cardlift
