// The card-type registry: one row per card type that has a converter.
#include "cards/card_converters.hpp"
#include "core/card_types.hpp"

namespace cardlift {
namespace {

constexpr CardType kRows[] = {
    // type, record type, converter (one line per card or per call), failure
    {'1', &kRawData, nullptr, convertType1Card, -1},
    {'2', &kRawData, convertType2Card, nullptr, -2},
    {'3', &kComposite, convertType3Card, nullptr, -3},
    {'7', &kAccuracyAudit, convertType7Card, nullptr, -6},
    {'8', &kPrecision, nullptr, convertType8Card, -4},
    {'9', &kAccuracyAudit, convertType9Card, nullptr, -5},
};

constexpr bool registryIsSound() {
  for (const CardType& row : kRows) {
    if (row.failure >= 0) return false;
    for (const CardType& other : kRows) {
      if (&other != &row && other.type == row.type) return false;
    }
  }
  return true;
}
static_assert(registryIsSound());

}  // namespace

constexpr std::span<const CardType> CardTypeRegistry{kRows};

constexpr std::array<const CardType*, 256> CardTypeIndex = [] {
  std::array<const CardType*, 256> rows{};
  for (const CardType& row : kRows) rows[static_cast<unsigned char>(row.type)] = &row;
  return rows;
}();

}  // namespace cardlift
