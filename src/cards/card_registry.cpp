// The card-type registry: one row per card type that has a converter.
#include "cards/card_converters.hpp"
#include "core/card_types.hpp"

namespace cardlift {

constexpr std::array<CardType, 6> CardTypeRegistry{{
    // type, record type, separators, converter (one line per card or per call), failure
    {'1', "RD", 27, nullptr, convertType1Card, -1},
    {'2', "RD", 27, convertType2Card, nullptr, -2},
    {'3', "RC", 26, convertType3Card, nullptr, -3},
    {'7', "RA", 31, convertType7Card, nullptr, -6},
    {'8', "RP", 17, nullptr, convertType8Card, -4},
    {'9', "RA", 31, convertType9Card, nullptr, -5},
}};

namespace {

constexpr bool registryIsSound() {
  for (const CardType& row : CardTypeRegistry) {
    if (row.failure >= 0) return false;
    if (row.recordType.size() != kRecordTypeLength) return false;
    for (const CardType& other : CardTypeRegistry) {
      if (&other == &row) continue;
      if (other.type == row.type) return false;
      // Every line of one record type has the same separators.
      if (other.recordType == row.recordType && other.separators != row.separators) return false;
    }
  }
  return true;
}
static_assert(registryIsSound());

}  // namespace

constexpr std::array<const CardType*, 256> CardTypeIndex = [] {
  std::array<const CardType*, 256> rows{};
  for (const CardType& row : CardTypeRegistry) rows[static_cast<unsigned char>(row.type)] = &row;
  return rows;
}();

}  // namespace cardlift
