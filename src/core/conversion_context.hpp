// The state one run of conversions shares: created once per run.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/output_record.hpp"
#include "core/text_sink.hpp"

namespace cardlift {

// Size of the error text and of the card loop's message buffer.
inline constexpr std::size_t kMessageSize = 2048;

// Card type 1: where the next call of the current card goes on.
struct Type1CardState {
  // The reading slot (0-7) the next call gives a line for.
  std::int32_t readingIndex = 0;
};

// Card type 8: where the next call of the current card goes on.
struct Type8CardState {
  // The indicated-value slot (0-4) the next call gives a line for.
  std::int32_t pendingSlot = 0;
};

// Everything the converters keep between fields, calls and cards. One
// context serves one run; cards are converted one at a time through it.
struct ConversionContext {
  explicit ConversionContext(TextSink& consoleSink) : console(consoleSink) {}
  ConversionContext(const ConversionContext&) = delete;
  ConversionContext& operator=(const ConversionContext&) = delete;

  // Where error lines are printed as they are found.
  TextSink& console;
  // The line being built by the current converter.
  OutputRecord record;
  // The most recent error line, NUL-terminated; never cleared.
  std::array<char, kMessageSize> errorText{};
  // The converters that give one line per call keep their place here.
  Type1CardState type1Card;
  Type8CardState type8Card;
};

}  // namespace cardlift
