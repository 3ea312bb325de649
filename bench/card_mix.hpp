// Realistic, valid card images for the benchmarks, reproducible per seed.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace cardlift::bench {

// A small generator whose output is fixed by its seed on every platform
// and library (splitmix64).
class SplitMix64 {
 public:
  explicit SplitMix64(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next();
  // A number from 0 to bound - 1; bound must be above 0.
  std::uint32_t below(std::uint32_t bound);
  // True in `percent` of the calls.
  bool chance(std::uint32_t percent) { return below(100) < percent; }
  // One character of `choices`, which must not be empty.
  char pick(std::string_view choices);

 private:
  std::uint64_t state_;
};

// One 80-column card image, without line end.
using CardImage = std::array<char, 80>;

// Makes valid cards with the field contents a monitoring agency sends:
// plausible keys, dates, codes and values, mostly inserts, a few
// modifications and deletes.
class CardMaker {
 public:
  explicit CardMaker(std::uint64_t seed) : random_(seed) {}

  // A card of the usual mix: about 44% type 1, 34% type 2, 5% each of
  // types 3, 7, 8 and 9, and 2% types 4 to 6 that are copied unchanged.
  CardImage next();

  // A card of one type: '1', '2', '3', '7', '8' or '9'; any other type
  // gives a card that is copied unchanged, with that type in column 1.
  CardImage make(char type);

 private:
  CardImage intervalCard();
  CardImage singleValueCard();
  CardImage compositeCard();
  CardImage precisionCard();
  CardImage auditCard();
  CardImage twoLevelAuditCard();
  CardImage copiedCard(char type);

  // Card type, card key and action code: the columns every type shares.
  CardImage startCard(char type, std::string_view parameters);
  void putDigits(CardImage& card, int column, int width, std::uint32_t value);
  void putNumber(CardImage& card, int column, int width, std::uint32_t below);
  void putDate(CardImage& card, int column);
  void putYear(CardImage& card, int column);
  void putUnitAndMethod(CardImage& card);
  char dpIndicator();
  char valueFlag();

  SplitMix64 random_;
};

// The character in the 1-based card column `column`.
char& at(CardImage& card, int column);

// Writes `text` into `card` from the 1-based card column `column` on.
void putText(CardImage& card, int column, std::string_view text);

}  // namespace cardlift::bench
