// The leading fields every transaction line shares, and the century rule.
#include "fields/card_key.hpp"

#include <algorithm>
#include <cstring>

namespace cardlift {

namespace {

// Room behind laid-out fields for the columns putKeyField copies too many.
constexpr std::size_t kSpare = 8;

// Copies the columns of a key field and a '|' after it. Eight columns are
// copied at once, the field's and those after it, which what comes next
// overwrites: `out` has kSpare characters of room behind the fields.
template <ColumnRange kRange>
char* putKeyField(char* out, const CardColumns& card) {
  static_assert(kRange.width <= static_cast<int>(kSpare) &&
                kRange.first + static_cast<int>(kSpare) - 1 <= CardColumns::kLast);
  std::memcpy(out, card.columns({kRange.first, static_cast<int>(kSpare)}).data(), kSpare);
  out[kRange.width] = '|';
  return out + kRange.width + 1;
}

}  // namespace

void writeCardKey(OutputRecord& record, const CardColumns& card) {
  // Every field here has a fixed width, so they are laid out at once:
  // action code, state, county, site, parameter, POC.
  std::array<char, kCardKeyLength + kSpare> fields{'|', actionCode(card.column(kActionColumn)),
                                                   '|'};
  char* out = fields.data() + 3;
  out = putKeyField<kStateColumns>(out, card);
  out = putKeyField<kCountyColumns>(out, card);
  out = putKeyField<kSiteColumns>(out, card);
  out = putKeyField<kParameterColumns>(out, card);
  *out = card.column(kPocColumn.first);
  record.appendFixed(std::string_view(fields.data(), kCardKeyLength), kCardKeySeparators);
}

void writeCodesAndDate(OutputRecord& record, const CardColumns& card) {
  // The codes lie side by side and the date has a fixed width, so the four
  // fields are laid out at once.
  std::array<char, kCodesAndDateLength + kSpare> fields{'|'};
  char* out = fields.data() + 1;
  out = putKeyField<kDurationColumn>(out, card);
  out = putKeyField<kUnitColumns>(out, card);
  out = putKeyField<kMethodColumns>(out, card);
  // The date: its century, then columns 24-29 as they stand.
  const std::string_view yymmdd = card.columns(kDateColumns);
  std::memcpy(out, centuryOf(yymmdd[0]), 2);
  std::memcpy(out + 2, yymmdd.data(), yymmdd.size());
  record.appendFixed(std::string_view(fields.data(), kCodesAndDateLength), kCodesAndDateSeparators);
}

const char* centuryOf(char first) {
  // Compared as signed codes, so bytes of 0x80 and above fall in the 2000s.
  return static_cast<signed char>(first) >= static_cast<signed char>('5') ? "19" : "20";
}

std::array<char, 4> expandCardYear(char first, char second) {
  const char* century = centuryOf(first);
  return {century[0], century[1], first, second};
}

std::array<char, 8> formatCardDate(const CardColumns& card) {
  const std::string_view yymmdd = card.columns(kDateColumns);
  const std::array<char, 4> year = expandCardYear(yymmdd[0], yymmdd[1]);
  return {year[0], year[1], year[2], year[3], yymmdd[2], yymmdd[3], yymmdd[4], yymmdd[5]};
}

}  // namespace cardlift
