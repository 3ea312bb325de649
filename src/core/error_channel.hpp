// Reporting of rejected fields: one error line per field.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/conversion_context.hpp"

namespace cardlift {

// Error numbers of rejected fields.
inline constexpr std::int32_t kErrorDurationCode = -20301;
inline constexpr std::int32_t kErrorMissingSample = -20302;
inline constexpr std::int32_t kErrorDpIndicator = -20303;
inline constexpr std::int32_t kErrorSampleValue = -20304;
inline constexpr std::int32_t kErrorActualValue = -20305;
inline constexpr std::int32_t kErrorIndicatedValue = -20306;
inline constexpr std::int32_t kErrorZeroSpanValue = -20307;
inline constexpr std::int32_t kErrorNullDataCode = -20308;
inline constexpr std::int32_t kErrorCollectionTime = -20309;
inline constexpr std::int32_t kErrorFieldSeparator = -20310;

// Column name used when no single output column is at fault.
inline constexpr std::string_view kMultipleColumns = "Multiple Columns";

// Formats "ERROR->[code] Column->[column] Msg->[message]" and a line feed
// into the context's errorText and prints it on the console as plain text.
// The message may itself lie in errorText.
void reportFieldError(ConversionContext& context, std::int32_t code, std::string_view column,
                      std::string_view message);

}  // namespace cardlift
