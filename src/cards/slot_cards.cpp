// Cards that give one line per filled slot: what only some lines need.
#include "cards/slot_cards.hpp"

namespace cardlift {

bool reportCardErrors(ConversionContext& context, const SlotCardMarks& card) {
  bool accepted = true;
  for (const FieldError& error : card.errors) accepted = passes(context, error) && accepted;
  return accepted;
}

bool settleMarkedLine(ConversionContext& context, const SlotCardMarks& card, const SlotPart& part) {
  if (card.deletes || part.deletes) markDeleted(context.record);
  const bool accepted = reportCardErrors(context, card);
  return passes(context, part.error) && accepted;
}

}  // namespace cardlift
