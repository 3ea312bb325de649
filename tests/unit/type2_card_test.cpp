// Card type 2: one raw sample value as one "RD" line.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "test_support.hpp"

namespace cardlift {
namespace {

using testing::ConverterHarness;
using testing::errorLine;
using testing::withColumns;

const std::string kCard =
    "2271050042532101100708797031513 30045                                          I";
const std::string kNullCodeCard =
    "2271050042532101100708797031513  9957                                          I";
// Fields 1 to 12 of both cards.
const std::string kHead = "RD|I|27|105|0042|53210|1|1|007|087|19970315|13|";
const std::string kHeadDelete = "RD|D|27|105|0042|53210|1|1|007|087|19970315|13|";

using Type2Case = testing::SingleCardCase;
using testing::expectConverts;

TEST(Type2CardTest, WorkedExample) {
  const Type2Case cases[] = {
      {kCard, kHead + "0.045|||||||||||||||", 0, ""},
      {withColumns(kCard, {{80, "D"}}), kHeadDelete + "0045|||||||||||||||", 0, ""},
      {kNullCodeCard, kHead + "|SA||||||||||||||", 0, ""},
  };
  for (const Type2Case& c : cases) expectConverts(c);
}

TEST(Type2CardTest, Fields) {
  const std::string tail = "||||||||||||||";  // fields 15 to 28 empty
  const Type2Case cases[] = {
      // Action code 'M' is written as 'U'; 'm' and a blank stay.
      {withColumns(kCard, {{80, "M"}}), "RD|U" + kHead.substr(4) + "0.045|" + tail, 0, ""},
      {withColumns(kCard, {{80, "m"}}), "RD|m" + kHead.substr(4) + "0.045|" + tail, 0, ""},
      {withColumns(kCard, {{80, " "}}), "RD| " + kHead.substr(4) + "0.045|" + tail, 0, ""},
      // A blank tens digit of the hour means "00"; nothing else is checked.
      {withColumns(kCard, {{30, " 5"}}),
       "RD|I|27|105|0042|53210|1|1|007|087|19970315|00|0.045|" + tail, 0, ""},
      {withColumns(kCard, {{30, "1 "}}),
       "RD|I|27|105|0042|53210|1|1|007|087|19970315|1 |0.045|" + tail, 0, ""},
      {withColumns(kCard, {{30, "XY"}}),
       "RD|I|27|105|0042|53210|1|1|007|087|19970315|XY|0.045|" + tail, 0, ""},
      // Year 49 is in the 2000s, a blank year gives "20" and two blanks.
      {withColumns(kCard, {{24, "49"}}),
       "RD|I|27|105|0042|53210|1|1|007|087|20490315|13|0.045|" + tail, 0, ""},
      {withColumns(kCard, {{24, "  "}}),
       "RD|I|27|105|0042|53210|1|1|007|087|20  0315|13|0.045|" + tail, 0, ""},
      // Column 32 goes to field 15; the value flag, upper-cased, to field 17.
      {withColumns(kCard, {{32, "x"}}), kHead + "0.045||x|||||||||||||", 0, ""},
      {withColumns(kCard, {{38, "q"}}), kHead + "0.045||||Q|||||||||||", 0, ""},
      {withColumns(kCard, {{38, "9"}, {34, "9947"}}), kHead + "|BN" + tail, 0, ""},
      {withColumns(kCard, {{38, "9"}, {32, "z"}, {80, "D"}}), kHeadDelete + "0045||z|||||||||||||",
       0, ""},
      // Columns 39 to 79 are never read.
      {withColumns(kCard, {{39, std::string(41, '*')}}), kHead + "0.045|" + tail, 0, ""},
      // Decimal positions.
      {withColumns(kCard, {{33, "0"}}), kHead + "0045.|" + tail, 0, ""},
      {withColumns(kCard, {{33, "5"}}), kHead + ".00045|" + tail, 0, ""},
      {withColumns(kCard, {{33, "2"}, {34, "-045"}}), kHead + "-0.45|" + tail, 0, ""},
      {withColumns(kCard, {{33, "4"}, {34, "-123"}}), kHead + "-.0123|" + tail, 0, ""},
      {withColumns(kCard, {{33, "1"}, {34, "  12"}}), kHead + "001.2|" + tail, 0, ""},
      {withColumns(kCard, {{33, "1"}, {34, "    "}}), kHead + "000.0|" + tail, 0, ""},
  };
  for (const Type2Case& c : cases) expectConverts(c);
}

TEST(Type2CardTest, DeleteConventions) {
  const std::string tail = "||||||||||||||";
  const Type2Case cases[] = {
      // A delete card carries the value unchecked, whatever the DP indicator.
      {withColumns(kCard, {{33, "XAB C"}, {80, "D"}}), kHeadDelete + "AB C|" + tail, 0, ""},
      {withColumns(kCard, {{33, "     "}, {80, "D"}}), kHeadDelete + "    |" + tail, 0, ""},
      {withColumns(kCard, {{33, "9"}, {80, "D"}}), kHeadDelete + "0045|" + tail, 0, ""},
      // The delete marker turns field 2 into 'D', even from 'M'.
      {withColumns(kCard, {{34, "*1 X"}, {80, " "}}), kHeadDelete + "*1 X|" + tail, 0, ""},
      {withColumns(kCard, {{33, "X"}, {34, "*   "}, {80, "M"}}), kHeadDelete + "*   |" + tail, 0,
       ""},
      {withColumns(kCard, {{34, "*995"}, {38, "9"}}), kHeadDelete + "*995|" + tail, 0, ""},
      // A lower-case 'd' is no delete.
      {withColumns(kCard, {{80, "d"}}), "RD|d" + kHead.substr(4) + "0.045|" + tail, 0, ""},
  };
  for (const Type2Case& c : cases) expectConverts(c);
}

TEST(Type2CardTest, RejectedFields) {
  const std::string tail = "||||||||||||||";
  const Type2Case cases[] = {
      // A DP indicator that is neither a digit nor blank: no value fields.
      {withColumns(kCard, {{33, "X"}}), kHead + "|" + tail, -2,
       errorLine(-20303, "Multiple Columns", "Invalid DP Indicator: X.")},
      {withColumns(kCard, {{33, "%"}}), kHead + "|" + tail, -2,
       errorLine(-20303, "Multiple Columns", "Invalid DP Indicator: %.")},
      // Digits above 5 are rejected by number.
      {withColumns(kCard, {{33, "7"}}), kHead + "0045|" + tail, -2,
       errorLine(-20303, "Multiple Columns", "Invalid DP Indicator: 7.")},
      // A blank DP indicator reads the value as a legacy null code.
      {withColumns(kCard, {{33, " "}, {34, "9946"}}), kHead + "|9946" + tail, -2,
       errorLine(-20308, "NULL_DATA_CODE", "Invalid Null Data Code: 9946.")},
      {withColumns(kCard, {{38, "9"}, {34, "0045"}}), kHead + "|0045" + tail, -2,
       errorLine(-20308, "NULL_DATA_CODE", "Invalid Null Data Code: 0045.")},
      // Leading blanks show as zeros in the message.
      {withColumns(kCard, {{34, " 1A3"}}), kHead + "01A3|" + tail, -2,
       errorLine(-20304, "REPORTED_SAMPLE_VALUE", "Invalid Sample Value: 01A3.")},
      {withColumns(kCard, {{34, "12 4"}}), kHead + "12 4|" + tail, -2,
       errorLine(-20304, "REPORTED_SAMPLE_VALUE", "Invalid Sample Value: 12 4.")},
  };
  for (const Type2Case& c : cases) expectConverts(c);
}

}  // namespace
}  // namespace cardlift
