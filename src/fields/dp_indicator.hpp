// The DP indicator: the card column that gives a card's decimal places.
#pragma once

#include "core/card_columns.hpp"
#include "core/error_channel.hpp"

namespace cardlift {

// The decimal places of the DP indicator in `column`, '0' to '5', put in
// `decimals`. Any other character gives the error "Invalid DP Indicator:
// c." (-20303) and leaves `decimals` alone.
FieldError readDpIndicator(const CardColumns& card, int column, int& decimals);

}  // namespace cardlift
