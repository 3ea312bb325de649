// Picks the converter for a card and completes its transaction line.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "core/card_types.hpp"
#include "core/conversion_context.hpp"

namespace cardlift {

// The parts of convertCard that most calls never take, out of line.
namespace dispatch {

// Takes a card afresh: the converter's own copy of its columns, to change
// as it likes while the card as read stays as it was, and whether the card
// holds a '|' after its type.
void takeCard(CardInHand& held, const CardType& type, std::string_view card);

// A card type without a converter: the card is copied as it stands.
std::int32_t copyCard(ConversionContext& context, std::string_view card, std::int32_t* callAgain);

// Ends a call that failed or whose card brought a '|' along. A '|' taken
// over from the card would shift every later field. Every '|' in the line
// is one the record counted unless the card brought one along, so only
// such a card needs its line searched.
std::int32_t endCheckedCall(ConversionContext& context, const CardType& type, bool accepted,
                            std::span<char, kMessageSize> message);

}  // namespace dispatch

// Converts one 80-character card into one transaction line in `line`
// (kOutputLineSize characters, NUL-terminated; context.record.length is
// its length). Returns 0 when `line` holds a line to write; otherwise the
// card type's failure result, with the last error line copied into
// `message` (kMessageSize characters). Leaves *callAgain at 1 when the
// same card must be handed over again. Inline, as the card loop calls it
// for every line: only its usual way is here.
inline std::int32_t convertCard(ConversionContext& context, std::string_view card,
                                std::span<char, kOutputLineSize> line, std::int32_t* callAgain,
                                std::span<char, kMessageSize> message) {
  OutputRecord& record = context.record;
  // The line goes here; a converter builds it in a record of its own
  // (OwnLine) and hands that back.
  record.begin(line.data(), line.size());
  const CardType* type = findCardType(card[0]);
  if (type == nullptr) return dispatch::copyCard(context, card, callAgain);

  // A further call from the card loop goes on with the columns as the calls
  // before left them; every other call takes its card afresh.
  CardInHand& held = context.cardInHand;
  if (!held.continued || held.serial == 0) dispatch::takeCard(held, *type, card);
  held.continued = false;
  bool accepted = false;
  if (type->givesLinePerCall()) {
    accepted = type->convertNext(context, held.columns, *callAgain);
  } else {
    *callAgain = 0;
    accepted = type->convert(context, held.columns);
  }
  record.padFieldsTo(type->recordType->separators);
  if (accepted && !held.holdsSeparator) return 0;
  return dispatch::endCheckedCall(context, *type, accepted, message);
}

}  // namespace cardlift
