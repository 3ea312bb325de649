// Card type 8: a precision check, one "RP" line per indicated value read
// against the actual value, given one line per call.
#include "cards/card_converters.hpp"
#include "cards/card_slots.hpp"
#include "core/error_channel.hpp"
#include "fields/card_key.hpp"
#include "fields/dp_indicator.hpp"
#include "fields/implied_decimal.hpp"

namespace cardlift {
namespace {

constexpr int kDpIndicator = 30;
constexpr ColumnRange kActualValue{31, 4};
// Slot k (0-4): the indicated value in columns 35+4k to 38+4k.
constexpr SlotLayout kSlots{{35, 4}, 4, 5};

// Appends one measured value. The value must be a number as it stands:
// unlike raw sample values, blanks are not taken as leading zeros.
// Returns false when the value was rejected and reported.
bool appendValue(ConversionContext& context, CardColumns& card, ColumnRange columns, int decimals,
                 const ErrorKind& error) {
  OutputRecord& record = context.record;
  const std::string_view raw = card.columns(columns);
  if (isNumericField(raw)) {
    DecimalText text;
    if (formatImpliedDecimal(card.at(columns), columns.width, decimals, text) == 0) {
      record.appendField(textOf(text));
      return true;
    }
  } else if (raw[0] == kDeleteMarker) {
    markDeleted(record);
    record.appendField(raw);
    return true;
  }
  reportFieldError(context, error, raw);
  record.appendField(raw);
  return false;
}

}  // namespace

bool convertType8Card(ConversionContext& context, CardColumns card, std::int32_t& callAgain) {
  OutputRecord& record = context.record;
  std::int32_t& pendingSlot = context.type8Card.pendingSlot;

  const bool deleteCard = isDeleteCard(card);
  // Only this converter moves pendingSlot; a value outside the slots can
  // only come from a card loop that stopped calling too early.
  if (pendingSlot < 0 || pendingSlot >= kSlots.count) pendingSlot = 0;
  // A card's first call starts at its first slot in use; a card with none
  // still gives one line, for slot 1, which its blank value rejects.
  if (!deleteCard && pendingSlot == 0) {
    const std::int32_t first = nextFilledSlot(card, kSlots, 0);
    pendingSlot = first == kSlots.count ? 0 : first;
  }
  const std::int32_t slot = pendingSlot;

  writeCardKey(record, card);
  const char slotNumber = static_cast<char>('1' + slot);
  record.appendField(std::string_view(&slotNumber, 1));
  record.appendField(card.columns(kDurationColumn));
  record.appendField(card.columns(kUnitColumns));
  record.appendField(card.columns(kMethodColumns));
  record.appendField(textOf(formatCardDate(card)));

  const ColumnRange indicated = kSlots.value(slot);
  const auto appendRawValues = [&] {
    record.appendField(card.columns(kActualValue));
    record.appendField(card.columns(kMethodColumns));
    record.appendField(card.columns(indicated));
  };

  if (deleteCard) {
    // A delete is carried over unchecked, in one line for slot 1.
    appendRawValues();
    callAgain = 0;
    pendingSlot = 0;
    return true;
  }

  bool accepted = true;
  if (const int decimals = readDpIndicator(context, card.column(kDpIndicator));
      decimals == kBadDpIndicator) {
    appendRawValues();
    accepted = false;
  } else {
    if (!appendValue(context, card, kActualValue, decimals, kActualDesignatedError)) {
      accepted = false;
    }
    // The method code goes to the line a second time.
    record.appendField(card.columns(kMethodColumns));
    if (!appendValue(context, card, indicated, decimals, kIndicatedValueError)) accepted = false;
  }

  moveToNextFilledSlot(card, kSlots, slot, pendingSlot, callAgain);
  return accepted;
}

}  // namespace cardlift
