// Picks the converter for a card and completes its transaction line.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "core/conversion_context.hpp"

namespace cardlift {

// Converts one 80-character card into one transaction line in `line`
// (kOutputLineSize characters, NUL-terminated; context.record.length is
// its length). Returns 0 when `line` holds a line to write; otherwise the
// card type's failure result, with the last error line copied into
// `message` (kMessageSize characters). Leaves *callAgain at 1 when the
// same card must be handed over again.
std::int32_t convertCard(ConversionContext& context, std::string_view card,
                         std::span<char, kOutputLineSize> line, std::int32_t* callAgain,
                         std::span<char, kMessageSize> message);

}  // namespace cardlift
