// The card-type registry: one row per card type that has a converter.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "core/card_columns.hpp"
#include "core/conversion_context.hpp"
#include "core/record_types.hpp"

namespace cardlift {

// A converter that gives one line per card. It gets its own copy of the
// card's columns, which it may change freely. It goes on with the line in
// context.record, which already holds the record type (field 1), and
// leaves it unterminated: the dispatcher pads it to the separators of its
// record type. Returns false after reporting at least one error.
using SingleLineConverter = bool (*)(ConversionContext& context, CardColumns& card);

// A converter that gives one line per call, for as long as it sets
// callAgain to 1; it sets the flag on every call, to 0 with the card's last
// line, and keeps its position within the card in context.cardStates().
// The card loop's further calls for one card hand back the same copy of
// the columns, with whatever the earlier calls changed in it. Otherwise as
// SingleLineConverter.
using LinePerCallConverter = bool (*)(ConversionContext& context, CardColumns& card,
                                      std::int32_t& callAgain);

// Everything the program knows of one card type.
struct CardType {
  char type;                     // card column 1
  const RecordType* recordType;  // the lines it gives
  // Exactly one of the two is set.
  SingleLineConverter convert;
  LinePerCallConverter convertNext;
  std::int32_t failure;  // the result of a failed call

  constexpr bool givesLinePerCall() const { return convertNext != nullptr; }
};

// The registry, defined beside the converters. A card type not in it has
// no converter: its cards are copied unchanged.
extern const std::span<const CardType> CardTypeRegistry;

// For every character, by its byte value: its row in the registry, or null
// for a card type that is copied.
extern const std::array<const CardType*, 256> CardTypeIndex;

// The line of one converter call, built in a record of the converter's
// own: begun on the context's output line with the record type of the
// card in hand, and handed back to the context's record when it goes.
// Built there, the line's length is known at every field of fixed width,
// which then costs a few stores (bench/callgrind.sh: type 2's line in 491
// instructions against 646 built in the context's record).
class OwnLine : public OutputRecord {
 public:
  explicit OwnLine(ConversionContext& context) : shared_(context.record) {
    begin(shared_.buffer, kOutputLineSize);
    appendField(
        std::string_view(context.cardInHand.type->recordType->letters.data(), kRecordTypeLength));
  }
  ~OwnLine() { shared_ = *this; }
  OwnLine(const OwnLine&) = delete;
  OwnLine& operator=(const OwnLine&) = delete;

 private:
  OutputRecord& shared_;
};

// The row of a card type, or null for a card that is copied.
inline const CardType* findCardType(char type) {
  return CardTypeIndex[static_cast<unsigned char>(type)];
}

}  // namespace cardlift
