// The parts of the dispatcher that most calls never take.
#include "core/card_dispatcher.hpp"

#include <algorithm>
#include <cstring>

#include "core/card_types.hpp"
#include "core/error_channel.hpp"
#include "core/record_types.hpp"

namespace cardlift {
namespace {

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

void takeCard(CardInHand& held, const CardType& type, std::string_view card) {
  held.columns.take(card);
  held.type = &type;
  if (++held.serial == 0) held.serial = 1;
  // Column 1, a converted card's type, is never '|'.
  held.holdsSeparator = cardHolds(card, '|');
}

std::int32_t copyCard(ConversionContext& context, std::string_view card, std::int32_t* callAgain) {
  OutputRecord& record = context.record;
  // The card keeps whatever it holds, but a copy that begins like a record
  // type completed on copy gets that record type's separators, counted
  // from its third character on.
  record.appendBlock(card, separatorsIn(card.substr(std::min(card.size(), kRecordTypeLength))));
  const RecordType* recordType = recordTypeOf(card);
  record.padFieldsTo(recordType != nullptr && recordType->completedOnCopy ? recordType->separators
                                                                          : 0);
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
