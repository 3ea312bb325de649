// The converters' states, made once for each conversion context.
#include "cards/card_states.hpp"

#include <memory>

#include "core/conversion_context.hpp"

namespace cardlift {

ConversionContext::ConversionContext(TextSink& consoleSink)
    : console(consoleSink), cardStates_(std::make_unique<CardStates>()) {}

ConversionContext::~ConversionContext() = default;

}  // namespace cardlift
