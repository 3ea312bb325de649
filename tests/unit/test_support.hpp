// Shared helpers for the unit tests: cards, in-memory devices, and a
// harness that follows a card through every call of its converter.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

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
    std::copy(text.begin(), text.end(), card.begin() + (column - 1));
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
      // The record knows the finished line's length.
      EXPECT_EQ(static_cast<std::size_t>(context.record.length), calls.back().line.size()) << card;
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

// The one call of a card type that gives one line per card.
struct SingleConversion {
  std::int32_t result = 0;
  std::string line;
  std::string message;
  std::string console;
};

// Converts a card with a fresh context, expecting exactly one call.
inline SingleConversion convertSingle(std::string_view card) {
  ConverterHarness harness;
  const std::vector<CallResult> calls = harness.convert(card);
  EXPECT_EQ(calls.size(), 1u) << card;
  EXPECT_EQ(calls.front().callAgain, 0) << card;
  return {calls.front().result, calls.front().line, calls.front().message, harness.takeConsole()};
}

// A card that gives one line, and what its one call must give.
struct SingleCardCase {
  std::string card;
  std::string line;
  std::int32_t result;
  std::string error;  // printed on the console and left in the message buffer
};

inline void expectConverts(const SingleCardCase& c) {
  const SingleConversion converted = convertSingle(c.card);
  EXPECT_EQ(converted.result, c.result) << c.card;
  EXPECT_EQ(converted.line, c.line) << c.card;
  EXPECT_EQ(converted.message, c.error) << c.card;
  EXPECT_EQ(converted.console, c.error) << c.card;
}

// Field n (counted from 1) of a transaction line.
inline std::string field(const std::string& line, int n) {
  std::size_t begin = 0;
  for (int i = 1; i < n; ++i) begin = line.find('|', begin) + 1;
  return line.substr(begin, line.find('|', begin) - begin);
}

// The error line the error channel builds.
inline std::string errorLine(std::int32_t code, std::string_view column, std::string_view message) {
  return "ERROR->[" + std::to_string(code) + "] Column->[" + std::string(column) + "] Msg->[" +
         std::string(message) + "]\n";
}

}  // namespace cardlift::testing
