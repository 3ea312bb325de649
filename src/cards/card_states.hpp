// What the converters that give one line per call keep between the calls
// for one card.
#pragma once

#include "cards/slot_cards.hpp"
#include "fields/card_key.hpp"

namespace cardlift {

// Interval raw data: a line per reading slot, each beginning with the card
// key, the codes and the date.
using Type1CardState = SlotCardState<kCardKeyLength + kCodesAndDateLength>;
// Precision check: a line per indicated value, each beginning with the
// card key.
using Type8CardState = SlotCardState<kCardKeyLength>;

struct CardStates {
  Type1CardState type1;
  Type8CardState type8;

  // Every converter is where a card starts: no card is left half given.
  bool atStart() const { return type1.position == 0 && type8.position == 0; }
};

}  // namespace cardlift
