// Card type 7 converter tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "test_support.hpp"

namespace cardlift::testing {
namespace {

// Year 05, period 2, date 050412, DP indicator 3, both levels filled.
const std::string kAudit =
    "706037110381102111234560520504122MF31130112814751470                           I";
const std::string kAuditLine =
    "RA|I|06|037|1103|81102|1|1|1|123|456|2005|Q2|20050412|AUDIT ONLY BY RO|"
    "ROOTSMETER (CERTIFIED)|FLOW|PE||||1.130|1.128|1.475|1.470|||||||";
const std::string kDeleteLine =
    "RA|D|06|037|1103|81102|1|1|1|123|456|2005|Q2|20050412|AUDIT ONLY BY RO|"
    "ROOTSMETER (CERTIFIED)|FLOW|PE||||1130|1128|1475|1470|||||||";

using Converted = SingleConversion;

// Converts a card; every "RA" line holds 32 fields, whichever path it took.
Converted convert(const std::string& card) {
  const Converted converted = convertSingle(card);
  EXPECT_EQ(std::count(converted.line.begin(), converted.line.end(), '|'), 31) << converted.line;
  return converted;
}

TEST(Type7CardTest, ConvertsTheAuditAndItsDelete) {
  const Converted normal = convert(kAudit);
  EXPECT_EQ(normal.result, 0);
  EXPECT_EQ(normal.line, kAuditLine);
  EXPECT_EQ(normal.console, "");

  const Converted deleted = convert(withColumns(kAudit, {{80, "D"}}));
  EXPECT_EQ(deleted.result, 0);
  EXPECT_EQ(deleted.line, kDeleteLine);
  EXPECT_EQ(deleted.console, "");
}

TEST(Type7CardTest, NeverReadsColumns53To78) {
  EXPECT_EQ(convert(withColumns(kAudit, {{53, "12345678*12345678*ABCDEFG*"}})).line, kAuditLine);
  EXPECT_EQ(convert(withColumns(kAudit, {{53, "**************************"}, {80, "D"}})).line,
            kDeleteLine);
}

struct FieldCase {
  const char* name;
  std::string card;
  std::vector<std::pair<int, std::string>> fields;  // field number, text
};

TEST(Type7CardTest, WritesEachFieldFromItsColumns) {
  const std::vector<FieldCase> cases = {
      {"column 79 digit", withColumns(kAudit, {{79, "3"}}), {{8, "3"}}},
      {"action M", withColumns(kAudit, {{80, "M"}}), {{2, "U"}}},
      {"year and date take their centuries apart",
       withColumns(kAudit, {{24, "95"}, {27, "050412"}}),
       {{12, "1995"}, {14, "20050412"}}},
      {"date century from column 27 alone",
       withColumns(kAudit, {{24, "05"}, {27, "951231"}}),
       {{12, "2005"}, {14, "19951231"}}},
      {"blank year and period",
       withColumns(kAudit, {{24, "   "}}),
       {{12, "20  "}, {13, "Q "}, {14, "20050412"}}},
      {"codes out of their tables",
       withColumns(kAudit, {{33, "0Vf"}}),
       {{15, ""}, {16, ""}, {17, ""}, {18, "PE"}}},
      {"blank levels", withColumns(kAudit, {{45, "        "}}), {{24, ""}, {25, ""}}},
      {"marked values stay raw and keep the action code",
       withColumns(kAudit, {{37, "*   "}, {49, "*1X "}, {80, "M"}}),
       {{2, "U"}, {22, "*   "}, {23, "1.128"}, {25, "*1X "}}},
      {"delete keeps blank levels as blanks",
       withColumns(kAudit, {{45, "        "}, {80, "D"}}),
       {{24, "    "}, {25, "    "}, {26, ""}}},
      {"delete reads no indicator and converts nothing",
       withColumns(kAudit, {{36, " "}, {37, " 1A "}, {80, "D"}}),
       {{22, " 1A "}, {23, "1128"}}},
  };
  for (const FieldCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Converted converted = convert(c.card);
    EXPECT_EQ(converted.result, 0);
    EXPECT_EQ(converted.console, "");
    for (const auto& [n, text] : c.fields)
      EXPECT_EQ(field(converted.line, n), text) << "field " << n;
  }
}

struct ErrorCase {
  const char* name;
  std::string card;
  std::vector<std::string> errors;  // every error line, in the order printed
  std::string values;               // fields 22 to 32 of the line
};

TEST(Type7CardTest, ReportsEveryRejectedFieldAndKeepsTheLast) {
  const std::vector<ErrorCase> cases = {
      {"letter as DP indicator",
       withColumns(kAudit, {{36, "A"}, {45, "    "}}),
       {errorLine(-20303, "Multiple Columns", "Invalid DP Indicator: A.")},
       "1130|1128|    |1470|||||||"},
      {"DP indicator 6 hides bad values",
       withColumns(kAudit, {{36, "6"}, {37, "12AB"}}),
       {errorLine(-20303, "Multiple Columns", "Invalid DP Indicator: 6.")},
       "12AB|1128|1475|1470|||||||"},
      {"every bad value",
       withColumns(kAudit, {{37, " 1A2"}, {41, "1 28"}, {45, "14-5"}, {49, "  7."}}),
       {errorLine(-20305, "LEVEL_ONE_ACTUAL_VALUE", "Invalid Actual Value: 01A2."),
        errorLine(-20306, "LEVEL_ONE_INDICATED_VALUE", "Invalid Indicated Value: 1 28."),
        errorLine(-20305, "LEVEL_TWO_ACTUAL_VALUE", "Invalid Actual Value: 14-5."),
        errorLine(-20306, "LEVEL_TWO_INDICATED_VALUE", "Invalid Indicated Value: 007..")},
       "01A2|1 28|14-5|007.|||||||"},
      {"values after a bad one are converted",
       withColumns(kAudit, {{41, "X128"}}),
       {errorLine(-20306, "LEVEL_ONE_INDICATED_VALUE", "Invalid Indicated Value: X128.")},
       "1.130|X128|1.475|1.470|||||||"},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Converted converted = convert(c.card);
    EXPECT_EQ(converted.result, -6);
    std::string console;
    for (const std::string& error : c.errors) console += error;
    EXPECT_EQ(converted.console, console);
    EXPECT_EQ(converted.message, c.errors.back());
    EXPECT_EQ(converted.line.substr(converted.line.find("|PE||||") + 7), c.values);
  }
}

}  // namespace
}  // namespace cardlift::testing
