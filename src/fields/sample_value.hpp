// Raw sample values: implied-decimal numbers or legacy null codes.
#pragma once

#include <array>
#include <string_view>

#include "core/conversion_context.hpp"
#include "core/error_channel.hpp"
#include "core/output_record.hpp"
#include "fields/ascii.hpp"
#include "fields/implied_decimal.hpp"
#include "fields/shared_columns.hpp"

namespace cardlift {

// The digits, for a message that shows one.
inline constexpr std::string_view kDigits = "0123456789";

// One row of the legacy null code table.
struct NullDataCodeRow {
  char legacyCode[5];
  char nullDataCode[3];
};

// The legacy null codes 9947 to 9998 in ascending order, each with the
// two-letter null data code it is carried over as.
inline constexpr std::array<NullDataCodeRow, 52> NullDataCodeTable{{
    {"9947", "BN"}, {"9948", "SC"}, {"9949", "DL"}, {"9950", "XX"}, {"9951", "DA"}, {"9952", "TC"},
    {"9953", "CS"}, {"9954", "ST"}, {"9955", "MB"}, {"9956", "TS"}, {"9957", "SA"}, {"9958", "MC"},
    {"9959", "FI"}, {"9960", "BM"}, {"9961", "BL"}, {"9962", "BK"}, {"9963", "BJ"}, {"9964", "BI"},
    {"9965", "BH"}, {"9966", "BG"}, {"9967", "AA"}, {"9968", "AB"}, {"9969", "AC"}, {"9970", "AD"},
    {"9971", "AE"}, {"9972", "AF"}, {"9973", "AG"}, {"9974", "AH"}, {"9975", "AI"}, {"9976", "AJ"},
    {"9977", "AK"}, {"9978", "AL"}, {"9979", "AM"}, {"9980", "AN"}, {"9981", "AO"}, {"9982", "AP"},
    {"9983", "AQ"}, {"9984", "AR"}, {"9985", "AS"}, {"9986", "AT"}, {"9987", "AU"}, {"9988", "AV"},
    {"9989", "AW"}, {"9990", "AX"}, {"9991", "AY"}, {"9992", "AZ"}, {"9993", "BA"}, {"9994", "BB"},
    {"9995", "BC"}, {"9996", "BD"}, {"9997", "BE"}, {"9998", "BF"},
}};

// Looks the four characters of value up in NullDataCodeTable. On a match
// copies the two letters to code (no terminator) and returns true; else
// returns false and leaves code alone.
bool lookupNullDataCode(const char* value, char* code);

// Decimals that make a value a legacy null code.
inline constexpr int kNullCode = -1;

// The decimals a raw value's DP indicator stands for: a digit gives its
// value (above kMaxDecimals appendSampleValue rejects the value), a blank
// gives kNullCode, which makes every value of the card a legacy null code.
// False for any other character.
constexpr bool sampleDecimals(char dpIndicator, int& decimals) {
  if (isDigit(dpIndicator)) {
    decimals = dpIndicator - '0';
    return true;
  }
  if (dpIndicator != ' ') return false;
  decimals = kNullCode;
  return true;
}

// The field a raw value's flag gives: the flag, already upper-cased, or
// an empty field when it is '9' (the value was a legacy null code) or
// blank. The field is the flag's own character.
inline std::string_view flagField(const char& flag) {
  return flag == '9' || flag == ' ' ? std::string_view() : std::string_view(&flag, 1);
}

// Appends the REPORTED_SAMPLE_VALUE and NULL_DATA_CODE fields for the four
// characters at value (which may be rewritten: leading blanks become '0').
// decimals is what sampleDecimals gives for the card's DP indicator;
// valueFlag is the upper-cased flag after the value ('9': a null code).
// Gives the error found, which the caller reports.
inline FieldError appendSampleValue(OutputRecord& record, char* value, int decimals,
                                    char valueFlag) {
  const std::string_view raw(value, kValueWidth);
  if (decimals > kMaxDecimals) {
    record.appendField(raw);
    record.appendField({});
    // The message shows the DP indicator's digit.
    return {&kDpIndicatorError, kDigits.data() + decimals};
  }
  if (decimals < 0 || valueFlag == '9') {
    record.appendField({});
    char code[2];
    if (lookupNullDataCode(value, code)) {
      record.appendField(std::string_view(code, 2));
      return {};
    }
    record.appendField(raw);
    return {&kNullDataCodeError, value};
  }
  const FieldError error =
      appendDecimalField<kValueWidth>(record, value, decimals, kSampleValueError);
  record.appendField({});
  return error;
}

// appendSampleValue on the context's record, reporting the error at once;
// false when there was one.
bool convertSampleValue(ConversionContext& context, char* value, int decimals, char valueFlag);

}  // namespace cardlift
