// Sample values: numbers, legacy null codes and their error lines.
#include "fields/sample_value.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "fields/implied_decimal.hpp"
#include "test_support.hpp"

namespace cardlift {
namespace {

using testing::ConverterHarness;
using testing::errorLine;

struct SampleCase {
  std::string_view value;
  int decimals;
  char flag;
  std::string_view fields;  // REPORTED_SAMPLE_VALUE|NULL_DATA_CODE
  std::string_view error;   // the console, empty when nothing was reported
};

TEST(SampleValueTest, Outcomes) {
  const std::string bad9946 = errorLine(-20308, "NULL_DATA_CODE", "Invalid Null Data Code: 9946.");
  const std::string bad9999 = errorLine(-20308, "NULL_DATA_CODE", "Invalid Null Data Code: 9999.");
  const std::string bad0000 = errorLine(-20308, "NULL_DATA_CODE", "Invalid Null Data Code: 0000.");
  const std::string badBlank = errorLine(-20308, "NULL_DATA_CODE", "Invalid Null Data Code:     .");
  const std::string bad1234 = errorLine(-20308, "NULL_DATA_CODE", "Invalid Null Data Code: 1234.");
  const std::string dp6 = errorLine(-20303, "Multiple Columns", "Invalid DP Indicator: 6.");
  const std::string dp9 = errorLine(-20303, "Multiple Columns", "Invalid DP Indicator: 9.");
  const std::string bad01A3 =
      errorLine(-20304, "REPORTED_SAMPLE_VALUE", "Invalid Sample Value: 01A3.");
  const std::string bad12sp =
      errorLine(-20304, "REPORTED_SAMPLE_VALUE", "Invalid Sample Value: 12  .");
  const std::string badPercent =
      errorLine(-20304, "REPORTED_SAMPLE_VALUE", "Invalid Sample Value: %s%d.");

  const SampleCase cases[] = {
      // Null codes by the value flag.
      {"9947", 2, '9', "|BN", ""},
      {"9950", 2, '9', "|XX", ""},
      {"9998", 2, '9', "|BF", ""},
      {"9946", 2, '9', "|9946", bad9946},
      {"9999", 2, '9', "|9999", bad9999},
      {"0000", 2, '9', "|0000", bad0000},
      {"    ", 2, '9', "|    ", badBlank},
      // Null codes by a negative DP indicator, whatever the flag.
      {"9955", -1, ' ', "|MB", ""},
      {"1234", -1, 'A', "|1234", bad1234},
      // The DP indicator is tested first; the value is left as it stands.
      {"9947", 6, '9', "9947|", dp6},
      {" 1A3", 9, ' ', " 1A3|", dp9},
      // Numbers.
      {"0123", 3, ' ', "0.123|", ""},
      {"0123", 0, ' ', "0123.|", ""},
      {"9950", 0, 'A', "9950.|", ""},
      {"  12", 1, ' ', "001.2|", ""},
      {"-045", 2, ' ', "-0.45|", ""},
      {"1234", 5, ' ', ".01234|", ""},
      {"1234", 1, ' ', "123.4|", ""},
      {"1234", 2, 'a', "12.34|", ""},
      {"1234", 4, ' ', ".1234|", ""},
      {" 123", 5, ' ', ".00123|", ""},
      {" 1A3", 2, ' ', "01A3|", bad01A3},
      {"12  ", 2, ' ', "12  |", bad12sp},
      {"%s%d", 2, ' ', "%s%d|", badPercent},
  };
  for (const SampleCase& c : cases) {
    ConverterHarness h;
    std::array<char, kOutputLineSize> line{};
    h.context.record.begin(line.data());
    h.context.record.appendField("X");
    std::string value(c.value);
    const bool accepted = convertSampleValue(h.context, value.data(), c.decimals, c.flag);
    const std::string label = '"' + std::string(c.value) + "\" " + std::to_string(c.decimals);
    EXPECT_EQ(accepted, c.error.empty()) << label;
    EXPECT_EQ(h.context.record.view(), "X|" + std::string(c.fields)) << label;
    EXPECT_EQ(h.context.record.separatorCount, 2) << label;
    EXPECT_EQ(h.takeConsole(), c.error) << label;
    if (!c.error.empty()) {
      EXPECT_EQ(std::string(h.context.errorText.data()), c.error) << label;
    }
  }
}

TEST(SampleValueTest, NullDataCodeTableInOrder) {
  // 9947 upwards, two letters each.
  constexpr std::string_view kCodes =
      "BNSCDLXXDATCCSSTMBTSSAMCFIBMBLBKBJBIBHBG"
      "AAABACADAEAFAGAHAIAJAKALAMANAOAPAQARASATAUAVAWAXAYAZ"
      "BABBBCBDBEBF";
  ASSERT_EQ(kCodes.size(), 104u);
  for (std::size_t i = 0; i < 52; ++i) {
    const std::string value = std::to_string(9947 + i);
    char code[2] = {'?', '?'};
    ASSERT_TRUE(lookupNullDataCode(value.data(), code)) << value;
    EXPECT_EQ(std::string_view(code, 2), kCodes.substr(2 * i, 2)) << value;
  }
}

TEST(SampleValueTest, LookupOutsideTheTableLeavesTheCodeAlone) {
  const std::string_view values[] = {"9946",
                                     "9999",
                                     "0000",
                                     "    ",
                                     "995 ",
                                     "99A7",
                                     "\xff"
                                     "998",
                                     "99\x80"
                                     "0"};
  for (std::string_view value : values) {
    char code[2] = {'?', '?'};
    EXPECT_FALSE(lookupNullDataCode(value.data(), code)) << value;
    EXPECT_EQ(std::string_view(code, 2), "??") << value;
  }
}

}  // namespace
}  // namespace cardlift
