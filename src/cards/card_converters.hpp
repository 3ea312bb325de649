// The converters, one per card type that becomes a transaction line.
#pragma once

#include <cstdint>

#include "core/card_columns.hpp"
#include "core/conversion_context.hpp"

namespace cardlift {

// Each builds one transaction line in `line` (kOutputLineSize characters)
// from the card's columns, reports every rejected field as it finds it,
// and returns 0 or its own failure result. Types 1 and 8 give one line per
// call and set *callAgain to 1 while the card has another line to give.

// Interval raw data: one "RD" line per filled reading slot; fails with -1.
std::int32_t convertType1Card(ConversionContext& context, char* line, CardColumns card,
                              std::int32_t* callAgain);
// Single raw value: one "RD" line; fails with -2.
std::int32_t convertType2Card(ConversionContext& context, char* line, CardColumns card,
                              std::int32_t* callAgain);
// Composite value: one "RC" line; fails with -3.
std::int32_t convertType3Card(ConversionContext& context, char* line, CardColumns card,
                              std::int32_t* callAgain);
// Accuracy audit with two levels: one "RA" line; fails with -6.
std::int32_t convertType7Card(ConversionContext& context, char* line, CardColumns card,
                              std::int32_t* callAgain);
// Precision check: one "RP" line per indicated value in use; fails with -4.
std::int32_t convertType8Card(ConversionContext& context, char* line, CardColumns card,
                              std::int32_t* callAgain);
// Accuracy audit with five levels: one "RA" line; fails with -5.
std::int32_t convertType9Card(ConversionContext& context, char* line, CardColumns card,
                              std::int32_t* callAgain);

}  // namespace cardlift
