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

// Every kind of rejected field with its exact error line, reported as a
// converter reports a field it kept: the message shows as many characters
// of the field as the kind does.
TEST(ErrorChannelTest, EveryErrorKind) {
  struct KindCase {
    const ErrorKind* kind;
    std::string_view detail;  // the field's characters, more than the kind shows
    std::string_view line;
  };
  const KindCase cases[] = {
      {&kDurationCodeError, "X",
       "ERROR->[-20301] Column->[DURATION_CODE] Msg->[Invalid Legacy Transaction Raw Interval]"},
      {&kMissingSampleError, "",
       "ERROR->[-20302] Column->[Multiple Columns] Msg->[Invalid Legacy Transaction, Missing "
       "Sample Value]"},
      {&kDecimalPositionError, "",
       "ERROR->[-20303] Column->[Multiple Columns] Msg->[Invalid Legacy Transaction Decimal "
       "Position Indicator]"},
      {&kDpIndicatorError, "X12",
       "ERROR->[-20303] Column->[Multiple Columns] Msg->[Invalid DP Indicator: X.]"},
      {&kSampleValueError, "01A3 I",
       "ERROR->[-20304] Column->[REPORTED_SAMPLE_VALUE] Msg->[Invalid Sample Value: 01A3.]"},
      {&kActualDesignatedError, "12A4",
       "ERROR->[-20305] Column->[ACTUAL_VALUE] Msg->[Invalid Actual Designated: 12A4.]"},
      {&kLevelActualValueErrors[0], "1A23",
       "ERROR->[-20305] Column->[LEVEL_ONE_ACTUAL_VALUE] Msg->[Invalid Actual Value: 1A23.]"},
      {&kLevelActualValueErrors[4], "1A23",
       "ERROR->[-20305] Column->[OTHER_LEVEL_ACTUAL_VALUE] Msg->[Invalid Actual Value: 1A23.]"},
      {&kIndicatedValueError, "12A4",
       "ERROR->[-20306] Column->[INDICATED_VALUE] Msg->[Invalid Indicated Value: 12A4.]"},
      {&kLevelIndicatedValueErrors[2], "12A4",
       "ERROR->[-20306] Column->[LEVEL_THREE_INDICATED_VALUE] Msg->[Invalid Indicated Value: "
       "12A4.]"},
      {&kZeroSpanValueError, "1234AB",
       "ERROR->[-20307] Column->[ZERO_SPAN_VALUE] Msg->[Invalid Zero Span Value: 1234A.]"},
      {&kNullDataCodeError, "1234",
       "ERROR->[-20308] Column->[NULL_DATA_CODE] Msg->[Invalid Null Data Code: 1234.]"},
      {&kCollectionTimeError, "",
       "ERROR->[-20309] Column->[COLL_TIME] Msg->[Invalid Legacy Transaction Hour]"},
      {&kFieldSeparatorError, "",
       "ERROR->[-20310] Column->[Multiple Columns] Msg->[Invalid Legacy Transaction, Field "
       "Separator in Card]"},
  };
  for (const KindCase& c : cases) {
    ConverterHarness h;
    h.context.errorText.fill('#');  // earlier, longer text must not survive
    reportFieldError(h.context, FieldError{c.kind, c.detail.data()});
    const std::string expected = std::string(c.line) + "\n";
    EXPECT_EQ(errorTextOf(h.context), expected);
    EXPECT_EQ(h.takeConsole(), expected);
  }
}

TEST(ErrorChannelTest, DetailInErrorTextAndPercentSigns) {
  ConverterHarness h;
  const std::string_view detail = formatMessage(h.context.errorText, "%d%s");
  reportFieldError(h.context, kSampleValueError, detail);
  const std::string expected =
      "ERROR->[-20304] Column->[REPORTED_SAMPLE_VALUE] Msg->[Invalid Sample Value: %d%s.]\n";
  EXPECT_EQ(errorTextOf(h.context), expected);
  EXPECT_EQ(h.takeConsole(), expected);
}

TEST(ErrorChannelTest, EveryLineIsPrintedAndErrorTextKeepsTheLast) {
  ConverterHarness h;
  reportFieldError(h.context, kLevelActualValueErrors[0], "1A23");
  reportFieldError(h.context, kFieldSeparatorError);
  const std::string first =
      errorLine(-20305, "LEVEL_ONE_ACTUAL_VALUE", "Invalid Actual Value: 1A23.");
  const std::string second =
      errorLine(-20310, "Multiple Columns", "Invalid Legacy Transaction, Field Separator in Card");
  EXPECT_EQ(h.takeConsole(), first + second);
  EXPECT_EQ(errorTextOf(h.context), second);
}

}  // namespace
}  // namespace cardlift
