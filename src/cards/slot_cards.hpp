// Cards that give one line per filled slot, one line per call (card types
// 1 and 8): what they keep between their calls, and the one writer of
// their lines.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "core/card_columns.hpp"
#include "core/card_types.hpp"
#include "core/conversion_context.hpp"
#include "core/error_channel.hpp"
#include "core/output_record.hpp"
#include "fields/card_key.hpp"

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

// The most slots a card has, and the longest run of fields a slot's line
// has of its own.
inline constexpr std::int32_t kMostSlots = 8;
inline constexpr std::size_t kSlotRunRoom = 48;

// What one slot's line has of its own: its fields behind the card's
// leading ones, the error it reports after the card's, and whether its
// value deletes the line. The dispatcher pads the line.
struct SlotPart {
  FieldRun<kSlotRunRoom> fields;
  FieldError error;
  bool deletes = false;
  // The line is a delete or reports errors, its card's or its own.
  bool marked = false;
};

// What every line of a card with slots reports, and whether every line is
// a delete.
struct SlotCardMarks {
  // Reported on every line of the card, before the slot's own error.
  std::array<FieldError, 2> errors;
  bool deletes = false;
};

// For a line that is marked: sets field 2 to 'D' when it deletes; reports
// the card's errors, then the slot's. True when nothing was reported.
bool settleMarkedLine(ConversionContext& context, const SlotCardMarks& card, const SlotPart& part);

// What a card with slots keeps between its calls: the slot the next call
// goes on with, and what its lines hold, worked out once per card by
// applying the card's rules to every slot. Every line begins with the same
// kLeadingLength characters behind its record type, fields of fixed widths.
template <std::size_t kLeadingLength>
struct SlotCardState {
  std::int32_t position = 0;
  // The serial of the card in hand this was worked out for; 0 for none.
  std::uint32_t preparedFor = 0;
  // Bit k set: slot k's value is not all blanks.
  std::uint32_t filledSlots = 0;
  // The fields every line of the card begins with, behind the record type.
  FieldRun<kLeadingLength> leading;
  SlotCardMarks marks;
  std::array<SlotPart, kMostSlots> parts;

  // Appends the leading fields: always kLeadingLength characters.
  void appendLeading(OutputRecord& record) const {
    record.appendBlock(std::string_view(leading.fields().data(), kLeadingLength),
                       leading.separators());
  }
};

// The filled slots of a card, as bits: bit k for slot k.
inline std::uint32_t filledSlots(const CardColumns& card, const SlotLayout& layout) {
  std::uint32_t filled = 0;
  for (std::int32_t slot = 0; slot < layout.count; ++slot) {
    if (!card.isBlank(layout.value(slot))) filled |= 1U << slot;
  }
  return filled;
}

// The first filled slot from `slot` on, or layout.count when there is none.
inline std::int32_t nextFilledSlot(std::uint32_t filled, const SlotLayout& layout,
                                   std::int32_t slot) {
  const std::uint32_t rest = slot < layout.count ? filled >> slot : 0;
  return rest == 0 ? layout.count : slot + std::countr_zero(rest);
}

// The filled slot after `slot`, or 0 when none is left.
inline std::int32_t filledSlotAfter(std::uint32_t filled, const SlotLayout& layout,
                                    std::int32_t slot) {
  const std::int32_t next = nextFilledSlot(filled, layout, slot + 1);
  return next < layout.count ? next : 0;
}

// Begins a call: a position outside the slots, which only a card loop
// that stopped calling too early can leave, starts again at slot 0; a card
// not worked out yet is, by `prepare(state, card)`.
template <typename State, typename Prepare>
void beginSlotCall(State& state, const ConversionContext& context, CardColumns& card,
                   const SlotLayout& layout, Prepare&& prepare) {
  if (state.position < 0 || state.position >= layout.count) state.position = 0;
  const CardInHand& held = context.cardInHand;
  if (state.preparedFor != held.serial) {
    prepare(state, card);
    for (SlotPart& part : state.parts) {
      part.marked = part.deletes || part.error || state.marks.deletes || state.marks.errors[0] ||
                    state.marks.errors[1];
    }
    state.preparedFor = held.serial;
  }
}

// Reports the errors of every line of the card; true when there are none.
bool reportCardErrors(ConversionContext& context, const SlotCardMarks& card);

// Gives the line of `slot`: writes it behind its record type, the card's
// leading fields and the slot's own, then, for a marked line, sets its
// action code and reports the card's errors and the slot's. The next call
// goes on at slot `next`; slot 0 ends the card, back where the next card
// starts. True when nothing was reported.
template <typename State>
inline bool giveSlotLine(ConversionContext& context, State& state, std::int32_t slot,
                         std::int32_t next, std::int32_t& callAgain) {
  state.position = next;
  callAgain = next == 0 ? 0 : 1;
  const SlotPart& part = state.parts[static_cast<std::size_t>(slot)];
  {
    OwnLine line(context);
    state.appendLeading(line);
    part.fields.appendTo(line);
  }
  return !part.marked || settleMarkedLine(context, state.marks, part);
}

}  // namespace cardlift
