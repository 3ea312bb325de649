// Card type 9 converter tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "test_support.hpp"

namespace cardlift::testing {
namespace {

// DP indicator 2, levels 1 and 2 filled, zero span 00012, column 79 blank.
const std::string kAudit =
    "906037110342101111234569703151AS20045004701500148                        00012 I";
const std::string kAuditLine =
    "RA|I|06|037|1103|42101|1|1|1|123|456|||19970315|AUDIT AND CERT BY RO|NBS SRM|SPAN|PE||||"
    "00.45|00.47|01.50|01.48|||||||000.12";
const std::string kDeleteLine =
    "RA|D|06|037|1103|42101|1|1|1|123|456|||19970315|AUDIT AND CERT BY RO|NBS SRM|SPAN|PE||||"
    "0045|0047|0150|0148|||||||00012";

using Converted = SingleConversion;

// Converts a card; every "RA" line holds 32 fields, whichever path it took.
Converted convert(const std::string& card) {
  const Converted converted = convertSingle(card);
  EXPECT_EQ(std::count(converted.line.begin(), converted.line.end(), '|'), 31) << converted.line;
  return converted;
}

TEST(Type9CardTest, ConvertsTheAuditAndItsDelete) {
  const Converted normal = convert(kAudit);
  EXPECT_EQ(normal.result, 0);
  EXPECT_EQ(normal.line, kAuditLine);
  EXPECT_EQ(normal.console, "");

  const Converted deleted = convert(withColumns(kAudit, {{80, "D"}}));
  EXPECT_EQ(deleted.result, 0);
  EXPECT_EQ(deleted.line, kDeleteLine);
  EXPECT_EQ(deleted.console, "");
}

struct FieldCase {
  const char* name;
  std::string card;
  std::vector<std::pair<int, std::string>> fields;  // field number, text
};

TEST(Type9CardTest, WritesEachFieldFromItsColumns) {
  const std::vector<FieldCase> cases = {
      {"column 79 digit", withColumns(kAudit, {{79, "2"}}), {{8, "2"}}},
      {"action M", withColumns(kAudit, {{80, "M"}}), {{2, "U"}, {22, "00.45"}}},
      {"lower-case d takes the normal path",
       withColumns(kAudit, {{80, "d"}}),
       {{2, "d"}, {22, "00.45"}, {32, "000.12"}}},
      {"year 49", withColumns(kAudit, {{24, "49"}}), {{14, "20490315"}}},
      {"year 50", withColumns(kAudit, {{24, "50"}}), {{14, "19500315"}}},
      {"codes in their tables",
       withColumns(kAudit, {{30, "2XF"}}),
       {{15, "AUDIT ONLY BY RO"}, {16, "OTHER CHEMICAL STANDARDS"}, {17, "FLOW"}}},
      {"codes out of their tables",
       withColumns(kAudit, {{30, "4Ga"}}),
       {{15, ""}, {16, ""}, {17, ""}, {18, "PE"}}},
      {"no decimals",
       withColumns(kAudit, {{33, "0"}, {34, "1234"}}),
       {{22, "1234."}, {32, "00012."}}},
      {"five decimals",
       withColumns(kAudit, {{33, "5"}, {34, "1234"}}),
       {{22, ".01234"}, {32, ".00012"}}},
      {"blank zero span", withColumns(kAudit, {{74, "     "}}), {{32, ""}}},
      {"marked level values stay raw and keep the action code",
       withColumns(kAudit, {{34, "*   "}, {38, "*12X"}}),
       {{2, "I"}, {22, "*   "}, {23, "*12X"}, {24, "01.50"}}},
      {"marked zero span deletes the audit",
       withColumns(kAudit, {{74, "*1 2X"}, {80, "M"}}),
       {{2, "D"}, {22, "00.45"}, {32, "*1 2X"}}},
      {"delete leaves blank levels empty and the zero span raw",
       withColumns(kAudit, {{34, "  12"}, {74, "     "}, {80, "D"}}),
       {{22, "  12"}, {26, ""}, {32, "     "}}},
      {"delete reads no indicator and converts nothing",
       withColumns(kAudit, {{33, "X"}, {34, "*1AB"}, {74, "*ZZZZ"}, {80, "D"}}),
       {{2, "D"}, {22, "*1AB"}, {23, "0047"}, {32, "*ZZZZ"}}},
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
};

TEST(Type9CardTest, ReportsEveryRejectedFieldAndKeepsTheLast) {
  const std::vector<ErrorCase> cases = {
      {"letter as DP indicator",
       withColumns(kAudit, {{33, "X"}}),
       {errorLine(-20303, "Multiple Columns", "Invalid DP Indicator: X.")}},
      {"DP indicator 6",
       withColumns(kAudit, {{33, "6"}}),
       {errorLine(-20303, "Multiple Columns", "Invalid DP Indicator: 6.")}},
      {"blank DP indicator on a card without values",
       cardWith({{1, "9"}, {80, "I"}}),
       {errorLine(-20303, "Multiple Columns", "Invalid DP Indicator:  .")}},
      {"bad DP indicator hides bad values",
       withColumns(kAudit, {{33, "9"}, {34, "1A34"}, {74, "ZZZZZ"}}),
       {errorLine(-20303, "Multiple Columns", "Invalid DP Indicator: 9.")}},
      {"several bad values",
       withColumns(kAudit, {{34, " 12A"}, {46, "01 8"}, {70, "12X4"}, {74, " 1-23"}}),
       {errorLine(-20305, "LEVEL_ONE_ACTUAL_VALUE", "Invalid Actual Value: 012A."),
        errorLine(-20306, "LEVEL_TWO_INDICATED_VALUE", "Invalid Indicated Value: 01 8."),
        errorLine(-20306, "OTHER_LEVEL_INDICATED_VALUE", "Invalid Indicated Value: 12X4."),
        errorLine(-20307, "ZERO_SPAN_VALUE", "Invalid Zero Span Value: 01-23.")}},
      {"levels three to five",
       withColumns(kAudit, {{50, "1.23"}, {58, "12  "}, {66, "+-12"}}),
       {errorLine(-20305, "LEVEL_THREE_ACTUAL_VALUE", "Invalid Actual Value: 1.23."),
        errorLine(-20305, "LEVEL_FOUR_ACTUAL_VALUE", "Invalid Actual Value: 12  ."),
        errorLine(-20305, "OTHER_LEVEL_ACTUAL_VALUE", "Invalid Actual Value: +-12.")}},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Converted converted = convert(c.card);
    EXPECT_EQ(converted.result, -5);
    std::string console;
    for (const std::string& error : c.errors) console += error;
    EXPECT_EQ(converted.console, console);
    EXPECT_EQ(converted.message, c.errors.back());
  }
}

TEST(Type9CardTest, RejectedFieldsStandRawInTheLine) {
  // A bad DP indicator leaves every level and the zero span as it stands.
  EXPECT_EQ(convert(withColumns(kAudit, {{33, "X"}})).line,
            "RA|I|06|037|1103|42101|1|1|1|123|456|||19970315|AUDIT AND CERT BY RO|NBS SRM|SPAN|PE|"
            "|||0045|0047|0150|0148|    |    |    |    |    |    |00012");
  // A bad value shows its leading zeros; the values after it are converted.
  const Converted converted = convert(withColumns(kAudit, {{34, " 12A"}, {74, "*    "}}));
  EXPECT_EQ(converted.result, -5);
  EXPECT_EQ(converted.line,
            "RA|D|06|037|1103|42101|1|1|1|123|456|||19970315|AUDIT AND CERT BY RO|NBS SRM|SPAN|PE|"
            "|||012A|00.47|01.50|01.48|||||||*    ");
}

}  // namespace
}  // namespace cardlift::testing
