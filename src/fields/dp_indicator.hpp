// The DP indicator: the card column that gives a card's decimal places.
#pragma once

#include "core/conversion_context.hpp"

namespace cardlift {

// The most decimal places a value may have.
inline constexpr int kMaxDecimals = 5;

// Given by readDpIndicator for a character that is no DP indicator.
inline constexpr int kBadDpIndicator = -1;

// The decimal places given by a DP indicator '0' to '5'. Any other
// character is reported (-20303, "Invalid DP Indicator: c.") and gives
// kBadDpIndicator.
int readDpIndicator(ConversionContext& context, char dpIndicator);

}  // namespace cardlift
