// Picks the converter for a card and completes its transaction line.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "core/card_columns.hpp"
#include "core/conversion_context.hpp"

namespace cardlift {

// The shape every card converter has: it builds one line in `line` through
// the context's record and returns 0, or its own negative result after it
// has reported at least one error. Converters that give several lines per
// card set *callAgain; the others ignore it.
using CardConverter = std::int32_t (*)(ConversionContext& context, char* line, CardColumns card,
                                       std::int32_t* callAgain);

// Converts one 80-character card into one transaction line in `line`
// (kOutputLineSize characters, NUL-terminated). Returns 0 when `line`
// holds a line to write; otherwise the converter's failure result, with
// its last error line copied into `message` (kMessageSize characters).
// Leaves *callAgain at 1 when the same card must be handed over again.
std::int32_t convertCard(ConversionContext& context, std::string_view card,
                         std::span<char, kOutputLineSize> line, std::int32_t* callAgain,
                         std::span<char, kMessageSize> message);

}  // namespace cardlift
