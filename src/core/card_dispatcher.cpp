// The parts of the dispatcher that most calls never take.
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

// Hands the last error line to the card loop.
void passErrorLine(const ConversionContext& context, std::span<char, kMessageSize> message) {
  const char* text = context.errorText.data();
  const auto length =
      static_cast<std::size_t>(std::find(text, text + context.errorText.size(), '\0') - text);
  std::memcpy(message.data(), text, length);
  std::fill(message.begin() + static_cast<std::ptrdiff_t>(length), message.end(), '\0');
}

}  // namespace

namespace dispatch {

void takeCard(CardInHand& held, std::string_view card) {
  held.columns.take(card);
  if (++held.serial == 0) held.serial = 1;
  // Column 1, a converted card's type, is never '|'.
  held.holdsSeparator = cardHolds(card, '|');
}

std::int32_t copyCard(ConversionContext& context, std::string_view card, std::int32_t* callAgain) {
  OutputRecord& record = context.record;
  const std::string_view copied = card.substr(0, static_cast<std::size_t>(record.capacity) - 1);
  record.appendFixed(copied, separatorsIn(copied.substr(std::min<std::size_t>(copied.size(), 2))));
  record.padFieldsTo(copySeparatorTarget(card));
  *callAgain = 0;
  return 0;
}

std::int32_t endCheckedCall(ConversionContext& context, const CardType& type, bool accepted,
                            std::span<char, kMessageSize> message) {
  const OutputRecord& record = context.record;
  if (accepted && separatorsIn(record.view()) > record.separatorCount) {
    reportFieldError(context, kFieldSeparatorError);
    accepted = false;
  }
  if (accepted) return 0;
  passErrorLine(context, message);
  return type.failure;
}

}  // namespace dispatch

}  // namespace cardlift
