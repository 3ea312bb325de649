// Fuzz target: one card through every call of its converter.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "cards/card_states.hpp"
#include "core/card_dispatcher.hpp"
#include "core/card_types.hpp"
#include "core/conversion_context.hpp"
#include "core/record_types.hpp"
#include "fuzz_support.hpp"

using cardlift::fuzzing::require;

namespace {

// A copied card as it must come out: unchanged, but a card that begins
// with the letters of a record type completed on copy gets its separators.
std::string expectedCopy(const std::string& card) {
  std::string line = card;
  for (const cardlift::RecordType& type : cardlift::RecordTypes) {
    if (!type.completedOnCopy || std::string_view(card).substr(0, 2) != type.letters) continue;
    auto separators = static_cast<std::int32_t>(std::count(card.begin() + 2, card.end(), '|'));
    for (; separators < type.separators; ++separators) line += '|';
  }
  return line;
}

// "ERROR->[-203xx] Column->[...] Msg->[...]" and a line feed, once.
bool isOneErrorLine(std::string_view text) {
  constexpr std::string_view kHead = "ERROR->[-203";
  if (text.substr(0, kHead.size()) != kHead) return false;
  if (text.size() < kHead.size() + 3 || text.back() != '\n') return false;
  if (std::count(text.begin(), text.end(), '\n') != 1) return false;
  const std::string_view rest = text.substr(kHead.size());
  if (rest[0] < '0' || rest[0] > '9' || rest[1] < '0' || rest[1] > '9') return false;
  const std::size_t column = rest.find("] Column->[");
  const std::size_t message = rest.find("] Msg->[");
  return column == 2 && message != std::string_view::npos && message > column &&
         rest.substr(rest.size() - 2) == "]\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The card loop only ever hands over 80 characters without NUL or line feed.
  std::string card(80, ' ');
  for (std::size_t i = 0; i < card.size() && i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    card[i] = c == '\0' || c == '\n' ? ' ' : c;
  }
  const std::string original = card;

  cardlift::fuzzing::StringDevice device;
  cardlift::TextSink console(&device, cardlift::LineEnd::kLf);
  cardlift::ConversionContext context(console);
  const cardlift::CardType* type = cardlift::findCardType(card[0]);

  std::int32_t callAgain = 1;
  int calls = 0;
  do {
    require(++calls <= 8, "a card ends after at most eight calls", card);
    std::array<char, cardlift::kOutputLineSize> line;
    std::array<char, cardlift::kMessageSize> message;
    line.fill('#');
    message.fill('#');
    message[0] = '\0';
    console.flush();
    device.text.clear();

    const std::int32_t result = cardlift::convertCard(context, card, line, &callAgain, message);
    console.flush();

    require(card == original, "the card handed in is unchanged", card);
    const auto end = std::find(line.begin(), line.end(), '\0');
    require(end != line.end(), "the line is terminated", card);
    const std::string_view text(line.data(), static_cast<std::size_t>(end - line.begin()));
    require(text.size() < cardlift::kOutputLineSize, "the line fits its buffer", card);
    require(static_cast<std::size_t>(context.record.length) == text.size(),
            "the record knows the line's length", text);
    require(callAgain == 0 || callAgain == 1, "the flag is 0 or 1", card);

    if (result == 0) {
      if (type == nullptr) {
        require(text == expectedCopy(card), "a copied card is the card", text);
        require(callAgain == 0, "a copy is one call", card);
      } else {
        require(text.substr(0, 2) == type->recordType->letters, "the record type", text);
        require(std::count(text.begin(), text.end(), '|') == type->recordType->separators,
                "a good line has its record's separators", text);
      }
    } else {
      require(type != nullptr, "only converters fail", card);
      require(result == type->failure, "a failure gives its card type's result", card);
      const std::string_view error(message.data());
      require(isOneErrorLine(error), "a failure hands back one error line", error);
      require(std::all_of(message.begin() + static_cast<std::ptrdiff_t>(error.size()),
                          message.end(), [](char c) { return c == '\0'; }),
              "the message buffer is NUL after the line", error);
      require(device.text.find("ERROR->[-203") != std::string::npos,
              "a failure prints its error lines", device.text);
      require(device.text.size() >= error.size() &&
                  device.text.compare(device.text.size() - error.size(), error.size(), error) == 0,
              "the logged line is the last one printed", device.text);
    }
    if (type == nullptr || !type->givesLinePerCall()) {
      require(callAgain == 0, "one call per card", card);
    }
  } while (callAgain == 1);

  require(context.cardStates().atStart(), "a finished card leaves the converters at their start",
          card);
  return 0;
}
