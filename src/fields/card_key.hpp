// The leading fields every transaction line shares, and the century rule.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

#include "core/card_columns.hpp"
#include "core/output_record.hpp"
#include "core/record_types.hpp"
#include "fields/shared_columns.hpp"

namespace cardlift {

// Line position of field 2, the action code: behind the record type and
// its separator.
inline constexpr std::int32_t kActionPosition = kRecordTypeLength + 1;

// The action code as written to field 2: 'M' becomes 'U', all else stays.
constexpr char actionCode(char column80) { return column80 == 'M' ? 'U' : column80; }

// Fields 3 to 7, the card key: state, county, site, parameter code, POC.
inline constexpr std::array<ColumnRange, 5> kCardKeyColumns{
    kStateColumns, kCountyColumns, kSiteColumns, kParameterColumns, kPocColumn};
// The codes before the date on card types 1, 2 and 8: duration, unit and
// method.
inline constexpr std::array<ColumnRange, 3> kCodeColumns{kDurationColumn, kUnitColumns,
                                                         kMethodColumns};
// A date as formatCardDate gives it: the century, then YYMMDD.
inline constexpr std::int32_t kDateLength = 2 + kDateColumns.width;

// The characters of one field per column range, each with the '|' before it.
constexpr std::int32_t fieldsLength(std::span<const ColumnRange> columns) {
  std::int32_t length = 0;
  for (const ColumnRange& range : columns) length += 1 + range.width;
  return length;
}

// The characters writeCardKey appends: the action code and the key, each
// field with the '|' before it.
inline constexpr std::int32_t kCardKeyLength = 2 + fieldsLength(kCardKeyColumns);
// The characters writeCodesAndDate appends, the same way.
inline constexpr std::int32_t kCodesAndDateLength = fieldsLength(kCodeColumns) + 1 + kDateLength;

// Sets field 2 to 'D': a value marked with kDeleteMarker deletes its line.
inline void markDeleted(OutputRecord& record) { record.overwrite(kActionPosition, 'D'); }

// A two-digit year as four characters: its century, "20" when the first
// character is below '5' as a signed 8-bit code and "19" otherwise, then
// both characters as they stand.
std::array<char, 4> expandCardYear(char first, char second);

// Six columns YYMMDD as eight characters: the year of their first two
// expanded, then the other four as they stand.
std::array<char, kDateLength> expandCardDate(const CardColumns& card, ColumnRange yymmdd);

// The date of columns 24-29 as eight characters.
inline std::array<char, kDateLength> formatCardDate(const CardColumns& card) {
  return expandCardDate(card, kDateColumns);
}

// Characters laid out in an array, as one field's text.
template <std::size_t N>
std::string_view textOf(const std::array<char, N>& chars) {
  return {chars.data(), N};
}

namespace key_detail {

// One field for each of the column ranges, as they stand. Each range is a
// constant, so every field is copied at its own fixed width.
template <const auto& kColumns, std::size_t... kField>
void appendColumns(OutputRecord& record, const CardColumns& card, std::index_sequence<kField...>) {
  (record.appendField(card.columns(kColumns[kField])), ...);
}

template <const auto& kColumns>
void appendColumns(OutputRecord& record, const CardColumns& card) {
  appendColumns<kColumns>(record, card, std::make_index_sequence<kColumns.size()>());
}

}  // namespace key_detail

// Appends fields 2 to 7 behind the record type: the action code and the
// card key as they stand. Inline, as is writeCodesAndDate: a converter
// builds its line in a record of its own (OwnLine).
inline void writeCardKey(OutputRecord& record, const CardColumns& card) {
  const char action = actionCode(card.column(kActionColumn));
  record.appendField(std::string_view(&action, 1));
  key_detail::appendColumns<kCardKeyColumns>(record, card);
}

// Appends the duration, unit and method codes as they stand and the date
// (formatCardDate) as four fields.
inline void writeCodesAndDate(OutputRecord& record, const CardColumns& card) {
  key_detail::appendColumns<kCodeColumns>(record, card);
  record.appendField(textOf(formatCardDate(card)));
}

}  // namespace cardlift
