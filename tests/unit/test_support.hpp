// Shared helpers for the unit tests: cards, in-memory devices, and a
// harness that follows a card through every call of its converter.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/card_dispatcher.hpp"
#include "core/conversion_context.hpp"
#include "core/text_sink.hpp"

namespace cardlift::testing {

// Collects everything written to it.
class StringDevice final : public ByteDevice {
 public:
  bool writeAll(std::string_view bytes) override {
    if (fail) return false;
    text.append(bytes);
    ++writes;
    return true;
  }
  std::string text;
  int writes = 0;
  bool fail = false;
};

// Returns card with the given 1-based columns overwritten.
inline std::string withColumns(std::string card,
                               std::initializer_list<std::pair<int, std::string_view>> columns) {
  for (const auto& [column, text] : columns) {
    card.replace(static_cast<std::size_t>(column - 1), text.size(), text);
  }
  return card;
}

// An 80-column card of blanks with the given 1-based columns set.
inline std::string cardWith(std::initializer_list<std::pair<int, std::string_view>> columns) {
  return withColumns(std::string(80, ' '), columns);
}

// One call of convertCard.
struct CallResult {
  std::int32_t result;
  std::int32_t callAgain;
  std::string line;     // the output line (also on failure)
  std::string message;  // the message buffer
};

// Converts cards through convertCard with one fresh context, as the card
// loop does: calls again while the flag is 1 (at most maxCalls times).
class ConverterHarness {
 public:
  std::vector<CallResult> convert(std::string_view card, int maxCalls = 16) {
    std::vector<CallResult> calls;
    std::int32_t callAgain = 1;
    do {
      std::array<char, kOutputLineSize> line{};
      std::array<char, kMessageSize> message{};
      const std::int32_t result = convertCard(context, card, line, &callAgain, message);
      calls.push_back({result, callAgain, std::string(line.data()), std::string(message.data())});
    } while (callAgain == 1 && static_cast<int>(calls.size()) < maxCalls);
    return calls;
  }

  // Everything printed on the console so far; empties it.
  std::string takeConsole() {
    console.flush();
    std::string text = std::move(device.text);
    device.text.clear();
    return text;
  }

  StringDevice device;
  TextSink console{&device, LineEnd::kLf};
  ConversionContext context{console};
};

// The error line the error channel builds.
inline std::string errorLine(std::int32_t code, std::string_view column, std::string_view message) {
  return "ERROR->[" + std::to_string(code) + "] Column->[" + std::string(column) + "] Msg->[" +
         std::string(message) + "]\n";
}

}  // namespace cardlift::testing
