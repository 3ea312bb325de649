// The leading fields every transaction line shares, and the century rule.
#pragma once

#include <array>
#include <string_view>

#include "core/card_columns.hpp"
#include "core/output_record.hpp"

namespace cardlift {

// Card column 80: the action code. 'D' asks for a delete.
inline constexpr int kActionColumn = 80;
// Line position of field 2, the action code.
inline constexpr int kActionPosition = 3;

// The action code as written to field 2: 'M' becomes 'U', all else stays.
constexpr char actionCode(char column80) { return column80 == 'M' ? 'U' : column80; }

// Upper-cases by the plain ASCII rule: only 'a' to 'z' change.
constexpr char upperCase(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Writes fields 1 to 7 into the record's empty line: the two-letter record
// type, the action code and the card key (columns 2-3, 4-6, 7-10, 11-15
// and 16 as they stand). Leaves 6 separators and 24 characters.
void writeCardKey(OutputRecord& record, std::string_view recordType, const CardColumns& card);

// A two-digit year as four characters: "20" when the first character is
// below '5' as a signed 8-bit code, otherwise "19"; then both characters
// as they stand.
std::array<char, 4> expandCardYear(char first, char second);

// The date of columns 24-29 as eight characters: the expanded year of
// columns 24-25, then columns 26-29 as they stand.
std::array<char, 8> formatCardDate(const CardColumns& card);

inline std::string_view textOf(const std::array<char, 4>& chars) { return {chars.data(), 4}; }
inline std::string_view textOf(const std::array<char, 8>& chars) { return {chars.data(), 8}; }

}  // namespace cardlift
