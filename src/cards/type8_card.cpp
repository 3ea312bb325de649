// Card type 8: a precision check, one "RP" line per indicated value read
// against the actual value, given one line per call.
#include <string_view>

#include "cards/card_converters.hpp"
#include "cards/card_states.hpp"
#include "cards/slot_cards.hpp"
#include "core/error_channel.hpp"
#include "fields/card_key.hpp"
#include "fields/dp_indicator.hpp"
#include "fields/implied_decimal.hpp"

namespace cardlift {
namespace {

constexpr int kDpIndicator = 30;
constexpr ColumnRange kActualValue{31, kValueWidth};
// Slot k (0-4): the indicated value in columns 35+4k to 38+4k.
constexpr SlotLayout kSlots{{35, kValueWidth}, kValueWidth, 5};

// Fields 2 to 7 lead every line; fields 8 to 15 are the slot's: its
// number, the codes and the date, the actual value, the method code again
// and the indicated value.
static_assert(2 + kCodesAndDateLength + 1 + kLongestDecimalText + 4 + 1 + kLongestDecimalText <=
              static_cast<std::int32_t>(kSlotRunRoom));
static_assert(kSlots.count <= kMostSlots);

// Appends one measured value. The value must be a number as it stands:
// unlike raw sample values, blanks are not taken as leading zeros. A value
// that is none but begins with the delete marker is carried over as it
// stands and deletes the line.
FieldError appendValue(OutputRecord& line, CardColumns& card, ColumnRange columns, int decimals,
                       const ErrorKind& error, bool& deletes) {
  const std::string_view raw = card.columns(columns);
  if (isNumericField(raw)) {
    return appendDecimalField<kValueWidth>(line, card.at(columns.first), decimals, error);
  }
  line.appendField(raw);
  if (raw[0] != kDeleteMarker) return {&error, raw.data()};
  deletes = true;
  return {};
}

// Works out every line of a card: the key they share, and each slot's own
// fields, by the card's rules. The DP indicator and the actual value are
// checked once and reported on every line; a delete card's values are
// carried over unchecked.
void prepareCard(Type8CardState& state, CardColumns& card) {
  state.leading.lay([&](OutputRecord& line) { writeCardKey(line, card); });
  state.filledSlots = filledSlots(card, kSlots);
  state.marks.errors = {};
  state.marks.deletes = false;
  int decimals = 0;
  bool checked = false;
  if (!isDeleteCard(card)) {
    state.marks.errors[0] = readDpIndicator(card, kDpIndicator, decimals);
    checked = !state.marks.errors[0];
  }

  // Fields 9 to 14, the same on every line.
  FieldRun<kSlotRunRoom> shared;
  shared.lay([&](OutputRecord& line) {
    writeCodesAndDate(line, card);
    if (checked) {
      state.marks.errors[1] = appendValue(line, card, kActualValue, decimals,
                                          kActualDesignatedError, state.marks.deletes);
    } else {
      line.appendField(card.columns(kActualValue));
    }
    line.appendField(card.columns(kMethodColumns));
  });

  // The slots in use have lines, and so has the slot the position holds:
  // slot 1, which a delete card, or a card with no slot in use, gives its
  // one line for.
  const std::uint32_t given = state.filledSlots | 1U << state.position;
  for (std::int32_t slot = 0; slot < kSlots.count; ++slot) {
    if ((given >> slot & 1U) == 0) continue;
    SlotPart& part = state.parts[static_cast<std::size_t>(slot)];
    part.error = {};
    part.deletes = false;
    part.fields.lay([&](OutputRecord& line) {
      const char number = static_cast<char>('1' + slot);
      line.appendField(std::string_view(&number, 1));
      shared.appendTo(line);
      if (checked) {
        part.error = appendValue(line, card, kSlots.value(slot), decimals, kIndicatedValueError,
                                 part.deletes);
      } else {
        line.appendField(card.columns(kSlots.value(slot)));
      }
    });
  }
}

}  // namespace

bool convertType8Card(ConversionContext& context, CardColumns& card, std::int32_t& callAgain) {
  Type8CardState& state = context.cardStates().type8;
  beginSlotCall(state, context, card, kSlots, prepareCard);

  // A delete is carried over in one line, for slot 1.
  if (isDeleteCard(card)) return giveSlotLine(context, state, state.position, 0, callAgain);

  // A card's first call starts at its first slot in use, or at slot 1 when
  // none is, which its blank value then rejects.
  std::int32_t slot = state.position;
  if (slot == 0) {
    const std::int32_t first = nextFilledSlot(state.filledSlots, kSlots, 0);
    slot = first == kSlots.count ? 0 : first;
  }
  return giveSlotLine(context, state, slot, filledSlotAfter(state.filledSlots, kSlots, slot),
                      callAgain);
}

}  // namespace cardlift
