// One run of the program: banner, arguments, files, card loop, summary.
#pragma once

#include <cstdint>
#include <span>

#include "core/text_sink.hpp"
#include "driver/platform.hpp"

namespace cardlift {

// Exit statuses.
inline constexpr std::int32_t kExitNoArguments = -1001;
inline constexpr std::int32_t kExitOneArgument = -1002;
inline constexpr std::int32_t kExitNameTooLong = -1003;
inline constexpr std::int32_t kExitInputNotOpened = -1004;
inline constexpr std::int32_t kExitOutputNotOpened = -1005;
inline constexpr std::int32_t kExitLogNotOpened = -1006;
inline constexpr std::int32_t kExitWriteFailed = -1007;

// The longest input or output name, in UTF-16 code units.
inline constexpr std::size_t kLongestName = 1024;
// The error log used when the command line names none.
inline constexpr const char* kDefaultLogName = "cardlift.log";

// Runs the program on its arguments (the program's own name first),
// printing on console; returns the exit status.
std::int32_t runCardlift(std::span<const ProgramArgument> arguments, TextSink& console);

}  // namespace cardlift
