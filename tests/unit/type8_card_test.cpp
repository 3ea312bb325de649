// Card type 8 converter tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cards/card_states.hpp"
#include "test_support.hpp"

namespace cardlift::testing {
namespace {

constexpr std::string_view kExampleCard =
    "82710500425321011007087970315300850084    0086                                 I";

// The example card's key and dates with DP indicator 3 and actual value
// 0085; the indicated-value slots (columns 35-54) are given.
std::string type8Card(std::string_view slots) {
  return withColumns(std::string(kExampleCard), {{35, "                    "}, {35, slots}});
}

// An "RP" line of that card from field 8 on, up to field 15.
std::string rpLine(char action, char slot, std::string_view actual, std::string_view indicated) {
  return std::string("RP|") + action + "|27|105|0042|53210|1|" + slot + "|1|007|087|19970315|" +
         std::string(actual) + "|087|" + std::string(indicated) + "|||";
}

std::string slotNumbersOf(const std::vector<CallResult>& calls) {
  std::string slots;
  for (const CallResult& call : calls) slots += call.line[25];
  return slots;
}

TEST(Type8Card, ExampleCardGivesOneLinePerSlotInUse) {
  ConverterHarness harness;
  const auto calls = harness.convert(kExampleCard);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].line, "RP|I|27|105|0042|53210|1|1|1|007|087|19970315|0.085|087|0.084|||");
  EXPECT_EQ(calls[1].line, "RP|I|27|105|0042|53210|1|3|1|007|087|19970315|0.085|087|0.086|||");
  EXPECT_EQ(calls[0].result, 0);
  EXPECT_EQ(calls[0].callAgain, 1);
  EXPECT_EQ(calls[1].result, 0);
  EXPECT_EQ(calls[1].callAgain, 0);
  EXPECT_EQ(harness.context.cardStates().type8.position, 0);
  EXPECT_EQ(harness.takeConsole(), "");
}

TEST(Type8Card, DeleteCardGivesOneRawLineForSlotOne) {
  const std::string cards[] = {
      withColumns(std::string(kExampleCard), {{80, "D"}}),
      withColumns(type8Card("    0001A002*003 004"), {{30, "9"}, {31, "x1 2"}, {80, "D"}}),
  };
  const std::string lines[] = {
      "RP|D|27|105|0042|53210|1|1|1|007|087|19970315|0085|087|0084|||",
      "RP|D|27|105|0042|53210|1|1|1|007|087|19970315|x1 2|087|    |||",
  };
  for (int i = 0; i < 2; ++i) {
    ConverterHarness harness;
    const auto calls = harness.convert(cards[i]);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].line, lines[i]);
    EXPECT_EQ(calls[0].result, 0);
    EXPECT_EQ(calls[0].callAgain, 0);
    EXPECT_EQ(harness.context.cardStates().type8.position, 0);
  }
}

TEST(Type8Card, SlotsInUseAreGivenInOrder) {
  struct Case {
    std::string_view slots;
    std::string_view numbers;  // field 8 of each line
  };
  const Case cases[] = {
      {"    0001    0002    ", "24"},
      {"00010002000300040005", "12345"},
      {"                0005", "5"},
      {"0001               9", "15"},  // one non-blank character puts a slot in use
  };
  for (const Case& c : cases) {
    ConverterHarness harness;
    const auto calls = harness.convert(type8Card(c.slots));
    EXPECT_EQ(slotNumbersOf(calls), c.numbers) << c.slots;
    for (std::size_t i = 0; i < calls.size(); ++i) {
      EXPECT_EQ(calls[i].callAgain, i + 1 < calls.size() ? 1 : 0) << c.slots;
      // The actual value and columns 21-23 repeat on every line.
      EXPECT_EQ(calls[i].line.substr(46, 10), "0.085|087|") << c.slots;
    }
    EXPECT_EQ(harness.context.cardStates().type8.position, 0) << c.slots;
  }
}

TEST(Type8Card, AllSlotsBlankGivesOneRejectedLineForSlotOne) {
  ConverterHarness harness;
  const auto calls = harness.convert(type8Card(""));
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].line, rpLine('I', '1', "0.085", "    "));
  EXPECT_EQ(calls[0].result, -4);
  EXPECT_EQ(calls[0].callAgain, 0);
  EXPECT_EQ(calls[0].message,
            errorLine(-20306, "INDICATED_VALUE", "Invalid Indicated Value:     ."));
}

TEST(Type8Card, BadDpIndicatorRejectsEveryLineUntested) {
  for (std::string_view dp : {"7", " ", "A"}) {
    ConverterHarness harness;
    const auto calls =
        harness.convert(withColumns(type8Card("0001 x      0003    "), {{30, dp}, {31, "bad!"}}));
    ASSERT_EQ(calls.size(), 3u);
    const std::string error =
        errorLine(-20303, "Multiple Columns", "Invalid DP Indicator: " + std::string(dp) + ".");
    EXPECT_EQ(calls[1].line, rpLine('I', '2', "bad!", " x  "));
    for (const CallResult& call : calls) {
      EXPECT_EQ(call.result, -4);
      EXPECT_EQ(call.message, error);
    }
    EXPECT_EQ(harness.takeConsole(), error + error + error);
  }
}

// The actual value (column 31) and the slot 1 value (column 35) of a
// one-line card, and what fields 2, 13 and 15 and the console get.
TEST(Type8Card, ValueConversion) {
  struct Case {
    std::string_view dp;
    std::string_view actual;
    std::string_view indicated;
    std::string line;
    std::string console;
  };
  const std::string actualError =
      errorLine(-20305, "ACTUAL_VALUE", "Invalid Actual Designated:  123.");
  const std::string indicatedError =
      errorLine(-20306, "INDICATED_VALUE", "Invalid Indicated Value: 12 4.");
  const Case cases[] = {
      {"3", "0123", "-123", rpLine('I', '1', "0.123", "-.123"), ""},
      {"0", "0123", "+012", rpLine('I', '1', "0123.", "+012."), ""},
      {"5", "0123", "9999", rpLine('I', '1', ".00123", ".09999"), ""},
      // no blank-to-zero rule on this card
      {"2", " 123", "0001", rpLine('I', '1', " 123", "00.01"), actualError},
      {"2", "0001", "12 4", rpLine('I', '1', "00.01", "12 4"), indicatedError},
      {"2", " 123", "12 4", rpLine('I', '1', " 123", "12 4"), actualError + indicatedError},
      {"2", "*12 ", "0001", rpLine('D', '1', "*12 ", "00.01"), ""},
      {"2", "0001", "*   ", rpLine('D', '1', "00.01", "*   "), ""},
      {"2", "1-23", "0001", rpLine('I', '1', "1-23", "00.01"),
       errorLine(-20305, "ACTUAL_VALUE", "Invalid Actual Designated: 1-23.")},
  };
  for (const Case& c : cases) {
    ConverterHarness harness;
    const auto calls =
        harness.convert(withColumns(type8Card(c.indicated), {{30, c.dp}, {31, c.actual}}));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].line, c.line) << c.actual << " " << c.indicated;
    EXPECT_EQ(calls[0].result, c.console.empty() ? 0 : -4) << c.actual << " " << c.indicated;
    EXPECT_EQ(harness.takeConsole(), c.console) << c.actual << " " << c.indicated;
  }
}

TEST(Type8Card, MarkedActualValueMakesEveryLineADelete) {
  ConverterHarness harness;
  const auto calls = harness.convert(withColumns(type8Card("0001 23 0003"), {{31, "*085"}}));
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].line, rpLine('D', '1', "*085", "0.001"));
  EXPECT_EQ(calls[1].line, rpLine('D', '2', "*085", " 23 "));
  EXPECT_EQ(calls[2].line, rpLine('D', '3', "*085", "0.003"));
  EXPECT_EQ(calls[0].result, 0);
  EXPECT_EQ(calls[1].result, -4);
  EXPECT_EQ(calls[2].result, 0);
}

TEST(Type8Card, MarkedIndicatedValueMakesOnlyItsLineADelete) {
  ConverterHarness harness;
  const auto calls = harness.convert(type8Card("0001*0020003"));
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].line[3], 'I');
  EXPECT_EQ(calls[1].line, rpLine('D', '2', "0.085", "*002"));
  EXPECT_EQ(calls[2].line[3], 'I');
}

// Each card starts from its first slot in use, whatever the card before did.
TEST(Type8Card, ConsecutiveCardsEachStartAtTheirFirstSlot) {
  const std::string cards[] = {
      type8Card("    0001    0002    "),
      withColumns(type8Card("    0001    0002    "), {{31, "bad!"}}),
      withColumns(type8Card("    0001    0002    "), {{30, "X"}}),
      withColumns(type8Card("    0001    0002    "), {{80, "D"}}),
      type8Card(""),
  };
  for (const std::string& first : cards) {
    ConverterHarness harness;
    harness.convert(first);
    const auto calls = harness.convert(type8Card("00070008"));
    EXPECT_EQ(slotNumbersOf(calls), "12") << first;
    EXPECT_EQ(calls[0].line, rpLine('I', '1', "0.085", "0.007")) << first;
  }
}

}  // namespace
}  // namespace cardlift::testing
