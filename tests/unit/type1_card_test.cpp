// Card type 1 converter tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cards/card_states.hpp"
#include "test_support.hpp"

namespace cardlift::testing {
namespace {

// Key 12 345 6789 12345 1, duration code '2', codes 007 and 008, date
// 140715, start hour 06, DP indicator 3, action code I; no readings.
std::string type1Card(std::string_view slots = "") {
  return cardWith(
      {{1, "1"}, {2, "123456789123451"}, {17, "2007008140715063"}, {33, slots}, {80, "I"}});
}

// A completed line of that card; the fields from 12 on are given.
std::string rdLine(char action, std::string_view fromTime) {
  return std::string("RD|") + action + "|12|345|6789|12345|1|2|007|008|20140715|" +
         std::string(fromTime);
}

std::vector<std::string> linesOf(const std::vector<CallResult>& calls) {
  std::vector<std::string> lines;
  for (const CallResult& call : calls) lines.push_back(call.line);
  return lines;
}

// Field 12 of every call.
std::vector<std::string> timesOf(const std::vector<CallResult>& calls) {
  std::vector<std::string> times;
  for (const CallResult& call : calls) times.push_back(call.line.substr(44, 2));
  return times;
}

TEST(Type1Card, GivesOneLinePerFilledSlotWithTimesByPosition) {
  ConverterHarness harness;
  const auto calls = harness.convert(type1Card("0041 0043a     99509*    0047 "));
  EXPECT_EQ(linesOf(calls), (std::vector<std::string>{
                                rdLine('I', "06|0.041|||||||||||||||"),
                                rdLine('I', "08|0.043||||A|||||||||||"),
                                rdLine('I', "12||XX||||||||||||||"),
                                rdLine('D', "14|*   |||||||||||||||"),
                                rdLine('I', "16|0.047|||||||||||||||"),
                            }));
  for (std::size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].result, 0);
    EXPECT_EQ(calls[i].callAgain, i + 1 < calls.size() ? 1 : 0);
  }
  EXPECT_EQ(harness.takeConsole(), "");
}

TEST(Type1Card, DeleteCardGivesEverySlotRaw) {
  ConverterHarness harness;
  const auto calls = harness.convert(
      withColumns(type1Card("0041 0043a     99509*    0047 "), {{32, "A"}, {80, "D"}}));
  ASSERT_EQ(calls.size(), 8u);
  EXPECT_EQ(calls[1].line, rdLine('D', "08|0043||||a|||||||||||"));
  EXPECT_EQ(calls[2].line, rdLine('D', "10|    |||| |||||||||||"));
  EXPECT_EQ(calls[3].line, rdLine('D', "12|9950||||9|||||||||||"));
  EXPECT_EQ(calls[7].line, rdLine('D', "20|    |||| |||||||||||"));
  EXPECT_EQ(timesOf(calls),
            (std::vector<std::string>{"06", "08", "10", "12", "14", "16", "18", "20"}));
  for (std::size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].result, 0);
    EXPECT_EQ(calls[i].callAgain, i < 7 ? 1 : 0);
  }
  // Neither the DP indicator letter nor the values are tested.
  EXPECT_EQ(harness.takeConsole(), "");
}

struct SlotCase {
  const char* name;
  std::string_view slots;
  std::vector<std::string> times;
};

TEST(Type1Card, BlankSlotsArePassedOverButKeepTheirTime) {
  const SlotCase cases[] = {
      {"only the last slot", "                                   0001 ", {"20"}},
      {"only the first slot", "0001 ", {"06"}},
      {"gaps", "     0001           0002      0003 ", {"08", "14", "18"}},  // slots 1, 4, 6
      {"blank value, flag set", "    a0001 ", {"08"}},
  };
  for (const SlotCase& c : cases) {
    ConverterHarness harness;
    const auto calls = harness.convert(type1Card(c.slots));
    EXPECT_EQ(timesOf(calls), c.times) << c.name;
    EXPECT_EQ(calls.back().callAgain, 0) << c.name;
    EXPECT_EQ(harness.context.cardStates().type1.position, 0) << c.name;
  }
}

TEST(Type1Card, AllSlotsBlankIsOneMissingValueError) {
  ConverterHarness harness;
  const auto calls = harness.convert(type1Card("    a    b"));
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].result, -1);
  EXPECT_EQ(calls[0].callAgain, 0);
  const std::string error =
      errorLine(-20302, "Multiple Columns", "Invalid Legacy Transaction, Missing Sample Value");
  EXPECT_EQ(calls[0].message, error);
  EXPECT_EQ(harness.takeConsole(), error);
}

TEST(Type1Card, TimeIsTheHourSumCutToTwoDigits) {
  struct Case {
    std::string_view hour;
    std::string_view duration;
    std::string_view slots;
    std::string_view time;
  };
  const Case cases[] = {
      {"20", "2", "               0001 ", "26"},                      // not held to a day
      {"99", "6", "     0001 ", "11"},                                // 111
      {"05", "X", "                    0001 ", "10"},                 // 101
      {"00", "X", "                                   0001 ", "16"},  // 168
      {"00", "1", "     0001 ", "01"},
      {"09", "B", "0001 ", "09"},
      {"76", "X", "     0001 ", "10"},  // 100
      {"75", "X", "     0001 ", "99"},
  };
  for (const Case& c : cases) {
    ConverterHarness harness;
    const auto calls =
        harness.convert(withColumns(type1Card(c.slots), {{30, c.hour}, {17, c.duration}}));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].result, 0);
    EXPECT_EQ(timesOf(calls)[0], c.time) << c.hour << " " << c.duration;
  }
}

// From hour 00, the second slot's time is the code's interval.
TEST(Type1Card, EveryDurationCodeGivesItsInterval) {
  const std::pair<char, std::string_view> intervals[] = {
      {'1', "01"}, {'2', "02"}, {'3', "04"}, {'4', "06"}, {'5', "08"}, {'6', "12"},
      {'B', "03"}, {'W', "08"}, {'X', "24"}, {'Y', "03"}, {'Z', "08"},
  };
  for (const auto& [code, time] : intervals) {
    ConverterHarness harness;
    const auto calls =
        harness.convert(withColumns(type1Card("     0001 "), {{17, {&code, 1}}, {30, "00"}}));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].result, 0) << code;
    EXPECT_EQ(timesOf(calls)[0], time) << code;
  }
}

// Duration code and hour are checked on every call, delete cards included.
TEST(Type1Card, BadDurationCodeOrHourRejectsEveryLine) {
  const std::string duration =
      errorLine(-20301, "DURATION_CODE", "Invalid Legacy Transaction Raw Interval");
  const std::string hour = errorLine(-20309, "COLL_TIME", "Invalid Legacy Transaction Hour");
  struct Case {
    std::string card;
    std::size_t lines;
    std::string error;
  };
  const std::string threeSlots = type1Card("0001      0002 0003 ");
  const Case cases[] = {
      {withColumns(threeSlots, {{17, "b"}}), 3, duration},
      {withColumns(threeSlots, {{17, "0"}}), 3, duration},
      {withColumns(threeSlots, {{17, "7"}}), 3, duration},
      {withColumns(threeSlots, {{17, " "}}), 3, duration},
      {withColumns(threeSlots, {{17, "\xFF"}}), 3, duration},
      {withColumns(threeSlots, {{30, "1A"}}), 3, hour},
      {withColumns(threeSlots, {{30, "  "}}), 3, hour},
      {withColumns(threeSlots, {{30, " 6"}}), 3, hour},
      {withColumns(threeSlots, {{30, "+6"}}), 3, hour},  // a signed hour is no hour
      {withColumns(threeSlots, {{30, "-1"}}), 3, hour},
      {withColumns(threeSlots, {{17, "7"}, {80, "D"}}), 8, duration},
      {withColumns(threeSlots, {{30, "+6"}, {80, "D"}}), 8, hour},
  };
  for (const Case& c : cases) {
    ConverterHarness harness;
    const auto calls = harness.convert(c.card);
    ASSERT_EQ(calls.size(), c.lines) << c.card;
    std::string console;
    for (const CallResult& call : calls) {
      EXPECT_EQ(call.result, -1) << c.card;
      EXPECT_EQ(call.message, c.error) << c.card;
      console += c.error;
    }
    EXPECT_EQ(harness.takeConsole(), console) << c.card;
  }
}

TEST(Type1Card, BadDurationCodeAndHourBothReportedLastOneLogged) {
  ConverterHarness harness;
  const auto calls = harness.convert(withColumns(type1Card("0001 "), {{17, "Q"}, {30, "x1"}}));
  ASSERT_EQ(calls.size(), 1u);
  const std::string hour = errorLine(-20309, "COLL_TIME", "Invalid Legacy Transaction Hour");
  EXPECT_EQ(calls[0].message, hour);
  EXPECT_EQ(harness.takeConsole(),
            errorLine(-20301, "DURATION_CODE", "Invalid Legacy Transaction Raw Interval") + hour);
}

// One reading in slot 0; fields 13 to 17 and the error of its line.
TEST(Type1Card, ValueConversion) {
  struct Case {
    std::string_view dp;
    std::string_view slot;
    std::string_view fields;  // 13 to 17
    std::string error;
  };
  const Case cases[] = {
      {"3", "0123a", "0.123||||A", ""},
      {"0", "0123 ", "0123.||||", ""},
      {"2", "  12 ", "00.12||||", ""},
      {" ", "9950 ", "|XX|||", ""},  // a blank DP indicator means a null code
      {" ", "9950k", "|XX|||K", ""},
      {"2", "99479", "|BN|||", ""},
      {" ", "1234 ", "|1234|||",
       errorLine(-20308, "NULL_DATA_CODE", "Invalid Null Data Code: 1234.")},
      {"7", "0123 ", "0123||||", errorLine(-20303, "Multiple Columns", "Invalid DP Indicator: 7.")},
      {"A", "0123b", "0123||||B",
       errorLine(-20303, "Multiple Columns",
                 "Invalid Legacy Transaction Decimal Position Indicator")},
      {"2", " 1A3 ", "01A3||||",
       errorLine(-20304, "REPORTED_SAMPLE_VALUE", "Invalid Sample Value: 01A3.")},
      {"A", "*12 x", "*12 ||||X", ""},  // marked: no DP indicator test
      // The neighbours of the digits, and blanks up to the last column.
      {"5", "   7 ", ".00007||||", ""},
      {"4", "12:4 ", "12:4||||",
       errorLine(-20304, "REPORTED_SAMPLE_VALUE", "Invalid Sample Value: 12:4.")},
      {"1", "/123z", "/123||||Z",
       errorLine(-20304, "REPORTED_SAMPLE_VALUE", "Invalid Sample Value: /123.")},
  };
  for (const Case& c : cases) {
    ConverterHarness harness;
    const auto calls = harness.convert(withColumns(type1Card(c.slot), {{32, c.dp}}));
    ASSERT_EQ(calls.size(), 1u);
    const char action = c.slot[0] == '*' ? 'D' : 'I';
    EXPECT_EQ(calls[0].line, rdLine(action, "06|" + std::string(c.fields) + "|||||||||||"))
        << c.slot;
    EXPECT_EQ(calls[0].result, c.error.empty() ? 0 : -1) << c.slot;
    EXPECT_EQ(calls[0].message, c.error) << c.slot;
    EXPECT_EQ(harness.takeConsole(), c.error) << c.slot;
  }
}

TEST(Type1Card, LetterDpIndicatorRejectsOnlyUnmarkedReadings) {
  ConverterHarness harness;
  const auto calls = harness.convert(withColumns(type1Card("0001 *002 0003 "), {{32, "A"}}));
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].result, -1);
  EXPECT_EQ(calls[1].result, 0);
  EXPECT_EQ(calls[1].line, rdLine('D', "08|*002|||||||||||||||"));
  EXPECT_EQ(calls[2].result, -1);
}

// Each card starts from its first slot, whatever the card before it did.
TEST(Type1Card, ConsecutiveCardsEachStartAtTheirFirstSlot) {
  const std::string cards[] = {
      type1Card("     0001      0002 "),
      withColumns(type1Card("     0001      0002 "), {{30, "+1"}}),
      withColumns(type1Card("     0001      0002 "), {{32, "A"}}),
      withColumns(type1Card("     0001      0002 "), {{80, "D"}}),
      type1Card(""),
  };
  for (const std::string& first : cards) {
    ConverterHarness harness;
    harness.convert(first);
    const auto calls = harness.convert(type1Card("0007 0008 "));
    EXPECT_EQ(linesOf(calls), (std::vector<std::string>{
                                  rdLine('I', "06|0.007|||||||||||||||"),
                                  rdLine('I', "08|0.008|||||||||||||||"),
                              }))
        << first;
  }
}

TEST(Type1Card, OnlyTheSameCardGoesOnWithWhatWasWorkedOutForIt) {
  ConverterHarness harness;
  const std::string card = type1Card("0007 0008 ");
  const std::vector<std::string> lines{rdLine('I', "06|0.007|||||||||||||||"),
                                       rdLine('I', "08|0.008|||||||||||||||")};
  EXPECT_EQ(linesOf(harness.convert(card)), lines);
  EXPECT_EQ(linesOf(harness.convert(card)), lines);
  // A card loop that stops calling too early leaves the next card at slot 3,
  // but with its own fields.
  harness.convert(type1Card("     0001      0002 "), 1);
  const auto calls = harness.convert(withColumns(type1Card("          0009 0010 "), {{2, "99"}}));
  EXPECT_EQ(calls.at(0).line,
            "RD|I|99|345|6789|12345|1|2|007|008|20140715|12|0.010|||||||||||||||");
}

}  // namespace
}  // namespace cardlift::testing
