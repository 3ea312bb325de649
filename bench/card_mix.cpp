// Realistic, valid card images for the benchmarks, reproducible per seed.
#include "card_mix.hpp"

#include <algorithm>
#include <span>

namespace cardlift::bench {
namespace {

// Parameter codes of the pollutants each kind of card usually reports.
constexpr std::array<std::string_view, 6> kRawDataParameters{"42101", "42401", "42602",
                                                             "44201", "81102", "88101"};
constexpr std::array<std::string_view, 4> kGasParameters{"42101", "42401", "42602", "44201"};
constexpr std::array<std::string_view, 5> kAuditParameters{"42101", "42401", "42602", "44201",
                                                           "81102"};
constexpr std::array<std::string_view, 14> kStateCodes{"01", "04", "06", "08", "12", "13", "17",
                                                       "18", "26", "36", "39", "42", "48", "53"};
constexpr std::array<std::string_view, 4> kUnits{"001", "007", "008", "105"};

// The legacy null codes: 52 numbers from 9947 on.
constexpr std::uint32_t kFirstNullCode = 9947;
constexpr std::uint32_t kNullCodeCount = 52;

constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kStandardCodes = "ABCDEFIJKLMNPRSTUWX";
// Decimal places, weighted towards the common ones.
constexpr std::string_view kDecimals = "0112223334";

// One of several texts, each as likely as the others.
std::string_view pickText(SplitMix64& random, std::span<const std::string_view> texts) {
  return texts[random.below(static_cast<std::uint32_t>(texts.size()))];
}

// Interval raw data: eight readings of five columns from column 33.
constexpr int kFirstReading = 33;
constexpr int kReadings = 8;

}  // namespace

std::uint64_t SplitMix64::next() {
  state_ += 0x9E3779B97F4A7C15ULL;
  std::uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::uint32_t SplitMix64::below(std::uint32_t bound) {
  // The high 32 bits scaled to the bound: no division, no library
  // distribution whose output could differ between versions.
  return static_cast<std::uint32_t>(((next() >> 32) * bound) >> 32);
}

char SplitMix64::pick(std::string_view choices) {
  return choices[below(static_cast<std::uint32_t>(choices.size()))];
}

char& at(CardImage& card, int column) { return card[static_cast<std::size_t>(column - 1)]; }

void putText(CardImage& card, int column, std::string_view text) {
  std::copy(text.begin(), text.end(), card.begin() + (column - 1));
}

CardImage CardMaker::next() {
  const std::uint32_t draw = random_.below(100);
  if (draw < 44) return make('1');
  if (draw < 78) return make('2');
  if (draw < 83) return make('3');
  if (draw < 88) return make('7');
  if (draw < 93) return make('8');
  if (draw < 98) return make('9');
  return make(random_.pick("4456"));
}

CardImage CardMaker::make(char type) {
  switch (type) {
    case '1':
      return intervalCard();
    case '2':
      return singleValueCard();
    case '3':
      return compositeCard();
    case '7':
      return twoLevelAuditCard();
    case '8':
      return precisionCard();
    case '9':
      return auditCard();
    default:
      return copiedCard(type);
  }
}

void CardMaker::putDigits(CardImage& card, int column, int width, std::uint32_t value) {
  for (int i = width - 1; i >= 0; --i) {
    at(card, column + i) = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

void CardMaker::putNumber(CardImage& card, int column, int width, std::uint32_t below) {
  putDigits(card, column, width, random_.below(below));
}

void CardMaker::putYear(CardImage& card, int column) {
  // 1985 to 2013.
  const std::uint32_t draw = random_.below(29);
  putDigits(card, column, 2, draw < 15 ? 85 + draw : draw - 15);
}

void CardMaker::putDate(CardImage& card, int column) {
  putYear(card, column);
  putDigits(card, column + 2, 2, 1 + random_.below(12));
  putDigits(card, column + 4, 2, 1 + random_.below(28));
}

void CardMaker::putUnitAndMethod(CardImage& card) {
  putText(card, 18, pickText(random_, kUnits));
  putDigits(card, 21, 3, 11 + random_.below(180));
}

char CardMaker::dpIndicator() { return random_.pick(kDecimals); }

char CardMaker::valueFlag() { return random_.chance(90) ? ' ' : random_.pick(kLetters); }

CardImage CardMaker::startCard(char type, std::string_view parameters) {
  CardImage card;
  card.fill(' ');
  at(card, 1) = type;
  putText(card, 2, pickText(random_, kStateCodes));
  putDigits(card, 4, 3, 1 + 2 * random_.below(100));
  putDigits(card, 7, 4, 1 + random_.below(9999));
  putText(card, 11, parameters);
  at(card, 16) = random_.chance(80) ? '1' : random_.pick("234");
  const std::uint32_t action = random_.below(100);
  at(card, 80) = action < 95 ? 'I' : action < 98 ? 'M' : 'D';
  return card;
}

// Type 1: mostly hourly readings, eight to a card, three cards a day.
CardImage CardMaker::intervalCard() {
  CardImage card = startCard('1', pickText(random_, kRawDataParameters));
  const bool hourly = random_.chance(75);
  at(card, 17) = hourly ? '1' : random_.pick("23456BWXYZ");
  putUnitAndMethod(card);
  putDate(card, 24);
  putDigits(card, 30, 2, hourly ? 8 * random_.below(3) : 0);
  // A card without DP indicator carries legacy null codes only.
  const bool nullCodesOnly = random_.chance(2);
  at(card, 32) = nullCodesOnly ? ' ' : dpIndicator();

  bool anyReading = false;
  for (int slot = 0; slot < kReadings; ++slot) {
    const bool last = slot == kReadings - 1;
    if (random_.chance(8) && !(last && !anyReading)) continue;
    anyReading = true;
    const int column = kFirstReading + 5 * slot;
    const std::uint32_t draw = random_.below(100);
    if (nullCodesOnly || draw < 5) {
      putDigits(card, column, 4, kFirstNullCode + random_.below(kNullCodeCount));
      at(card, column + 4) = nullCodesOnly ? ' ' : '9';
    } else if (draw < 6) {
      putText(card, column, "*");
    } else {
      putNumber(card, column, 4, draw < 16 ? 100 : 1000);
      // Some agencies leave the leading zero out.
      if (at(card, column) == '0' && random_.chance(30)) {
        at(card, column) = ' ';
      }
      at(card, column + 4) = valueFlag();
    }
  }
  return card;
}

// Type 2: one reading.
CardImage CardMaker::singleValueCard() {
  CardImage card = startCard('2', pickText(random_, kRawDataParameters));
  at(card, 17) = random_.chance(85) ? '1' : random_.pick("7X");
  putUnitAndMethod(card);
  putDate(card, 24);
  putNumber(card, 30, 2, 24);
  if (random_.chance(10)) at(card, 32) = random_.pick(kLetters);
  const std::uint32_t draw = random_.below(100);
  if (draw < 3) {
    at(card, 33) = ' ';
    putDigits(card, 34, 4, kFirstNullCode + random_.below(kNullCodeCount));
  } else if (draw < 8) {
    at(card, 33) = dpIndicator();
    putDigits(card, 34, 4, kFirstNullCode + random_.below(kNullCodeCount));
    at(card, 38) = '9';
  } else if (draw < 9) {
    at(card, 33) = dpIndicator();
    putText(card, 34, "*");
  } else {
    at(card, 33) = dpIndicator();
    putNumber(card, 34, 4, 1000);
    at(card, 38) = valueFlag();
  }
  return card;
}

// Type 3: a value for a quarter, season, month, week or year.
CardImage CardMaker::compositeCard() {
  CardImage card = startCard('3', pickText(random_, kRawDataParameters));
  at(card, 17) = '1';
  putUnitAndMethod(card);
  putYear(card, 24);
  putDigits(card, 26, 2, 1 + random_.below(12));
  putDigits(card, 28, 2, random_.below(5));
  at(card, 30) = random_.pick("12345");
  at(card, 31) = dpIndicator();
  if (random_.chance(1)) {
    putText(card, 32, "*");
  } else {
    putNumber(card, 32, 4, 1000);
  }
  at(card, 36) = valueFlag();
  return card;
}

// Type 8: an actual value and the indicated values read against it.
CardImage CardMaker::precisionCard() {
  CardImage card = startCard('8', pickText(random_, kGasParameters));
  at(card, 17) = '1';
  putUnitAndMethod(card);
  putDate(card, 24);
  at(card, 30) = dpIndicator();
  const std::uint32_t actual = 50 + random_.below(900);
  putDigits(card, 31, 4, actual);
  bool anySlot = false;
  for (int slot = 0; slot < 5; ++slot) {
    if (random_.chance(30) && !(slot == 4 && !anySlot)) continue;
    anySlot = true;
    putDigits(card, 35 + 4 * slot, 4, actual - 20 + random_.below(41));
  }
  return card;
}

// Type 9: up to five audit levels and a zero span value.
CardImage CardMaker::auditCard() {
  CardImage card = startCard('9', pickText(random_, kAuditParameters));
  at(card, 17) = '1';
  putUnitAndMethod(card);
  putDate(card, 24);
  at(card, 30) = random_.pick("123");
  at(card, 31) = random_.pick(kStandardCodes);
  at(card, 32) = random_.pick("AFS");
  at(card, 33) = dpIndicator();
  const std::uint32_t levels = 2 + random_.below(4);
  for (std::uint32_t level = 0; level < levels; ++level) {
    const int column = 34 + 8 * static_cast<int>(level);
    const std::uint32_t actual = 40 + 100 * level + random_.below(100);
    putDigits(card, column, 4, actual);
    putDigits(card, column + 4, 4, actual - 10 + random_.below(21));
  }
  if (random_.chance(70)) putNumber(card, 74, 5, 1000);
  if (random_.chance(20)) at(card, 79) = random_.pick("123");
  return card;
}

// Type 7: two audit levels, a year and a period.
CardImage CardMaker::twoLevelAuditCard() {
  CardImage card = startCard('7', pickText(random_, kAuditParameters));
  at(card, 17) = '1';
  putUnitAndMethod(card);
  putYear(card, 24);
  at(card, 26) = random_.pick("1234");
  putDate(card, 27);
  at(card, 33) = random_.pick("123");
  at(card, 34) = random_.pick(kStandardCodes);
  at(card, 35) = random_.pick("AFS");
  at(card, 36) = dpIndicator();
  const int levels = random_.chance(90) ? 2 : 1;
  for (int level = 0; level < levels; ++level) {
    const std::uint32_t actual = 100 + 300 * static_cast<std::uint32_t>(level) + random_.below(200);
    putDigits(card, 37 + 8 * level, 4, actual);
    putDigits(card, 41 + 8 * level, 4, actual - 10 + random_.below(21));
  }
  if (random_.chance(20)) at(card, 79) = random_.pick("123");
  return card;
}

// Types without a converter: site descriptions and the like, passed on.
CardImage CardMaker::copiedCard(char type) {
  CardImage card = startCard(type, pickText(random_, kRawDataParameters));
  for (int column = 17; column < 80; ++column) {
    const std::uint32_t draw = random_.below(10);
    at(card, column) = draw < 4   ? ' '
                       : draw < 8 ? static_cast<char>('0' + random_.below(10))
                                  : random_.pick(kLetters);
  }
  return card;
}

}  // namespace cardlift::bench
