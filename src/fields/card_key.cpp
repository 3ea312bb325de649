// The leading fields every transaction line shares, and the century rule.
#include "fields/card_key.hpp"

namespace cardlift {

void writeCardKey(OutputRecord& record, std::string_view recordType, const CardColumns& card) {
  // Every field here has a fixed width, so the 24 characters are laid out
  // at once: record type, action code, state, county, site, parameter, POC.
  const auto at = [&](int column) { return card.column(column); };
  const std::array<char, 24> fields{
      recordType[0], recordType[1], '|',    actionCode(at(kActionColumn)),
      '|',           at(2),         at(3),  '|',
      at(4),         at(5),         at(6),  '|',
      at(7),         at(8),         at(9),  at(10),
      '|',           at(11),        at(12), at(13),
      at(14),        at(15),        '|',    at(16)};
  record.appendFixed(std::string_view(fields.data(), fields.size()), 6);
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
