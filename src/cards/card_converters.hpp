// The converters, one per card type that becomes a transaction line.
#pragma once

#include <cstdint>

#include "core/card_columns.hpp"
#include "core/conversion_context.hpp"

namespace cardlift {

// Each builds its line from the card's columns in a record of its own
// (OwnLine), which starts with the record type; reports every rejected
// field; and returns false when it rejected any. Their record types and
// failure results are in CardTypeRegistry.

// Interval raw data: one "RD" line per filled reading slot, one per call.
bool convertType1Card(ConversionContext& context, CardColumns& card, std::int32_t& callAgain);
// Single raw value: one "RD" line.
bool convertType2Card(ConversionContext& context, CardColumns& card);
// Composite value: one "RC" line.
bool convertType3Card(ConversionContext& context, CardColumns& card);
// Accuracy audit with two levels: one "RA" line.
bool convertType7Card(ConversionContext& context, CardColumns& card);
// Precision check: one "RP" line per indicated value in use, one per call.
bool convertType8Card(ConversionContext& context, CardColumns& card, std::int32_t& callAgain);
// Accuracy audit with five levels: one "RA" line.
bool convertType9Card(ConversionContext& context, CardColumns& card);

}  // namespace cardlift
