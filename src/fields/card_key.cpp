// The leading fields every transaction line shares, and the century rule.
#include "fields/card_key.hpp"

namespace cardlift {

void writeCardKey(OutputRecord& record, std::string_view recordType, const CardColumns& card) {
  const char action = actionCode(card.column(kActionColumn));
  record.appendField(recordType);
  record.appendField(std::string_view(&action, 1));
  record.appendField(card.columns(2, 3));    // state code
  record.appendField(card.columns(4, 6));    // county code
  record.appendField(card.columns(7, 10));   // site number
  record.appendField(card.columns(11, 15));  // parameter code
  record.appendField(card.columns(16, 16));  // POC
}

std::array<char, 4> expandCardYear(char first, char second) {
  // Compared as signed codes, so bytes of 0x80 and above fall in the 2000s.
  const bool before2000 = static_cast<signed char>(first) >= static_cast<signed char>('5');
  return {before2000 ? '1' : '2', before2000 ? '9' : '0', first, second};
}

std::array<char, 8> formatCardDate(const CardColumns& card) {
  const std::array<char, 4> year = expandCardYear(card.column(24), card.column(25));
  return {year[0],         year[1],         year[2],         year[3],
          card.column(26), card.column(27), card.column(28), card.column(29)};
}

}  // namespace cardlift
