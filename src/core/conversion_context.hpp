// The state one run of conversions shares: created once per run.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/card_columns.hpp"
#include "core/output_record.hpp"
#include "core/text_sink.hpp"

namespace cardlift {

// Size of the error text and of the card loop's message buffer.
inline constexpr std::size_t kMessageSize = 2048;

// A row of the card-type registry (core/card_types.hpp).
struct CardType;

// The card being converted. A card whose lines are given one per call is
// handed over once per line; what does not change from one of its lines to
// the next is worked out once, when the card is taken afresh.
struct CardInHand {
  // The converter's columns of the card in hand, copied whenever a card is
  // taken afresh. A further call of the card gets them back as the calls
  // before left them.
  CardColumns columns;
  // Its row in the card-type registry.
  const CardType* type = nullptr;
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

// What the converters that give one line per call keep between the calls
// for one card. Its shape is theirs: defined beside them.
struct CardStates;

// Everything the converters keep between fields, calls and cards. One
// context serves one run; cards are converted one at a time through it.
struct ConversionContext {
  // Defined beside CardStates, which they make and drop.
  explicit ConversionContext(TextSink& consoleSink);
  ~ConversionContext();
  ConversionContext(const ConversionContext&) = delete;
  ConversionContext& operator=(const ConversionContext&) = delete;

  // Where error lines are printed as they are found.
  TextSink& console;
  // The line being built by the current converter.
  OutputRecord record;
  // The card being converted, beside the record: every line uses them
  // together.
  CardInHand cardInHand;
  // The most recent error line, NUL-terminated; never cleared.
  std::array<char, kMessageSize> errorText{};

  CardStates& cardStates() { return *cardStates_; }

 private:
  // Made once per context, never per card.
  std::unique_ptr<CardStates> cardStates_;
};

}  // namespace cardlift
