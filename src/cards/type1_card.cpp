// Card type 1: up to eight readings taken at a fixed interval, one "RD"
// line per reading, given one line per call.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "cards/card_converters.hpp"
#include "cards/card_slots.hpp"
#include "core/compiler.hpp"
#include "core/error_channel.hpp"
#include "fields/ascii.hpp"
#include "fields/card_key.hpp"
#include "fields/sample_value.hpp"

namespace cardlift {
namespace {

constexpr ColumnRange kStartHour{30, 2};
constexpr int kDpIndicator = 32;
// Slot k (0-7): the value in columns 33+5k to 36+5k, its flag in 37+5k.
constexpr SlotLayout kSlots{{33, 4}, 5, 8};

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

// The interval of every character as a duration code, by its byte value:
// looked up once per card.
constexpr auto kIntervalOfCode = [] {
  std::array<std::int32_t, 256> intervals{};
  for (std::size_t code = 0; code < intervals.size(); ++code) {
    intervals[code] = durationInterval(static_cast<char>(code));
  }
  return intervals;
}();

// The latest hour a reading can have: the last slot's of a card that starts
// at hour 99 with the longest interval.
constexpr std::int32_t kLatestHour = [] {
  std::int32_t longest = 0;
  for (const DurationInterval& row : DurationIntervalTable) longest = std::max(longest, row.hours);
  return 99 + (kSlots.count - 1) * longest;
}();

// The time of a reading as two characters, for every hour a reading can
// have: the hour sum with a leading zero below 10, and only its first two
// digits from 100 on (a sum past 23 is written as it is; the time is not a
// clock time).
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

// The flag after the value of slot k.
char slotFlag(const CardColumns& card, std::int32_t slot) {
  return card.column(kSlots.value(slot).last() + 1);
}

// Fields 2 to 12: the card key, the codes and date, and the time.
constexpr std::int32_t kLeadingSeparators = kCardKeySeparators + kCodesAndDateSeparators + 1;
// Field 12, the time, is the last two characters of the leading fields.
constexpr std::int32_t kTimeWidth = 2;
constexpr std::int32_t kLeadingLength = kCardKeyLength + kCodesAndDateLength + 1 + kTimeWidth;
static_assert(kLeadingLength <= static_cast<std::int32_t>(sizeof(Type1CardState::leadingFields)));

// Of the given slots, those whose value is a known legacy null code, with
// the code's null data code put into quickValues.
std::uint32_t quickNullCodes(Type1CardState& state, const CardColumns& card, std::uint32_t slots) {
  std::uint32_t known = 0;
  for (; slots != 0; slots &= slots - 1) {
    const auto slot = static_cast<std::int32_t>(std::countr_zero(slots));
    const char* value = card.columns(kSlots.value(slot)).data();
    if (lookupNullDataCode(value, state.quickValues[static_cast<std::size_t>(slot)].data())) {
      known |= 1U << slot;
    }
  }
  return known;
}

// Works out what every line of the card shares: fields 2 to 12, whether
// columns 17 and 30-31 hold a duration code and an hour, the time of each
// slot, which slots are filled, and which give quick lines: those of a
// card that is not a delete, with an accepted duration code and hour, whose
// value is either four digits (leading blanks taken as zeros) under a DP
// indicator of 0 to 5 and a flag other than '9', or a known legacy null
// code under a blank DP indicator or a flag of '9' with a DP indicator of 0
// to 5. Once per card, so out of line.
CARDLIFT_NOINLINE void prepareCard(Type1CardState& state, const CardColumns& card) {
  std::array<char, sizeof(Type1CardState::leadingFields) + kLaidOutSpare> leading{};
  char* out = layCodesAndDate(layCardKey(leading.data(), card), card);
  // Each line writes its own time here.
  out[0] = '|';
  std::memset(out + 1, '0', kTimeWidth);
  std::memcpy(state.leadingFields.data(), leading.data(), state.leadingFields.size());

  const std::int32_t interval =
      kIntervalOfCode[static_cast<unsigned char>(card.column(kDurationColumn.first))];
  state.durationAccepted = interval >= 0;
  // A signed hour would count back from the start of the day: only two
  // digits are an hour.
  const std::string_view hourText = card.columns(kStartHour);
  state.hourAccepted = isDigit(hourText[0]) && isDigit(hourText[1]);
  const bool timed = state.durationAccepted && state.hourAccepted;
  const char dpIndicator = card.column(kDpIndicator);
  const bool quickCard = timed && !isDeleteCard(card);
  // The values are numbers with the decimals the DP indicator gives, or,
  // when it is blank, legacy null codes; a flag of '9' makes a number a null
  // code.
  const bool numbers = quickCard && isDigit(dpIndicator) && dpIndicator - '0' <= kMaxDecimals;
  state.quickDecimals = dpIndicator - '0';

  std::int32_t hours = timed ? 10 * (hourText[0] - '0') + (hourText[1] - '0') : 0;
  std::uint32_t filled = 0;
  std::uint32_t quick = 0;
  std::uint32_t flaggedNull = 0;
  for (std::int32_t slot = 0; slot < kSlots.count; ++slot) {
    const auto index = static_cast<std::size_t>(slot);
    if (timed) {
      state.times[index] = kCollectionTimes[static_cast<std::size_t>(hours)];
      hours += interval;
    }
    const ColumnRange valueColumns = kSlots.value(slot);
    if (card.isBlankValue(valueColumns.first)) continue;
    filled |= 1U << slot;
    const char flag = upperCase(slotFlag(card, slot));
    // Field 17 is empty for a flag of '9' or blank.
    state.quickFlags[index] = flag == '9' ? ' ' : flag;
    if (flag == '9') {
      flaggedNull |= 1U << slot;
    } else if (numbers && fourDigits(card.columns(valueColumns), state.quickValues[index])) {
      quick |= 1U << slot;
    }
  }
  state.filledSlots = filled;
  // The null codes, apart: few cards have any.
  const std::uint32_t nullCodes =
      quickCard && dpIndicator == ' ' ? filled : (numbers ? flaggedNull : 0);
  state.nullCodeSlots = quickNullCodes(state, card, nullCodes);
  state.quickSlots = quick | state.nullCodeSlots;
}

// The room a quick line needs behind the record type: the leading fields,
// a '|' and at most six characters of value, four '|' and the flag, and
// the terminator.
constexpr std::int32_t kQuickLineRoom =
    static_cast<std::int32_t>(sizeof(Type1CardState::leadingFields)) + 1 + kFourDigitDecimalLength +
    4 + 1 + 1;

// Writes the line of a quick slot (see prepareCard) behind the record
// type, field by field.
void writeQuickLine(OutputRecord& record, const Type1CardState& state, std::int32_t slot) {
  const auto index = static_cast<std::size_t>(slot);
  const char flag = state.quickFlags[index];
  char* out = record.buffer + record.length;
  // Fields 2 to 12, the time of the slot last.
  std::memcpy(out, state.leadingFields.data(), state.leadingFields.size());
  out += kLeadingLength;
  std::memcpy(out - kTimeWidth, state.times[index].data(), kTimeWidth);
  // Field 13, the value, and field 14, the null data code: one of them
  // empty.
  *out++ = '|';
  if ((state.nullCodeSlots >> slot & 1U) != 0) {
    *out++ = '|';
    std::memcpy(out, state.quickValues[index].data(), 2);
    out += 2;
  } else {
    out += writeFourDigitDecimal(state.quickValues[index].data(), state.quickDecimals, out);
    *out++ = '|';
  }
  // Fields 15 and 16 empty, then field 17: the flag, or empty.
  out[0] = '|';
  out[1] = '|';
  out[2] = '|';
  out[3] = flag;
  out += flag == ' ' ? 3 : 4;
  record.length = static_cast<std::int32_t>(out - record.buffer);
  record.separatorCount += kLeadingSeparators + 5;
}

// The line of any slot, every check made on it. Out of line, so that the
// quick lines' way through convertType1Card stays short.
CARDLIFT_NOINLINE bool convertSlot(ConversionContext& context, CardColumns& card,
                                   std::int32_t& callAgain) {
  OutputRecord& record = context.record;
  Type1CardState& state = context.type1Card;
  std::int32_t& readingIndex = state.readingIndex;

  // Columns 17 to 31 are checked on every call, so a bad duration code or
  // hour rejects each of the card's lines.
  if (!state.durationAccepted) reportFieldError(context, kDurationCodeError);
  if (!state.hourAccepted) reportFieldError(context, kCollectionTimeError);
  bool accepted = state.durationAccepted && state.hourAccepted;
  // Field 12 is left empty on a rejected line, which is never written.
  const std::int32_t timePosition = record.length + kLeadingLength - kTimeWidth;
  record.appendPrepared(state.leadingFields,
                        accepted ? kLeadingLength : kLeadingLength - kTimeWidth,
                        kLeadingSeparators);

  // Field 12: the time of the slot, on a line that has one.
  const auto writeTime = [&](std::int32_t slot) {
    if (!accepted) return;
    const std::array<char, 2>& time = state.times[static_cast<std::size_t>(slot)];
    std::memcpy(record.buffer + timePosition, time.data(), time.size());
  };

  if (isDeleteCard(card)) {
    // A delete carries every slot over as it stands, blank ones included.
    const std::int32_t slot = readingIndex;
    const char flag = slotFlag(card, slot);
    writeTime(slot);
    record.appendField(card.columns(kSlots.value(slot)));
    record.appendField({});
    record.appendField({});
    record.appendField({});
    record.appendField(std::string_view(&flag, 1));
    readingIndex = slot + 1 < kSlots.count ? slot + 1 : 0;
    callAgain = readingIndex == 0 ? 0 : 1;
    return accepted;
  }

  const std::int32_t slot = nextFilledSlot(state.filledSlots, kSlots, readingIndex);
  if (slot == kSlots.count) {
    reportFieldError(context, kMissingSampleError);
    readingIndex = 0;
    callAgain = 0;
    return false;
  }

  // The time follows the slot's position, so a blank slot leaves a gap.
  writeTime(slot);
  const char flag = upperCase(slotFlag(card, slot));
  const ColumnRange valueColumns = kSlots.value(slot);
  char* value = card.at(valueColumns);
  const char dpIndicator = card.column(kDpIndicator);
  if (value[0] == kDeleteMarker) {
    markDeleted(record);
    record.appendField(card.columns(valueColumns));
    record.appendField({});
  } else if (isDigit(dpIndicator)) {
    if (appendSampleValue(context, value, dpIndicator - '0', flag) != 0) accepted = false;
  } else if (dpIndicator == ' ') {
    // A blank DP indicator marks every value of the card as a legacy null code.
    if (appendSampleValue(context, value, -1, flag) != 0) accepted = false;
  } else {
    reportFieldError(context, kDecimalPositionError);
    record.appendField(card.columns(valueColumns));
    record.appendField({});
    accepted = false;
  }
  // Fields 15 and 16 empty, then field 17: the flag, or empty for '9' or blank.
  const bool flagShown = flag != '9' && flag != ' ';
  if (char* out = record.openField(3)) {
    out[0] = '|';
    out[1] = '|';
    out[2] = flag;
    record.closeFields(out + (flagShown ? 3 : 2), 3);
  }

  moveToNextFilledSlot(state.filledSlots, kSlots, slot, readingIndex, callAgain);
  return accepted;
}

// The quick line's way is open: the card is prepared, and the slot at
// readingIndex, filled as every quick slot is, gives a quick line that fits.
bool quickLineNext(const ConversionContext& context) {
  const Type1CardState& state = context.type1Card;
  const std::int32_t slot = state.readingIndex;
  return state.preparedFor == context.cardInHand.serial && slot >= 0 && slot < kSlots.count &&
         (state.quickSlots >> slot & 1U) != 0 &&
         context.record.length + kQuickLineRoom <= context.record.capacity;
}

// For a call that found the quick line's way closed: prepares a card not
// seen before and moves readingIndex on to the next filled slot when that
// gives a quick line. True when it does. Out of line, so that the quick
// lines' way stays short.
CARDLIFT_NOINLINE bool openQuickLine(ConversionContext& context, const CardColumns& card) {
  Type1CardState& state = context.type1Card;
  std::int32_t& readingIndex = state.readingIndex;
  if (state.preparedFor != context.cardInHand.serial) {
    prepareCard(state, card);
    state.preparedFor = context.cardInHand.serial;
  }
  // Only this converter moves readingIndex; a value outside the slots can
  // only come from a card loop that stopped calling too early.
  if (readingIndex < 0 || readingIndex >= kSlots.count) readingIndex = 0;
  // A delete card has no quick slot, so readingIndex moves only past
  // blank slots that no line is given for.
  const std::int32_t slot = nextFilledSlot(state.filledSlots, kSlots, readingIndex);
  if (slot == kSlots.count || (state.quickSlots >> slot & 1U) == 0) return false;
  readingIndex = slot;
  return quickLineNext(context);
}

// Gives the quick line of the slot at readingIndex and moves on.
[[gnu::always_inline]] inline bool giveQuickLine(ConversionContext& context,
                                                 std::int32_t& callAgain) {
  Type1CardState& state = context.type1Card;
  const std::int32_t slot = state.readingIndex;
  writeQuickLine(context.record, state, slot);
  moveToNextFilledSlot(state.filledSlots, kSlots, slot, state.readingIndex, callAgain);
  return true;
}

// convertType1Card for a call that found the quick line's way closed.
CARDLIFT_NOINLINE bool convertType1Slowly(ConversionContext& context, CardColumns& card,
                                          std::int32_t& callAgain) {
  if (!openQuickLine(context, card)) return convertSlot(context, card, callAgain);
  return giveQuickLine(context, callAgain);
}

}  // namespace

bool convertType1Card(ConversionContext& context, CardColumns& card, std::int32_t& callAgain) {
  // The usual call calls nothing.
  if (!quickLineNext(context)) return convertType1Slowly(context, card, callAgain);
  return giveQuickLine(context, callAgain);
}

}  // namespace cardlift
