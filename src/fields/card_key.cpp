// The leading fields every transaction line shares, and the century rule.
#include "fields/card_key.hpp"

#include <algorithm>
#include <cstring>

namespace cardlift {

namespace {

// Copies the columns of a key field and a '|' after it. Eight columns are
// copied at once, the field's and those after it, which what comes next
// overwrites: `out` has kLaidOutSpare characters of room behind the fields.
template <ColumnRange kRange>
char* putKeyField(char* out, const CardColumns& card) {
  constexpr auto kCopied = static_cast<int>(kLaidOutSpare);
  static_assert(kRange.width <= kCopied && kRange.first + kCopied - 1 <= CardColumns::kLast);
  std::memcpy(out, card.columns({kRange.first, kCopied}).data(), kLaidOutSpare);
  out[kRange.width] = '|';
  return out + kRange.width + 1;
}

// The date of formatCardDate at `out`: its century, then columns 24-29 as
// they stand. Returns where it ends.
char* layCardDate(char* out, const CardColumns& card) {
  const std::string_view yymmdd = card.columns(kDateColumns);
  std::memcpy(out, centuryOf(yymmdd[0]), 2);
  std::memcpy(out + 2, yymmdd.data(), yymmdd.size());
  return out + 2 + yymmdd.size();
}

}  // namespace

char* layCardKey(char* out, const CardColumns& card) {
  // Every field here has a fixed width: action code, state, county, site,
  // parameter, POC.
  out[0] = '|';
  out[1] = actionCode(card.column(kActionColumn));
  out[2] = '|';
  out = putKeyField<kStateColumns>(out + 3, card);
  out = putKeyField<kCountyColumns>(out, card);
  out = putKeyField<kSiteColumns>(out, card);
  out = putKeyField<kParameterColumns>(out, card);
  *out = card.column(kPocColumn.first);
  return out + 1;
}

char* layCodesAndDate(char* out, const CardColumns& card) {
  // The codes lie side by side and the date has a fixed width.
  out[0] = '|';
  out = putKeyField<kDurationColumn>(out + 1, card);
  out = putKeyField<kUnitColumns>(out, card);
  out = putKeyField<kMethodColumns>(out, card);
  return layCardDate(out, card);
}

void writeCardKey(OutputRecord& record, const CardColumns& card) {
  std::array<char, kCardKeyLength + kLaidOutSpare> fields{};
  layCardKey(fields.data(), card);
  record.appendFixed(std::string_view(fields.data(), kCardKeyLength), kCardKeySeparators);
}

void writeCodesAndDate(OutputRecord& record, const CardColumns& card) {
  std::array<char, kCodesAndDateLength + kLaidOutSpare> fields{};
  layCodesAndDate(fields.data(), card);
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
  std::array<char, 8> date{};
  layCardDate(date.data(), card);
  return date;
}

}  // namespace cardlift
