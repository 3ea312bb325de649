// The state one run of conversions shares: created once per run.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/card_columns.hpp"
#include "core/output_record.hpp"
#include "core/text_sink.hpp"

namespace cardlift {

// Size of the error text and of the card loop's message buffer.
inline constexpr std::size_t kMessageSize = 2048;

// The card whose lines are being given one per call. What does not change
// from one of its lines to the next is worked out once, when a card is
// taken afresh.
struct CardInHand {
  // The converter's columns of the card in hand, copied whenever a card is
  // taken afresh. A further call of the card goes on with them as the calls
  // before left them: a converter changes only the columns of the line it
  // gives, and never those of a line still to come.
  CardColumns columns;
  // Counts the cards taken: a converter's preparation is current while it
  // holds the number it was made for. 0 before the first card.
  std::uint32_t serial = 0;
  // The card holds a '|' after its type.
  bool holdsSeparator = false;
  // Set by the card loop for a further call with the card it handed over
  // last, which then goes on as the calls before left it; the next call
  // takes it back. Every other call takes its card afresh: the result is
  // the same as going on, as a card's preparation depends on its columns
  // alone, and it costs no comparison.
  bool continued = false;
};

// Card type 1: where the next call of the current card goes on, and what
// its calls share.
struct Type1CardState {
  // The reading slot (0-7) the next call gives a line for.
  std::int32_t readingIndex = 0;

  // Made once per card, for the card in hand whose serial it holds.
  std::uint32_t preparedFor = 0;
  // Fields 2 to 12 as every line of the card has them but field 12, the
  // time, which each line fills in; 11 separators. Their widths never
  // vary; what lies behind them is not part of them.
  std::array<char, 48> leadingFields{};
  bool durationAccepted = false;  // column 17 is a duration code
  bool hourAccepted = false;      // columns 30-31 are two digits
  // Field 12 of each slot's line, when both were accepted.
  std::array<std::array<char, 2>, 8> times{};
  // Bit k set: reading slot k holds a value.
  std::uint32_t filledSlots = 0;
  // Bit k set: slot k's line has nothing to report, and quickValues[k]
  // holds its value as four digits (leading blanks taken as zeros), or,
  // when bit k of nullCodeSlots is set too, the null data code of its
  // legacy null code in its first two characters.
  std::uint32_t quickSlots = 0;
  std::uint32_t nullCodeSlots = 0;
  std::int32_t quickDecimals = 0;  // the DP indicator of those lines
  std::array<std::array<char, 4>, 8> quickValues{};
  // Field 17 of those lines: the flag upper-cased, or blank for an empty
  // field.
  std::array<char, 8> quickFlags{};
};

// Card type 8: where the next call of the current card goes on, and what
// its calls share.
struct Type8CardState {
  // The indicated-value slot (0-4) the next call gives a line for.
  std::int32_t pendingSlot = 0;

  // Made once per card, for the card in hand whose serial it holds.
  std::uint32_t preparedFor = 0;
  // Fields 2 to 12 as every line of the card has them but field 8, the
  // slot number, which each line fills in; 11 separators. Their widths
  // never vary; what lies behind them is not part of them.
  std::array<char, 48> leadingFields{};
  // Bit k set: indicated-value slot k holds a value.
  std::uint32_t filledSlots = 0;
};

// Everything the converters keep between fields, calls and cards. One
// context serves one run; cards are converted one at a time through it.
struct ConversionContext {
  explicit ConversionContext(TextSink& consoleSink) : console(consoleSink) {}
  ConversionContext(const ConversionContext&) = delete;
  ConversionContext& operator=(const ConversionContext&) = delete;

  // Where error lines are printed as they are found.
  TextSink& console;
  // The line being built by the current converter.
  OutputRecord record;
  // The card of the converters that give one line per call, which keep
  // their place and what they prepared here. Beside the record: every line
  // uses them together.
  CardInHand cardInHand;
  Type1CardState type1Card;
  Type8CardState type8Card;
  // The most recent error line, NUL-terminated; never cleared.
  std::array<char, kMessageSize> errorText{};
};

}  // namespace cardlift
