// The leading fields every transaction line shares, and the century rule.
#include "fields/card_key.hpp"

#include <algorithm>

namespace cardlift {

std::array<char, 4> expandCardYear(char first, char second) {
  // Compared as signed codes, so bytes of 0x80 and above fall in the 2000s.
  const bool nineteen = static_cast<signed char>(first) >= static_cast<signed char>('5');
  return {nineteen ? '1' : '2', nineteen ? '9' : '0', first, second};
}

std::array<char, kDateLength> expandCardDate(const CardColumns& card, ColumnRange yymmdd) {
  const std::string_view columns = card.columns(yymmdd);
  const std::array<char, 4> year = expandCardYear(columns[0], columns[1]);
  std::array<char, kDateLength> date{year[0], year[1]};
  std::copy(columns.begin(), columns.end(), date.begin() + 2);
  return date;
}

}  // namespace cardlift
