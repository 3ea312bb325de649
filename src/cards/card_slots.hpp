// The numbered value slots of card types 1 and 8, walked one per call.
#pragma once

#include <bit>
#include <cstdint>

#include "core/card_columns.hpp"

namespace cardlift {

// Slots side by side on a card: slot k's value lies `stride` columns
// further on than slot k - 1's. Every value is four columns wide.
struct SlotLayout {
  ColumnRange firstValue;  // the value of slot 0
  int stride;
  std::int32_t count;

  constexpr ColumnRange value(std::int32_t slot) const {
    return firstValue.shiftedBy(stride * slot);
  }
};

// The slots of a card whose value is not all blanks, as bits: bit k for
// slot k. Worked out once per card.
inline std::uint32_t filledSlots(const CardColumns& card, const SlotLayout& layout) {
  std::uint32_t filled = 0;
  for (std::int32_t slot = 0; slot < layout.count; ++slot) {
    if (!card.isBlankValue(layout.value(slot).first)) filled |= 1U << slot;
  }
  return filled;
}

// The first filled slot from `slot` on, or layout.count when there is none.
inline std::int32_t nextFilledSlot(std::uint32_t filled, const SlotLayout& layout,
                                   std::int32_t slot) {
  const std::uint32_t rest = slot < layout.count ? filled >> slot : 0;
  return rest == 0 ? layout.count : slot + std::countr_zero(rest);
}

// After the line for `slot`: moves `position` to the next filled slot and
// asks for another call, or, when none is left, back to slot 0 for the next
// card and asks for none.
inline void moveToNextFilledSlot(std::uint32_t filled, const SlotLayout& layout, std::int32_t slot,
                                 std::int32_t& position, std::int32_t& callAgain) {
  const std::int32_t next = nextFilledSlot(filled, layout, slot + 1);
  const bool more = next < layout.count;
  position = more ? next : 0;
  callAgain = more ? 1 : 0;
}

}  // namespace cardlift
