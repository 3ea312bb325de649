// The DP indicator: the card column that gives a card's decimal places.
#include "fields/dp_indicator.hpp"

#include <string_view>

#include "fields/ascii.hpp"
#include "fields/implied_decimal.hpp"

namespace cardlift {

FieldError readDpIndicator(const CardColumns& card, int column, int& decimals) {
  const std::string_view dpIndicator = card.columns({column, 1});
  if (isDigit(dpIndicator[0]) && isDecimalCount(dpIndicator[0] - '0')) {
    decimals = dpIndicator[0] - '0';
    return {};
  }
  return {&kDpIndicatorError, dpIndicator.data()};
}

}  // namespace cardlift
