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
inline constexpr std::int32_t kExitReadFailed = -1008;

// The longest input or output name, in UTF-16 code units.
inline constexpr std::size_t kLongestName = 1024;
// The error log used when the command line names none.
inline constexpr const char* kDefaultLogName = "cardlift.log";

// Where a run prints: its text on standard output, and the reasons for
// failures on standard error.
struct Console {
  // Standard output as text.
  TextSink& text;
  // Standard output itself: no named file may be the same file.
  const FileHandle& output;
  // Standard error as text, and the file behind it.
  TextSink& reasons;
  const FileHandle& error;
};

// Runs the program on its arguments (the program's own name first),
// printing on the console; returns the exit status. Everything printed has
// been handed over to the console when it returns.
std::int32_t runCardlift(std::span<const ProgramArgument> arguments, const Console& console);

}  // namespace cardlift
