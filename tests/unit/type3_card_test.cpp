// Card type 3: one composite value as one "RC" line.
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
    "32710500425321011007087970331121234                                            I";
// Fields 1 to 13, and fields 15 to 27 when the value flag is blank.
const std::string kHead = "RC|I|27|105|0042|53210|1|007|087|1997|03|31|QUARTERLY|";
const std::string kHeadDelete = "RC|D|27|105|0042|53210|1|007|087|1997|03|31|QUARTERLY|";
const std::string kTail = "|||||||||||||";

using Type3Case = testing::SingleCardCase;
using testing::expectConverts;

TEST(Type3CardTest, WorkedExample) {
  const Type3Case cases[] = {
      {kCard, "RC|I|27|105|0042|53210|1|007|087|1997|03|31|QUARTERLY|12.34|||||||||||||", 0, ""},
      {withColumns(kCard, {{80, "D"}}),
       "RC|D|27|105|0042|53210|1|007|087|1997|03|31|QUARTERLY|1234|||||||||||||", 0, ""},
  };
  for (const Type3Case& c : cases) expectConverts(c);
}

TEST(Type3CardTest, Fields) {
  const std::string mid = "RC|I|27|105|0042|53210|1|007|087|";
  const Type3Case cases[] = {
      // Composite type texts; codes outside the table give an empty field.
      {withColumns(kCard, {{30, "5"}}), mid + "1997|03|31|ANNUAL|12.34" + kTail, 0, ""},
      {withColumns(kCard, {{30, "6"}}), mid + "1997|03|31||12.34" + kTail, 0, ""},
      {withColumns(kCard, {{30, " "}}), mid + "1997|03|31||12.34" + kTail, 0, ""},
      // Century rule on column 24 only; columns 26-29 as they stand.
      {withColumns(kCard, {{24, "49"}}), mid + "2049|03|31|QUARTERLY|12.34" + kTail, 0, ""},
      {withColumns(kCard, {{24, "  Q4 x"}}), mid + "20  |Q4| x|QUARTERLY|12.34" + kTail, 0, ""},
      // Action code 'M' is written as 'U'.
      {withColumns(kCard, {{80, "M"}}), "RC|U" + kHead.substr(4) + "12.34" + kTail, 0, ""},
      // The value flag, upper-cased, goes to field 16; '9' is no null code.
      {withColumns(kCard, {{36, "9"}}), kHead + "12.34||9|||||||||||", 0, ""},
      {withColumns(kCard, {{36, "e"}}), kHead + "12.34||E|||||||||||", 0, ""},
      // Column 17 and columns 37 to 79 are never read.
      {withColumns(kCard, {{17, "X"}, {37, std::string(43, '*')}}), kHead + "12.34" + kTail, 0, ""},
      // Decimal positions.
      {withColumns(kCard, {{31, "0"}}), kHead + "1234." + kTail, 0, ""},
      {withColumns(kCard, {{31, "4"}}), kHead + ".1234" + kTail, 0, ""},
      {withColumns(kCard, {{31, "5"}}), kHead + ".01234" + kTail, 0, ""},
      {withColumns(kCard, {{32, "  12"}}), kHead + "00.12" + kTail, 0, ""},
      {withColumns(kCard, {{32, "    "}}), kHead + "00.00" + kTail, 0, ""},
      {withColumns(kCard, {{32, "-045"}}), kHead + "-0.45" + kTail, 0, ""},
      {withColumns(kCard, {{31, "5-123"}}), kHead + "-.00123" + kTail, 0, ""},
  };
  for (const Type3Case& c : cases) expectConverts(c);
}

TEST(Type3CardTest, DeleteConventions) {
  const Type3Case cases[] = {
      // A delete card carries the value unchecked, DP indicator blank or not.
      {withColumns(kCard, {{31, " "}, {80, "D"}}), kHeadDelete + "1234" + kTail, 0, ""},
      {withColumns(kCard, {{31, "X 1A "}, {80, "D"}}), kHeadDelete + " 1A " + kTail, 0, ""},
      // The delete marker turns field 2 into 'D' with any DP indicator.
      {withColumns(kCard, {{31, "9*12X"}}), kHeadDelete + "*12X" + kTail, 0, ""},
      {withColumns(kCard, {{31, " *   "}, {80, "M"}}), kHeadDelete + "*   " + kTail, 0, ""},
      // A lower-case 'd' is no delete.
      {withColumns(kCard, {{80, "d"}}), "RC|d" + kHead.substr(4) + "12.34" + kTail, 0, ""},
  };
  for (const Type3Case& c : cases) expectConverts(c);
}

TEST(Type3CardTest, RejectedFields) {
  const Type3Case cases[] = {
      // Unlike card type 2, a blank DP indicator is rejected.
      {withColumns(kCard, {{31, " "}}), kHead + "1234" + kTail, -3,
       errorLine(-20303, "Multiple Columns", "Invalid DP Indicator:  .")},
      {withColumns(kCard, {{31, "6"}}), kHead + "1234" + kTail, -3,
       errorLine(-20303, "Multiple Columns", "Invalid DP Indicator: 6.")},
      {withColumns(kCard, {{31, "A"}}), kHead + "1234" + kTail, -3,
       errorLine(-20303, "Multiple Columns", "Invalid DP Indicator: A.")},
      // The DP indicator is tested first: one error only.
      {withColumns(kCard, {{31, "X1A23"}}), kHead + "1A23" + kTail, -3,
       errorLine(-20303, "Multiple Columns", "Invalid DP Indicator: X.")},
      {withColumns(kCard, {{32, "1A23"}}), kHead + "1A23" + kTail, -3,
       errorLine(-20304, "REPORTED_SAMPLE_VALUE", "Invalid Sample Value: 1A23.")},
      // Leading blanks show as zeros.
      {withColumns(kCard, {{32, "  1 "}}), kHead + "001 " + kTail, -3,
       errorLine(-20304, "REPORTED_SAMPLE_VALUE", "Invalid Sample Value: 001 .")},
  };
  for (const Type3Case& c : cases) expectConverts(c);
}

}  // namespace
}  // namespace cardlift
