// The DP indicator: the card column that gives a card's decimal places.
#include "fields/dp_indicator.hpp"

#include "core/error_channel.hpp"

namespace cardlift {

int readDpIndicator(ConversionContext& context, char dpIndicator) {
  if (dpIndicator >= '0' && dpIndicator <= '0' + kMaxDecimals) return dpIndicator - '0';
  reportFieldError(context, kDpIndicatorError, dpIndicator);
  return kBadDpIndicator;
}

}  // namespace cardlift
