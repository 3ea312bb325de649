// Raw sample values: implied-decimal numbers or legacy null codes.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/conversion_context.hpp"
#include "fields/ascii.hpp"
#include "fields/dp_indicator.hpp"
#include "fields/implied_decimal.hpp"

namespace cardlift {

// Results of convertSampleValue besides 0.
inline constexpr std::int32_t kDpIndicatorTooLarge = -11;
inline constexpr std::int32_t kUnknownNullCode = -12;

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

// Appends the REPORTED_SAMPLE_VALUE and NULL_DATA_CODE fields for the four
// characters at value (which may be rewritten: leading blanks become '0').
// decimals is the card's DP indicator (negative: the value is a legacy null
// code); valueFlag is the upper-cased flag after the value ('9': a null
// code). Returns 0, kDpIndicatorTooLarge, kUnknownNullCode or kNotANumber,
// having reported the error.
std::int32_t convertSampleValue(ConversionContext& context, char* value, int decimals,
                                char valueFlag);

// Copies a value of four characters to `digits` with its leading blanks
// taken as zeros; true when that gives four digits. The four are tested at
// once: a byte from '0' to '9' is the only one that neither drops below 0
// when '0' is taken off nor reaches 0x80 when 0x46 ('9' to 0x7F) is added.
constexpr bool fourDigits(std::string_view value, std::array<char, 4>& digits) {
  digits = {value[0], value[1], value[2], value[3]};
  for (char& c : digits) {
    if (c != ' ') break;
    c = '0';
  }
  std::uint32_t word = 0;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    word |= std::uint32_t{static_cast<unsigned char>(digits[i])} << (8 * i);
  }
  // The lowest byte that is no digit shows, whatever a borrow or carry
  // from it does to those above.
  return (((word - 0x30303030U) | (word + 0x46464646U)) & 0x80808080U) == 0;
}

constexpr bool isFourDigits(std::string_view value) {
  std::array<char, 4> digits{};
  return fourDigits(value, digits);
}

static_assert(isFourDigits("0123") && isFourDigits("  09") && isFourDigits("9999"));
static_assert(!isFourDigits(" 1 2") && !isFourDigits("12/4") && !isFourDigits("12:4") &&
              !isFourDigits("-123") && !isFourDigits("123\271") && !isFourDigits("\377999") &&
              !isFourDigits("9\17799") && !isFourDigits("99\311 "));

// Appends a value of four characters with 0 to 5 implied decimals as one
// field, as formatImpliedDecimal writes it, when they are four digits
// (leading blanks taken as zeros and so rewritten in place). False, with
// nothing appended or rewritten, for any other value or decimals, and on a
// line too near the end of its buffer: the caller then takes its general
// way. Inline: most values of most cards take this way.
inline bool appendFourDigitValue(OutputRecord& record, char* value, int decimals) {
  std::array<char, 4> digits{};
  if (decimals < 0 || decimals > kMaxDecimals || !fourDigits(std::string_view(value, 4), digits)) {
    return false;
  }
  char* out = record.openField(kFourDigitDecimalLength);
  if (out == nullptr) return false;
  std::memcpy(value, digits.data(), digits.size());
  record.closeFields(out + writeFourDigitDecimal(value, decimals, out), 1);
  return true;
}

// convertSampleValue, with its most common case inline: a number that
// appendFourDigitValue writes, and an empty NULL_DATA_CODE.
inline std::int32_t appendSampleValue(ConversionContext& context, char* value, int decimals,
                                      char valueFlag) {
  if (valueFlag != '9' && appendFourDigitValue(context.record, value, decimals)) {
    context.record.appendField({});
    return 0;
  }
  return convertSampleValue(context, value, decimals, valueFlag);
}

}  // namespace cardlift
