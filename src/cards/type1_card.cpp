// Card type 1: up to eight readings taken at a fixed interval, one "RD"
// line per reading, given one line per call.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "cards/card_converters.hpp"
#include "cards/card_states.hpp"
#include "cards/slot_cards.hpp"
#include "core/compiler.hpp"
#include "core/error_channel.hpp"
#include "fields/ascii.hpp"
#include "fields/card_key.hpp"
#include "fields/implied_decimal.hpp"
#include "fields/sample_value.hpp"

namespace cardlift {
namespace {

constexpr int kDpIndicator = 32;
// Slot k (0-7): the value in columns 33+5k to 36+5k, its flag in 37+5k.
constexpr SlotLayout kSlots{{33, kValueWidth}, 5, 8};

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

// The latest hour a reading can have: the last slot's of a card that starts
// at hour 99 with the longest interval.
constexpr std::int32_t kLatestHour = [] {
  std::int32_t longest = 0;
  for (const DurationInterval& row : DurationIntervalTable) longest = std::max(longest, row.hours);
  return 99 + (kSlots.count - 1) * longest;
}();

// Field 12, the time of a reading, as two characters, for every hour a
// reading can have: the hour sum with a leading zero below 10, and only
// its first two digits from 100 on (a sum past 23 is written as it is; the
// time is not a clock time).
constexpr auto kCollectionTimes = [] {
  std::array<std::array<char, 2>, kLatestHour + 1> times{};
  for (std::int32_t hours = 0; hours <= kLatestHour; ++hours) {
    std::int32_t leading = hours;
    while (leading >= 100) leading /= 10;
    times[static_cast<std::size_t>(hours)] = {static_cast<char>('0' + leading / 10),
                                              static_cast<char>('0' + leading % 10)};
  }
  return times;
}();

static_assert(kCollectionTimes[7][0] == '0' && kCollectionTimes[7][1] == '7');
static_assert(kCollectionTimes[111][0] == '1' && kCollectionTimes[111][1] == '1');

// Fields 2 to 11 lead every line; fields 12 to 17 are the slot's: the time,
// the value or its null data code, two empty fields and the flag.
static_assert(1 + 2 + 1 + kLongestDecimalText + 1 + kValueWidth + 2 + 2 <=
              static_cast<std::int32_t>(kSlotRunRoom));
static_assert(kSlots.count <= kMostSlots);

// Fields 13 to 17 of a reading: the value by the card's DP indicator,
// two empty fields and the flag upper-cased, empty for '9' or blank. A
// delete card carries the value and the flag over as they stand, and so
// does a value with the delete marker, the flag aside.
void layReading(OutputRecord& line, CardColumns& card, std::int32_t slot, bool deleteCard,
                SlotPart& part) {
  const ColumnRange valueColumns = kSlots.value(slot);
  const std::string_view flagColumn = card.columns({valueColumns.last() + 1, 1});
  const char flag = upperCase(flagColumn[0]);
  int decimals = 0;
  if (deleteCard || card.column(valueColumns.first) == kDeleteMarker) {
    part.deletes = true;
    line.appendField(card.columns(valueColumns));
    line.appendField({});
  } else if (sampleDecimals(card.column(kDpIndicator), decimals)) {
    part.error = appendSampleValue(line, card.at(valueColumns.first), decimals, flag);
  } else {
    part.error = {&kDecimalPositionError};
    line.appendField(card.columns(valueColumns));
    line.appendField({});
  }
  line.appendField({});
  line.appendField({});
  line.appendField(deleteCard ? flagColumn : flagField(flag));
}

// Works out every line of a card: the fields they share, and each slot's
// own, by the card's rules. Columns 17 and 30-31 are checked once and
// reported on every line; the time of a slot follows from its position,
// so a blank slot leaves a gap.
CARDLIFT_NOINLINE void prepareCard(Type1CardState& state, CardColumns& card) {
  state.leading.lay([&](OutputRecord& line) {
    writeCardKey(line, card);
    writeCodesAndDate(line, card);
  });
  const std::int32_t interval = durationInterval(card.column(kDurationColumn.first));
  // A signed hour would count back from the start of the day: only two
  // digits are an hour.
  const std::string_view hour = card.columns(kHourColumns);
  const bool hourAccepted = isDigit(hour[0]) && isDigit(hour[1]);
  state.marks.errors = {FieldError{interval < 0 ? &kDurationCodeError : nullptr},
                        FieldError{hourAccepted ? nullptr : &kCollectionTimeError}};
  state.marks.deletes = false;
  // A rejected line gets no time.
  const bool timed = interval >= 0 && hourAccepted;
  const std::int32_t startHour = timed ? 10 * (hour[0] - '0') + (hour[1] - '0') : 0;

  state.filledSlots = filledSlots(card, kSlots);
  // A delete card gives every slot, blank ones included.
  const bool deleteCard = isDeleteCard(card);
  for (std::int32_t slot = 0; slot < kSlots.count; ++slot) {
    if (!deleteCard && (state.filledSlots >> slot & 1U) == 0) continue;
    SlotPart& part = state.parts[static_cast<std::size_t>(slot)];
    part.error = {};
    part.deletes = false;
    part.fields.lay([&](OutputRecord& line) {
      const std::int32_t time = startHour + slot * interval;
      line.appendField(timed ? textOf(kCollectionTimes[static_cast<std::size_t>(time)])
                             : std::string_view());
      layReading(line, card, slot, deleteCard, part);
    });
  }
}

}  // namespace

bool convertType1Card(ConversionContext& context, CardColumns& card, std::int32_t& callAgain) {
  Type1CardState& state = context.cardStates().type1;
  beginSlotCall(state, context, card, kSlots, prepareCard);

  if (isDeleteCard(card)) {
    // Every slot in slot order, blank ones included.
    const std::int32_t slot = state.position;
    return giveSlotLine(context, state, slot, slot + 1 < kSlots.count ? slot + 1 : 0, callAgain);
  }

  const std::int32_t slot = nextFilledSlot(state.filledSlots, kSlots, state.position);
  if (slot == kSlots.count) {
    // Only a card's first call can find no filled slot.
    OwnLine line(context);
    state.appendLeading(line);
    reportCardErrors(context, state.marks);
    reportFieldError(context, kMissingSampleError);
    state.position = 0;
    callAgain = 0;
    return false;
  }
  return giveSlotLine(context, state, slot, filledSlotAfter(state.filledSlots, kSlots, slot),
                      callAgain);
}

}  // namespace cardlift
