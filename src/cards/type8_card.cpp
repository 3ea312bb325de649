// Card type 8: a precision check, one "RP" line per indicated value read
// against the actual value, given one line per call.
#include <array>

#include "cards/card_converters.hpp"
#include "core/error_channel.hpp"
#include "core/message_format.hpp"
#include "fields/card_key.hpp"
#include "fields/implied_decimal.hpp"

namespace cardlift {
namespace {

constexpr std::int32_t kType8Failed = -4;

constexpr int kSingleCharacter = 17;
constexpr int kFirstCode = 18;   // columns 18-20
constexpr int kSecondCode = 21;  // columns 21-23, written twice
constexpr int kDpIndicator = 30;
constexpr int kActualValue = 31;  // columns 31-34
constexpr int kFirstSlot = 35;    // slot k (0-4): columns 35+4k to 38+4k
constexpr int kValueWidth = 4;
constexpr std::int32_t kSlotCount = 5;

constexpr std::int32_t kLineSeparators = 17;

char* slotValue(CardColumns& card, std::int32_t slot) {
  return card.at(kFirstSlot + kValueWidth * slot);
}

// A slot is in use unless all four of its characters are blanks.
bool isSlotInUse(const CardColumns& card, std::int32_t slot) {
  const int first = kFirstSlot + kValueWidth * slot;
  return !card.isBlank(first, first + kValueWidth - 1);
}

// The first slot from `slot` on that is in use, or kSlotCount.
std::int32_t nextSlotInUse(const CardColumns& card, std::int32_t slot) {
  while (slot < kSlotCount && !isSlotInUse(card, slot)) ++slot;
  return slot;
}

// Appends one measured value. The value must be a number as it stands:
// unlike raw sample values, blanks are not taken as leading zeros.
// Returns false when the value was rejected and reported.
bool appendValue(ConversionContext& context, char* value, int decimals, std::int32_t code,
                 std::string_view column, std::string_view messageStart) {
  OutputRecord& record = context.record;
  const std::string_view raw(value, kValueWidth);
  if (isNumericField(raw)) {
    DecimalText text;
    if (formatImpliedDecimal(value, kValueWidth, decimals, text) == 0) {
      record.appendField(textOf(text));
      return true;
    }
  } else if (value[0] == '*') {
    record.overwrite(kActionPosition, 'D');
    record.appendField(raw);
    return true;
  }
  std::array<char, 64> message;
  reportFieldError(context, code, column, formatMessage(message, messageStart, raw, "."));
  record.appendField(raw);
  return false;
}

}  // namespace

std::int32_t convertType8Card(ConversionContext& context, char* line, CardColumns card,
                              std::int32_t* callAgain) {
  OutputRecord& record = context.record;
  record.begin(line);
  std::int32_t result = 0;

  const bool deleteCard = card.column(kActionColumn) == 'D';
  // Only this converter moves pendingSlot; a value outside the slots can
  // only come from a card loop that stopped calling too early.
  if (context.pendingSlot < 0 || context.pendingSlot >= kSlotCount) context.pendingSlot = 0;
  // A card's first call starts at its first slot in use; a card with none
  // still gives one line, for slot 1, which its blank value rejects.
  if (!deleteCard && context.pendingSlot == 0) {
    const std::int32_t first = nextSlotInUse(card, 0);
    context.pendingSlot = first == kSlotCount ? 0 : first;
  }
  const std::int32_t slot = context.pendingSlot;

  writeCardKey(record, "RP", card);
  const char slotNumber = static_cast<char>('1' + slot);
  record.appendField(std::string_view(&slotNumber, 1));
  record.appendField(card.columns(kSingleCharacter, kSingleCharacter));
  record.appendField(card.columns(kFirstCode, kFirstCode + 2));
  record.appendField(card.columns(kSecondCode, kSecondCode + 2));
  record.appendField(textOf(formatCardDate(card)));

  char* actual = card.at(kActualValue);
  char* indicated = slotValue(card, slot);
  const char dpIndicator = card.column(kDpIndicator);

  if (deleteCard) {
    // A delete is carried over unchecked, in one line for slot 1.
    record.appendField(std::string_view(actual, kValueWidth));
    record.appendField(card.columns(kSecondCode, kSecondCode + 2));
    record.appendField(std::string_view(indicated, kValueWidth));
    record.padFieldsTo(kLineSeparators);
    *callAgain = 0;
    context.pendingSlot = 0;
    return 0;
  }

  if (dpIndicator >= '0' && dpIndicator <= '5') {
    const int decimals = dpIndicator - '0';
    if (!appendValue(context, actual, decimals, kErrorActualValue, "ACTUAL_VALUE",
                     "Invalid Actual Designated: ")) {
      result = kType8Failed;
    }
    record.appendField(card.columns(kSecondCode, kSecondCode + 2));
    if (!appendValue(context, indicated, decimals, kErrorIndicatedValue, "INDICATED_VALUE",
                     "Invalid Indicated Value: ")) {
      result = kType8Failed;
    }
  } else {
    std::array<char, 64> message;
    reportFieldError(context, kErrorDpIndicator, kMultipleColumns,
                     formatMessage(message, "Invalid DP Indicator: ", dpIndicator, "."));
    result = kType8Failed;
    record.appendField(std::string_view(actual, kValueWidth));
    record.appendField(card.columns(kSecondCode, kSecondCode + 2));
    record.appendField(std::string_view(indicated, kValueWidth));
  }
  record.padFieldsTo(kLineSeparators);

  const std::int32_t next = nextSlotInUse(card, slot + 1);
  context.pendingSlot = next == kSlotCount ? 0 : next;
  *callAgain = next == kSlotCount ? 0 : 1;
  return result;
}

}  // namespace cardlift
