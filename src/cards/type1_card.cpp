// Card type 1: up to eight readings taken at a fixed interval, one "RD"
// line per reading, given one line per call.
#include <array>

#include "cards/card_converters.hpp"
#include "core/error_channel.hpp"
#include "fields/card_key.hpp"
#include "fields/implied_decimal.hpp"
#include "fields/sample_value.hpp"

namespace cardlift {
namespace {

constexpr std::int32_t kType1Failed = -1;

constexpr int kDurationCode = 17;
constexpr int kFirstCode = 18;   // columns 18-20
constexpr int kSecondCode = 21;  // columns 21-23
constexpr int kStartHour = 30;   // columns 30-31
constexpr int kDpIndicator = 32;
constexpr int kFirstSlot = 33;  // slot k: value in 33+5k to 36+5k, flag in 37+5k
constexpr int kSlotWidth = 5;
constexpr int kValueWidth = 4;
constexpr std::int32_t kSlotCount = 8;

// Separators the converter fills its line to; the dispatcher adds the rest.
constexpr std::int32_t kLineSeparators = 25;

struct DurationInterval {
  std::int32_t code;   // the duration code character
  std::int32_t hours;  // the interval between two readings
};

constexpr std::int32_t kEndCode = 0xFF;

// Ascending by code; the end row stands above every character.
constexpr std::array<DurationInterval, 12> DurationIntervalTable{{
    {'1', 1},
    {'2', 2},
    {'3', 4},
    {'4', 6},
    {'5', 8},
    {'6', 12},
    {'B', 3},
    {'W', 8},
    {'X', 24},
    {'Y', 3},
    {'Z', 8},
    {kEndCode, -1},
}};

// The interval of a duration code, or -1 for a code the table lacks.
constexpr std::int32_t durationInterval(char code) {
  const std::int32_t wanted = static_cast<unsigned char>(code);
  for (const DurationInterval& row : DurationIntervalTable) {
    if (row.code == kEndCode) return -1;
    if (row.code == wanted) return row.hours;
    if (row.code > wanted) return -1;
  }
  return -1;
}

static_assert(durationInterval('X') == 24 && durationInterval('b') == -1 &&
              durationInterval('\xFF') == -1);

// The time of a reading as two characters: the hour sum with a leading
// zero below 10, and only its first two digits from 100 on (a sum past 23
// is written as it is; the time is not a clock time).
constexpr std::array<char, 2> collectionTime(std::int32_t hours) {
  std::int32_t leading = hours;
  while (leading >= 100) leading /= 10;
  return {static_cast<char>('0' + leading / 10), static_cast<char>('0' + leading % 10)};
}

static_assert(collectionTime(7)[0] == '0' && collectionTime(7)[1] == '7');
static_assert(collectionTime(111)[0] == '1' && collectionTime(111)[1] == '1');

// The four value characters of slot k.
char* slotValue(CardColumns& card, std::int32_t slot) {
  return card.at(kFirstSlot + kSlotWidth * slot);
}

char slotFlag(const CardColumns& card, std::int32_t slot) {
  return card.column(kFirstSlot + kSlotWidth * slot + kValueWidth);
}

// A slot counts as blank when its value is; the flag does not count.
bool isBlankSlot(const CardColumns& card, std::int32_t slot) {
  const int first = kFirstSlot + kSlotWidth * slot;
  return card.isBlank(first, first + kValueWidth - 1);
}

// The first slot from `slot` on that holds a value, or kSlotCount.
std::int32_t nextFilledSlot(const CardColumns& card, std::int32_t slot) {
  while (slot < kSlotCount && isBlankSlot(card, slot)) ++slot;
  return slot;
}

}  // namespace

std::int32_t convertType1Card(ConversionContext& context, char* line, CardColumns card,
                              std::int32_t* callAgain) {
  OutputRecord& record = context.record;
  record.begin(line);
  std::int32_t result = 0;

  // Columns 17 to 31 are checked on every call, so a bad duration code or
  // hour rejects each of the card's lines.
  writeCardKey(record, "RD", card);
  record.appendField(card.columns(kDurationCode, kDurationCode));
  const std::int32_t interval = durationInterval(card.column(kDurationCode));
  if (interval < 0) {
    reportFieldError(context, kErrorDurationCode, "DURATION_CODE",
                     "Invalid Legacy Transaction Raw Interval");
    result = kType1Failed;
  }
  record.appendField(card.columns(kFirstCode, kFirstCode + 2));
  record.appendField(card.columns(kSecondCode, kSecondCode + 2));
  record.appendField(textOf(formatCardDate(card)));

  // A signed hour would count back from the start of the day: only two
  // digits are an hour.
  const std::string_view hourText = card.columns(kStartHour, kStartHour + 1);
  std::int32_t startHour = 0;
  if (isNumericField(hourText) && hourText[0] != '+' && hourText[0] != '-') {
    startHour = 10 * (hourText[0] - '0') + (hourText[1] - '0');
  } else {
    reportFieldError(context, kErrorCollectionTime, "COLL_TIME", "Invalid Legacy Transaction Hour");
    result = kType1Failed;
  }

  // Only this converter moves readingIndex; a value outside the slots can
  // only come from a card loop that stopped calling too early.
  if (context.readingIndex < 0 || context.readingIndex >= kSlotCount) context.readingIndex = 0;

  // Field 12; left empty on a rejected line, which is never written.
  const auto appendTime = [&](std::int32_t slot) {
    if (result != 0) {
      record.appendField({});
      return;
    }
    const std::array<char, 2> time = collectionTime(startHour + slot * interval);
    record.appendField(std::string_view(time.data(), time.size()));
  };

  if (card.column(kActionColumn) == 'D') {
    // A delete carries every slot over as it stands, blank ones included.
    const std::int32_t slot = context.readingIndex;
    const char flag = slotFlag(card, slot);
    appendTime(slot);
    record.appendField(std::string_view(slotValue(card, slot), kValueWidth));
    record.appendField({});
    record.appendField({});
    record.appendField({});
    record.appendField(std::string_view(&flag, 1));
    record.padFieldsTo(kLineSeparators);
    ++context.readingIndex;
    if (context.readingIndex == kSlotCount) context.readingIndex = 0;
    *callAgain = context.readingIndex == 0 ? 0 : 1;
    return result;
  }

  const std::int32_t slot = nextFilledSlot(card, context.readingIndex);
  if (slot == kSlotCount) {
    reportFieldError(context, kErrorMissingSample, kMultipleColumns,
                     "Invalid Legacy Transaction, Missing Sample Value");
    record.padFieldsTo(kLineSeparators);
    context.readingIndex = 0;
    *callAgain = 0;
    return kType1Failed;
  }

  // The time follows the slot's position, so a blank slot leaves a gap.
  appendTime(slot);
  const char flag = upperCase(slotFlag(card, slot));
  char* value = slotValue(card, slot);
  const std::string_view rawValue(value, kValueWidth);
  const char dpIndicator = card.column(kDpIndicator);
  if (value[0] == '*') {
    record.overwrite(kActionPosition, 'D');
    record.appendField(rawValue);
    record.appendField({});
  } else if (dpIndicator >= '0' && dpIndicator <= '9') {
    if (convertSampleValue(context, value, dpIndicator - '0', flag) != 0) result = kType1Failed;
  } else if (dpIndicator == ' ') {
    // A blank DP indicator marks every value of the card as a legacy null code.
    if (convertSampleValue(context, value, -1, flag) != 0) result = kType1Failed;
  } else {
    reportFieldError(context, kErrorDpIndicator, kMultipleColumns,
                     "Invalid Legacy Transaction Decimal Position Indicator");
    record.appendField(rawValue);
    record.appendField({});
    result = kType1Failed;
  }
  record.appendField({});
  record.appendField({});
  record.appendField(flag == '9' || flag == ' ' ? std::string_view() : std::string_view(&flag, 1));
  record.padFieldsTo(kLineSeparators);

  const std::int32_t next = nextFilledSlot(card, slot + 1);
  context.readingIndex = next == kSlotCount ? 0 : next;
  *callAgain = next == kSlotCount ? 0 : 1;
  return result;
}

}  // namespace cardlift
