// Picks the converter for a card and completes its transaction line.
#include "core/card_dispatcher.hpp"

#include <algorithm>
#include <cstring>

#include "core/card_types.hpp"
#include "core/error_channel.hpp"

namespace cardlift {
namespace {

// A copied card keeps whatever it holds, but "RD" and "RC" lines always
// carry their full fields, so a copy that begins like one is completed to
// the separators the registry gives for it.
std::int32_t copySeparatorTarget(std::string_view card) {
  for (std::string_view completed : {std::string_view("RD"), std::string_view("RC")}) {
    if (card.substr(0, 2) != completed) continue;
    for (const CardType& row : CardTypeRegistry) {
      if (row.recordType == completed) return row.separators;
    }
  }
  return 0;
}

std::int32_t separatorsIn(std::string_view text) {
  if (text.find('|') == std::string_view::npos) return 0;
  return static_cast<std::int32_t>(std::count(text.begin(), text.end(), '|'));
}

bool holdsSeparator(std::string_view card) { return card.find('|', 1) != std::string_view::npos; }

// Takes a card whose lines come one per call: a card that differs from the
// one in hand starts afresh, the same card goes on with what is known of it.
// A further call from the card loop goes on with the columns as they are;
// any other call gets a fresh copy of them.
CardInHand& takeCard(CardInHand& held, std::string_view card) {
  const bool continued = held.continued;
  held.continued = false;
  if (held.serial != 0 && continued) return held;
  held.columns = CardColumns(card);
  if (held.serial != 0 && std::memcmp(held.image.data(), card.data(), held.image.size()) == 0) {
    return held;
  }
  std::memcpy(held.image.data(), card.data(), held.image.size());
  if (++held.serial == 0) held.serial = 1;
  held.holdsSeparator = holdsSeparator(card);
  return held;
}

// A card type without a converter: the card is copied as it stands. Kept
// out of line, like passErrorLine, so that the converted cards' way through
// convertCard stays short.
[[gnu::noinline]] void copyCard(OutputRecord& record, std::string_view card) {
  const std::string_view copied = card.substr(0, static_cast<std::size_t>(record.capacity) - 1);
  record.appendFixed(copied, separatorsIn(copied.substr(std::min<std::size_t>(copied.size(), 2))));
  record.padFieldsTo(copySeparatorTarget(card));
}

// Hands the last error line to the card loop.
[[gnu::noinline]] void passErrorLine(const ConversionContext& context,
                                     std::span<char, kMessageSize> message) {
  const char* text = context.errorText.data();
  const auto length =
      static_cast<std::size_t>(std::find(text, text + context.errorText.size(), '\0') - text);
  std::memcpy(message.data(), text, length);
  std::fill(message.begin() + static_cast<std::ptrdiff_t>(length), message.end(), '\0');
}

}  // namespace

std::int32_t convertCard(ConversionContext& context, std::string_view card,
                         std::span<char, kOutputLineSize> line, std::int32_t* callAgain,
                         std::span<char, kMessageSize> message) {
  OutputRecord& record = context.record;
  record.begin(line.data(), line.size());
  const CardType* type = findCardType(card[0]);
  if (type == nullptr) {
    copyCard(record, card);
    *callAgain = 0;
    return 0;
  }

  // Every line begins with its two-letter record type; the converter goes
  // on from there.
  std::memcpy(record.buffer, type->recordType.data(), kRecordTypeLength);
  record.length = static_cast<std::int32_t>(kRecordTypeLength);
  bool accepted = false;
  bool cardHoldsSeparator = false;
  if (type->givesLinePerCall()) {
    CardInHand& held = takeCard(context.cardInHand, card);
    cardHoldsSeparator = held.holdsSeparator;
    accepted = type->convertNext(context, held.columns, *callAgain);
  } else {
    // The converter's own copy: the card stays as it was read.
    CardColumns columns(card);
    cardHoldsSeparator = holdsSeparator(card);
    accepted = type->convert(context, columns);
    *callAgain = 0;
  }
  record.padFieldsTo(type->separators);
  // A '|' taken over from the card would shift every later field. Every
  // '|' in the line is one the record counted unless the card brought one
  // along, so only such a card needs its line searched.
  if (accepted && cardHoldsSeparator && separatorsIn(record.view()) > record.separatorCount) {
    reportFieldError(context, kFieldSeparatorError);
    accepted = false;
  }
  if (accepted) return 0;
  passErrorLine(context, message);
  return type->failure;
}

}  // namespace cardlift
