// The dispatcher: copy path, line completion, the call-again flag, the
// message buffer and separators brought in by the card.
#include "core/card_dispatcher.hpp"
#include "core/card_types.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "test_support.hpp"

namespace cardlift {
namespace {

using testing::cardWith;
using testing::ConverterHarness;
using testing::errorLine;
using testing::withColumns;

std::size_t separatorsIn(std::string_view line) {
  return static_cast<std::size_t>(std::count(line.begin(), line.end(), '|'));
}

// Every character finds the registry row of its own card type, or none.
TEST(CardDispatcherTest, EveryCardTypeFindsItsRow) {
  for (int code = 0; code < 256; ++code) {
    const char type = static_cast<char>(code);
    const CardType* row = findCardType(type);
    const bool listed = std::any_of(CardTypeRegistry.begin(), CardTypeRegistry.end(),
                                    [&](const CardType& r) { return r.type == type; });
    EXPECT_EQ(row != nullptr, listed) << code;
    if (row != nullptr) {
      EXPECT_EQ(row->type, type) << code;
    }
  }
}

// A card of blanks fails for every card type (no duration code, no DP
// indicator): each call gives the row's failure result and a line of the
// row's record type, padded to its separators all the same.
TEST(CardDispatcherTest, EveryCardTypeFailsWithItsRowsResult) {
  for (const CardType& row : CardTypeRegistry) {
    // Exactly one converter per row. Checked here, not at compile time: with
    // the sanitizers GCC no longer takes a function's address as non-null.
    EXPECT_NE(row.convert == nullptr, row.convertNext == nullptr) << row.type;
    ConverterHarness h;
    const auto calls = h.convert(cardWith({{1, {&row.type, 1}}}));
    ASSERT_FALSE(calls.empty());
    for (const auto& call : calls) {
      EXPECT_EQ(call.result, row.failure) << row.type;
      EXPECT_EQ(call.line.substr(0, 2), row.recordType->letters) << row.type;
      EXPECT_EQ(separatorsIn(call.line), static_cast<std::size_t>(row.recordType->separators))
          << row.type;
    }
  }
}

TEST(CardDispatcherTest, CardsWithoutConverterAreCopied) {
  const std::string_view types[] = {"4", "5", "6", "0", " ", "A", "z", "\x80", "\xb1", "\xff"};
  for (std::string_view type : types) {
    const std::string card = cardWith({{1, type}, {2, "271050042532101"}, {80, "I"}});
    ConverterHarness h;
    const auto calls = h.convert(card);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].result, 0) << type;
    EXPECT_EQ(calls[0].callAgain, 0) << type;
    EXPECT_EQ(calls[0].line, card) << type;
    EXPECT_EQ(h.takeConsole(), "");
  }
}

TEST(CardDispatcherTest, CopiedRdAndRcCardsAreCompleted) {
  struct CopyCase {
    std::string card;
    std::string line;
  };
  const std::string rc = cardWith({{1, "RC"}, {80, "I"}});
  const std::string rd = cardWith({{1, "RD|x"}, {80, "I"}});
  const std::string rd20 = cardWith({{1, "RD"}, {10, std::string(20, '|')}});
  const std::string rd27 = cardWith({{1, "RD"}, {10, std::string(27, '|')}});
  const std::string rd30 = cardWith({{1, "RD"}, {10, std::string(30, '|')}});
  const std::string rc25 = cardWith({{1, "RC"}, {10, std::string(25, '|')}});
  const std::string rc26 = cardWith({{1, "RC"}, {10, std::string(26, '|')}});
  const std::string rp = cardWith({{1, "RP"}, {80, "I"}});
  const std::string ra = cardWith({{1, "RA|"}, {80, "I"}});
  const std::string rdLower = cardWith({{1, "rd"}, {80, "I"}});
  const std::string r = cardWith({{1, "R"}, {80, "I"}});
  const CopyCase cases[] = {
      {rc, rc + std::string(26, '|')},
      // A '|' on a copied card stays, and counts towards the target.
      {rd, rd + std::string(26, '|')},
      {rd20, rd20 + std::string(7, '|')},
      {rd27, rd27},
      {rd30, rd30},
      {rc25, rc25 + "|"},
      {rc26, rc26},
      {rp, rp},
      {ra, ra},
      {rdLower, rdLower},
      {r, r},
  };
  for (const CopyCase& c : cases) {
    ConverterHarness h;
    const auto calls = h.convert(c.card);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].result, 0) << c.card;
    EXPECT_EQ(calls[0].callAgain, 0) << c.card;
    EXPECT_EQ(calls[0].line, c.line) << c.card;
  }
}

// A good type 2 card and a good type 3 card.
const std::string kType2 =
    "2271050042532101100708797031513 30045                                          I";
const std::string kType3 =
    "32710500425321011007087970331121234                                            I";

TEST(CardDispatcherTest, ConvertedLinesAreCompletedAndTheFlagCleared) {
  const std::pair<std::string, std::size_t> cases[] = {{kType2, 27}, {kType3, 26}};
  for (const auto& [card, separators] : cases) {
    ConverterHarness h;
    const auto calls = h.convert(card);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].result, 0);
    EXPECT_EQ(calls[0].callAgain, 0);
    EXPECT_EQ(separatorsIn(calls[0].line), separators) << calls[0].line;
    EXPECT_EQ(calls[0].line.back(), '|');
  }
}

TEST(CardDispatcherTest, FailedConversionFillsTheMessageBuffer) {
  ConverterHarness h;
  const std::string card = withColumns(kType2, {{33, "X"}});
  std::array<char, kOutputLineSize> line{};
  std::array<char, kMessageSize> message;
  message.fill('#');  // whatever the buffer held before must not survive
  std::int32_t callAgain = 1;
  const std::int32_t result = convertCard(h.context, card, line, &callAgain, message);

  const std::string expected = errorLine(-20303, "Multiple Columns", "Invalid DP Indicator: X.");
  EXPECT_EQ(result, -2);
  EXPECT_EQ(callAgain, 0);
  EXPECT_EQ(std::string(message.data()), expected);
  EXPECT_TRUE(std::all_of(message.begin() + static_cast<std::ptrdiff_t>(expected.size()),
                          message.end(), [](char c) { return c == '\0'; }));
  EXPECT_EQ(separatorsIn(line.data()), 27u);
  EXPECT_EQ(h.takeConsole(), expected);
}

TEST(CardDispatcherTest, ConverterWorksOnACopyOfTheCard) {
  // The type 2 converter rewrites a blank hour and leading blanks of the
  // value in its own columns; the card itself must stay as read.
  const std::string card = withColumns(kType2, {{30, " 5"}, {34, " 1A3"}});
  const std::string before = card;
  ConverterHarness h;
  const auto calls = h.convert(card);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].result, -2);
  EXPECT_EQ(card, before);
  EXPECT_EQ(calls[0].message,
            errorLine(-20304, "REPORTED_SAMPLE_VALUE", "Invalid Sample Value: 01A3."));
}

// A '|' that the converter carries from the card into its line would shift
// every later field: the call fails with the converter's own result.
struct SeparatorCase {
  std::string card;
  std::int32_t result;
  std::string error;  // the console and the message buffer
};

TEST(CardDispatcherTest, SeparatorsFromTheCard) {
  const std::string separator =
      errorLine(-20310, "Multiple Columns", "Invalid Legacy Transaction, Field Separator in Card");
  const std::string badDp2 = errorLine(-20303, "Multiple Columns", "Invalid DP Indicator: X.");
  const std::string badDp3 = errorLine(-20303, "Multiple Columns", "Invalid DP Indicator:  .");
  const SeparatorCase cases[] = {
      // Type 2: copied columns (key, codes, date, hour, column 32, flag).
      {withColumns(kType2, {{4, "|"}}), -2, separator},
      {withColumns(kType2, {{19, "|"}}), -2, separator},
      {withColumns(kType2, {{27, "|"}}), -2, separator},
      {withColumns(kType2, {{31, "|"}}), -2, separator},
      {withColumns(kType2, {{32, "|"}}), -2, separator},
      {withColumns(kType2, {{38, "|"}}), -2, separator},
      // Type 2: a delete-marked value, and a value on a delete card.
      {withColumns(kType2, {{34, "*|12"}}), -2, separator},
      {withColumns(kType2, {{34, "1|2 "}, {80, "D"}}), -2, separator},
      // Type 2: columns never read.
      {withColumns(kType2, {{39, "|"}, {79, "|"}}), 0, ""},
      // Type 2: a card that fails already keeps its own error.
      {withColumns(kType2, {{19, "|"}, {33, "X"}}), -2, badDp2},
      // Type 3: copied columns (key, codes, year, period, flag).
      {withColumns(kType3, {{16, "|"}}), -3, separator},
      {withColumns(kType3, {{22, "|"}}), -3, separator},
      {withColumns(kType3, {{25, "|"}}), -3, separator},
      {withColumns(kType3, {{28, "|"}}), -3, separator},
      {withColumns(kType3, {{36, "|"}}), -3, separator},
      // Type 3: a delete-marked value, and a value on a delete card.
      {withColumns(kType3, {{32, "*12|"}}), -3, separator},
      {withColumns(kType3, {{32, "|   "}, {80, "D"}}), -3, separator},
      // Type 3: columns never read, and the composite type (looked up).
      {withColumns(kType3, {{17, "|"}, {37, "|"}, {79, "|"}}), 0, ""},
      {withColumns(kType3, {{30, "|"}}), 0, ""},
      // Type 3: a card that fails already keeps its own error.
      {withColumns(kType3, {{22, "|"}, {31, " "}}), -3, badDp3},
  };
  for (const SeparatorCase& c : cases) {
    ConverterHarness h;
    const auto calls = h.convert(c.card);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].result, c.result) << c.card;
    EXPECT_EQ(calls[0].callAgain, 0) << c.card;
    EXPECT_EQ(calls[0].message, c.error) << c.card;
    EXPECT_EQ(h.takeConsole(), c.error) << c.card;
  }
}

}  // namespace
}  // namespace cardlift
