// The error channel: one error line per reported field.
#include "core/error_channel.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "core/message_format.hpp"
#include "test_support.hpp"

namespace cardlift {
namespace {

using testing::ConverterHarness;
using testing::errorLine;

std::string errorTextOf(const ConversionContext& context) {
  return std::string(context.errorText.data());
}

TEST(ErrorChannelTest, MessageFormattedIntoErrorTextItself) {
  ConverterHarness h;
  // Earlier, longer text in errorText must not survive behind the line.
  h.context.errorText.fill('#');
  const std::string_view message =
      formatMessage(h.context.errorText, "Invalid DP Indicator: ", 'X', ".");
  reportFieldError(h.context, kErrorDpIndicator, kMultipleColumns, message);

  const std::string expected =
      "ERROR->[-20303] Column->[Multiple Columns] Msg->[Invalid DP Indicator: X.]\n";
  EXPECT_EQ(errorTextOf(h.context), expected);
  EXPECT_EQ(h.takeConsole(), expected);
}

TEST(ErrorChannelTest, PercentSignsArePrintedAsTheyStand) {
  ConverterHarness h;
  reportFieldError(h.context, kErrorSampleValue, "REPORTED_SAMPLE_VALUE",
                   "Invalid Sample Value: %d%s.");
  const std::string expected =
      "ERROR->[-20304] Column->[REPORTED_SAMPLE_VALUE] Msg->[Invalid Sample Value: %d%s.]\n";
  EXPECT_EQ(errorTextOf(h.context), expected);
  EXPECT_EQ(h.takeConsole(), expected);
}

TEST(ErrorChannelTest, EveryLineIsPrintedAndErrorTextKeepsTheLast) {
  ConverterHarness h;
  reportFieldError(h.context, kErrorActualValue, "LEVEL_ONE_ACTUAL_VALUE",
                   "Invalid Actual Value: 1A23.");
  reportFieldError(h.context, kErrorFieldSeparator, kMultipleColumns, "x");
  const std::string first =
      errorLine(-20305, "LEVEL_ONE_ACTUAL_VALUE", "Invalid Actual Value: 1A23.");
  const std::string second = errorLine(-20310, "Multiple Columns", "x");
  EXPECT_EQ(h.takeConsole(), first + second);
  EXPECT_EQ(errorTextOf(h.context), second);
}

}  // namespace
}  // namespace cardlift
