// Reporting of rejected fields: one error line per field.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/conversion_context.hpp"

namespace cardlift {

// One kind of rejected field: its error number, the output column at fault
// and its message, or the message's lead when a detail follows it: the
// first detailWidth characters of the field at fault, then a full stop.
struct ErrorKind {
  std::int32_t number;
  std::string_view column;
  std::string_view lead;
  std::size_t detailWidth = 0;
};

// Column name used when no single output column is at fault.
inline constexpr std::string_view kMultipleColumns = "Multiple Columns";

// Every kind of rejected field.
inline constexpr ErrorKind kDurationCodeError{-20301, "DURATION_CODE",
                                              "Invalid Legacy Transaction Raw Interval"};
inline constexpr ErrorKind kMissingSampleError{-20302, kMultipleColumns,
                                               "Invalid Legacy Transaction, Missing Sample Value"};
inline constexpr ErrorKind kDecimalPositionError{
    -20303, kMultipleColumns, "Invalid Legacy Transaction Decimal Position Indicator"};
inline constexpr ErrorKind kDpIndicatorError{-20303, kMultipleColumns, "Invalid DP Indicator: ", 1};
inline constexpr ErrorKind kSampleValueError{-20304, "REPORTED_SAMPLE_VALUE",
                                             "Invalid Sample Value: ", 4};
inline constexpr ErrorKind kActualDesignatedError{-20305, "ACTUAL_VALUE",
                                                  "Invalid Actual Designated: ", 4};
inline constexpr ErrorKind kIndicatedValueError{-20306, "INDICATED_VALUE",
                                                "Invalid Indicated Value: ", 4};
// The audit levels' values, by level - 1: one kind per level, each with
// the error number of `kind`, the lead given and its level's column.
constexpr std::array<ErrorKind, 5> levelErrors(const ErrorKind& kind, std::string_view lead,
                                               const std::array<std::string_view, 5>& columns) {
  std::array<ErrorKind, 5> kinds{};
  for (std::size_t level = 0; level < kinds.size(); ++level) {
    kinds[level] = {kind.number, columns[level], lead, kind.detailWidth};
  }
  return kinds;
}
inline constexpr std::array<ErrorKind, 5> kLevelActualValueErrors =
    levelErrors(kActualDesignatedError, "Invalid Actual Value: ",
                {"LEVEL_ONE_ACTUAL_VALUE", "LEVEL_TWO_ACTUAL_VALUE", "LEVEL_THREE_ACTUAL_VALUE",
                 "LEVEL_FOUR_ACTUAL_VALUE", "OTHER_LEVEL_ACTUAL_VALUE"});
inline constexpr std::array<ErrorKind, 5> kLevelIndicatedValueErrors = levelErrors(
    kIndicatedValueError, kIndicatedValueError.lead,
    {"LEVEL_ONE_INDICATED_VALUE", "LEVEL_TWO_INDICATED_VALUE", "LEVEL_THREE_INDICATED_VALUE",
     "LEVEL_FOUR_INDICATED_VALUE", "OTHER_LEVEL_INDICATED_VALUE"});
inline constexpr ErrorKind kZeroSpanValueError{-20307, "ZERO_SPAN_VALUE",
                                               "Invalid Zero Span Value: ", 5};
inline constexpr ErrorKind kNullDataCodeError{-20308, "NULL_DATA_CODE",
                                              "Invalid Null Data Code: ", 4};
inline constexpr ErrorKind kCollectionTimeError{-20309, "COLL_TIME",
                                                "Invalid Legacy Transaction Hour"};
inline constexpr ErrorKind kFieldSeparatorError{
    -20310, kMultipleColumns, "Invalid Legacy Transaction, Field Separator in Card"};

// A rejected field, kept to be reported: its kind, and where the
// characters its message shows begin (the card's, which outlive the
// report).
struct FieldError {
  const ErrorKind* kind = nullptr;
  const char* detail = nullptr;

  constexpr explicit operator bool() const { return kind != nullptr; }
};

// Formats "ERROR->[number] Column->[column] Msg->[message]" and a line feed
// into the context's errorText and prints it on the console as plain text.
// The message is the kind's lead; for a kind that shows a detail, the
// lead, the detail and a full stop ("Invalid DP Indicator: X.").
void reportFieldError(ConversionContext& context, const ErrorKind& kind,
                      std::string_view detail = {});
void reportFieldError(ConversionContext& context, const FieldError& error);

// Reports the error, if there is one; true when there is none.
inline bool passes(ConversionContext& context, const FieldError& error) {
  if (!error) return true;
  reportFieldError(context, error);
  return false;
}

}  // namespace cardlift
