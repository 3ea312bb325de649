// The leading fields every transaction line shares, and the century rule.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/card_columns.hpp"
#include "core/output_record.hpp"
#include "fields/shared_columns.hpp"

namespace cardlift {

// Line position of field 2, the action code.
inline constexpr int kActionPosition = 3;
// What writeCardKey writes behind the record type: fields 2 to 7, each
// with the '|' before it.
inline constexpr std::int32_t kCardKeyLength = 22;
inline constexpr std::int32_t kCardKeySeparators = 6;

// The action code as written to field 2: 'M' becomes 'U', all else stays.
constexpr char actionCode(char column80) { return column80 == 'M' ? 'U' : column80; }

// Writes fields 2 to 7 behind the two-letter record type that the record's
// line holds: the action code and the card key (columns 2-3, 4-6, 7-10,
// 11-15 and 16 as they stand): kCardKeyLength characters.
void writeCardKey(OutputRecord& record, const CardColumns& card);

// What writeCodesAndDate appends: four fields, each with the '|' before it.
inline constexpr std::int32_t kCodesAndDateLength = 19;
inline constexpr std::int32_t kCodesAndDateSeparators = 4;
// Appends the duration, unit and method codes (columns 17, 18-20 and
// 21-23 as they stand) and the date (formatCardDate) as four fields behind
// fields already on the line: kCodesAndDateLength characters.
void writeCodesAndDate(OutputRecord& record, const CardColumns& card);

// Room that layCardKey and layCodesAndDate need behind what they lay out:
// they write some characters too many, to be overwritten by what follows.
inline constexpr std::size_t kLaidOutSpare = 8;
// What writeCardKey and writeCodesAndDate append, laid out at `out`;
// return where it ends.
char* layCardKey(char* out, const CardColumns& card);
char* layCodesAndDate(char* out, const CardColumns& card);

// Sets field 2 to 'D': a value marked with kDeleteMarker deletes its line.
inline void markDeleted(OutputRecord& record) { record.overwrite(kActionPosition, 'D'); }

// The century of a two-digit year, two characters: "20" when its first
// character is below '5' as a signed 8-bit code, otherwise "19".
const char* centuryOf(char first);
// A two-digit year as four characters: its century, then both characters
// as they stand.
std::array<char, 4> expandCardYear(char first, char second);

// The date of columns 24-29 as eight characters: the expanded year of
// columns 24-25, then columns 26-29 as they stand.
std::array<char, 8> formatCardDate(const CardColumns& card);

inline std::string_view textOf(const std::array<char, 4>& chars) { return {chars.data(), 4}; }
inline std::string_view textOf(const std::array<char, 8>& chars) { return {chars.data(), 8}; }

}  // namespace cardlift
