// Card type 8: a precision check, one "RP" line per indicated value read
// against the actual value, given one line per call.
#include <array>
#include <cstring>

#include "cards/card_converters.hpp"
#include "cards/card_slots.hpp"
#include "core/card_types.hpp"
#include "core/error_channel.hpp"
#include "fields/card_key.hpp"
#include "fields/dp_indicator.hpp"
#include "fields/implied_decimal.hpp"
#include "fields/sample_value.hpp"

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
  // The usual value, four digits, written where it goes.
  if (raw[0] != ' ' && appendFourDigitValue(record, card.at(columns), decimals)) return true;
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

// Fields 2 to 12: the card key, the slot number, the codes and date.
constexpr std::int32_t kLeadingSeparators = kCardKeySeparators + 1 + kCodesAndDateSeparators;
// Line position of field 8, the slot number: behind "RP" and fields 2-7.
constexpr std::int32_t kSlotNumberPosition =
    static_cast<std::int32_t>(kRecordTypeLength) + kCardKeyLength + 1;

// Fields 2 to 12 have fixed widths: the slot number is one character.
constexpr std::int32_t kLeadingLength = kCardKeyLength + 2 + kCodesAndDateLength;
static_assert(kLeadingLength <= static_cast<std::int32_t>(sizeof(Type8CardState::leadingFields)));

// Works out what every line of the card shares: fields 2 to 12 and which
// slots are in use.
void prepareCard(Type8CardState& state, const CardColumns& card) {
  std::array<char, sizeof(Type8CardState::leadingFields) + kLaidOutSpare> leading{};
  char* out = layCardKey(leading.data(), card);
  // Each line writes its own slot number here.
  out[0] = '|';
  out[1] = '1';
  layCodesAndDate(out + 2, card);
  std::memcpy(state.leadingFields.data(), leading.data(), state.leadingFields.size());
  state.filledSlots = filledSlots(card, kSlots);
}

}  // namespace

bool convertType8Card(ConversionContext& context, CardColumns& card, std::int32_t& callAgain) {
  OutputRecord& record = context.record;
  Type8CardState& state = context.type8Card;
  std::int32_t& pendingSlot = state.pendingSlot;
  if (state.preparedFor != context.cardInHand.serial) {
    prepareCard(state, card);
    state.preparedFor = context.cardInHand.serial;
  }

  const bool deleteCard = isDeleteCard(card);
  // Only this converter moves pendingSlot; a value outside the slots can
  // only come from a card loop that stopped calling too early.
  if (pendingSlot < 0 || pendingSlot >= kSlots.count) pendingSlot = 0;
  // A card's first call starts at its first slot in use; a card with none
  // still gives one line, for slot 1, which its blank value rejects.
  if (!deleteCard && pendingSlot == 0) {
    const std::int32_t first = nextFilledSlot(state.filledSlots, kSlots, 0);
    pendingSlot = first == kSlots.count ? 0 : first;
  }
  const std::int32_t slot = pendingSlot;

  record.appendPrepared(state.leadingFields, kLeadingLength, kLeadingSeparators);
  record.overwrite(kSlotNumberPosition, static_cast<char>('1' + slot));

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

  moveToNextFilledSlot(state.filledSlots, kSlots, slot, pendingSlot, callAgain);
  return accepted;
}

}  // namespace cardlift
