// The numbered value slots of card types 1 and 8, walked one per call.
#pragma once

#include <cstdint>

#include "core/card_columns.hpp"

namespace cardlift {

// Slots side by side on a card: slot k's value lies `stride` columns
// further on than slot k - 1's.
struct SlotLayout {
  ColumnRange firstValue;  // the value of slot 0
  int stride;
  std::int32_t count;

  constexpr ColumnRange value(std::int32_t slot) const {
    return firstValue.shiftedBy(stride * slot);
  }
};

// The first slot from `slot` on whose value is not all blanks, or
// layout.count when there is none.
inline std::int32_t nextFilledSlot(const CardColumns& card, const SlotLayout& layout,
                                   std::int32_t slot) {
  while (slot < layout.count && card.isBlank(layout.value(slot))) ++slot;
  return slot;
}

// After the line for `slot`: moves `position` to the next filled slot and
// asks for another call, or, when none is left, back to slot 0 for the next
// card and asks for none.
inline void moveToNextFilledSlot(const CardColumns& card, const SlotLayout& layout,
                                 std::int32_t slot, std::int32_t& position,
                                 std::int32_t& callAgain) {
  const std::int32_t next = nextFilledSlot(card, layout, slot + 1);
  const bool more = next < layout.count;
  position = more ? next : 0;
  callAgain = more ? 1 : 0;
}

}  // namespace cardlift
