// Implied-decimal fields: leading blanks, the numeric test and the point.
#include "fields/implied_decimal.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace cardlift {
namespace {

struct DecimalCase {
  std::string_view field;
  int decimals;
  std::string_view text;  // expected decimal text, unused on failure
  std::int32_t result;
  std::string_view rewritten;  // the field afterwards
};

TEST(ImpliedDecimalTest, FormatsFieldsAndRewritesLeadingBlanks) {
  const DecimalCase cases[] = {
      {"1234", 2, "12.34", 0, "1234"},
      {"1234", 0, "1234.", 0, "1234"},
      {"1234", 4, ".1234", 0, "1234"},
      {"1234", 5, ".01234", 0, "1234"},
      {"0012", 5, ".00012", 0, "0012"},
      {"0012", 2, "00.12", 0, "0012"},
      {"  12", 1, "001.2", 0, "0012"},
      {"    ", 2, "00.00", 0, "0000"},
      {"   7", 0, "0007.", 0, "0007"},
      {"-123", 2, "-1.23", 0, "-123"},
      {"-045", 2, "-0.45", 0, "-045"},
      {"+123", 3, "+.123", 0, "+123"},
      {"-123", 0, "-123.", 0, "-123"},
      {"-123", 1, "-12.3", 0, "-123"},
      // Signed fields with as many decimals as characters or more keep the
      // sign in front of the point.
      {"-123", 4, "-.0123", 0, "-123"},
      {"-123", 5, "-.00123", 0, "-123"},
      {"+123", 4, "+.0123", 0, "+123"},
      {"-1234", 5, "-.01234", 0, "-1234"},
      {"-1234", 4, "-.1234", 0, "-1234"},
      {"12345", 5, ".12345", 0, "12345"},
      {"12345", 2, "123.45", 0, "12345"},
      {" 1234", 0, "01234.", 0, "01234"},
      // Not numbers: out stays untouched, leading blanks are still zeros.
      {"12 4", 2, "", kNotANumber, "12 4"},
      {"12  ", 2, "", kNotANumber, "12  "},
      {"12-4", 2, "", kNotANumber, "12-4"},
      {"1A34", 2, "", kNotANumber, "1A34"},
      {" A12", 2, "", kNotANumber, "0A12"},
      {"  1 ", 1, "", kNotANumber, "001 "},
      {"12.4", 2, "", kNotANumber, "12.4"},
      {"+-12", 2, "", kNotANumber, "+-12"},
      {"- 12", 2, "", kNotANumber, "- 12"},
      {"\x80"
       "123",
       2, "", kNotANumber,
       "\x80"
       "123"},
      {"123\xff", 2, "", kNotANumber, "123\xff"},
      {"1234 ", 2, "", kNotANumber, "1234 "},
  };
  for (const DecimalCase& c : cases) {
    std::string field(c.field);
    DecimalText out;
    out.fill('x');
    const std::int32_t result =
        formatImpliedDecimal(field.data(), static_cast<int>(field.size()), c.decimals, out);
    EXPECT_EQ(result, c.result) << '"' << c.field << "\" " << c.decimals;
    EXPECT_EQ(field, c.rewritten) << '"' << c.field << "\" " << c.decimals;
    if (c.result == 0) {
      EXPECT_EQ(textOf(out), c.text) << '"' << c.field << "\" " << c.decimals;
    } else {
      DecimalText untouched;
      untouched.fill('x');
      EXPECT_EQ(out, untouched) << '"' << c.field << "\" " << c.decimals;
    }
  }
}

TEST(ImpliedDecimalTest, LeavesCharactersBeyondTheFieldAlone) {
  std::string card = "  12  ";
  DecimalText out;
  ASSERT_EQ(formatImpliedDecimal(card.data(), 4, 2, out), 0);
  EXPECT_EQ(card, "0012  ");
  EXPECT_EQ(textOf(out), "00.12");
}

TEST(ImpliedDecimalTest, NumericFieldTest) {
  const std::pair<std::string_view, bool> cases[] = {
      {"0123", true},
      {"+123", true},
      {"-123", true},
      {"1+23", false},
      {" 123", false},
      {"12 3", false},
      {"1.23", false},
      {"12a3", false},
      {"\xb0"
       "12",
       false},
  };
  for (const auto& [field, numeric] : cases) EXPECT_EQ(isNumericField(field), numeric) << field;
}

}  // namespace
}  // namespace cardlift
