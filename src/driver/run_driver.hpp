// One run of the program: banner, arguments, files, card loop, summary.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "core/text_sink.hpp"
#include "driver/progress.hpp"
#include "platform/platform.hpp"

namespace cardlift {

// What the program says of itself, and its limits.
inline constexpr std::string_view kVersion = "1.0";
inline constexpr std::string_view kBuild = "2014.07.28.1022";
// The longest input or output name, in UTF-16 code units.
inline constexpr std::size_t kLongestName = 1024;
// The error log used when the command line names none.
inline constexpr const char* kDefaultLogName = "cardlift.log";

// Exit statuses of a command line that cannot start a run.
inline constexpr std::int32_t kExitNoArguments = -1001;
inline constexpr std::int32_t kExitOneArgument = -1002;
inline constexpr std::int32_t kExitNameTooLong = -1003;

// A failed write, to a file of the run or to the console.
inline constexpr std::int32_t kExitWriteFailed = -1007;

// The ways a run can fail once its command line is sound: the exit status
// and the console line's lead, which the file's name and "]" follow.
struct RunFailure {
  std::int32_t status;
  std::string_view lead;
};
inline constexpr RunFailure kInputNotOpened{-1004, "ERROR: Unable to open input file ["};
inline constexpr RunFailure kOutputNotOpened{-1005, "ERROR: Unable to open output file ["};
inline constexpr RunFailure kLogNotOpened{-1006, "ERROR: Unable to open error log file ["};
inline constexpr RunFailure kInputNotRead{-1008, "ERROR: Unable to read input file ["};
inline constexpr RunFailure kOutputNotWritten{kExitWriteFailed,
                                              "ERROR: Unable to write to output file ["};
inline constexpr RunFailure kLogNotWritten{kExitWriteFailed,
                                           "ERROR: Unable to write to error log file ["};
// A console that could not take the text has no line of its own.
inline constexpr RunFailure kConsoleNotWritten{kExitWriteFailed, {}};

// Where a run prints: its text on standard output, and the reasons for
// failures on standard error.
struct Console {
  // Standard input: no file the run writes may be the same file.
  const FileHandle& input;
  // Standard output as text; silenced when it is a file of the run.
  TextSink& text;
  // Standard output itself: no named file may be the same file.
  const FileHandle& output;
  // Standard error as text, and the file behind it.
  TextSink& reasons;
  const FileHandle& error;
  // How far a long run has come, where standard error is a terminal.
  ProgressLine& progress;
};

// Runs the program on its arguments (the program's own name first),
// printing on the console; returns the exit status. Everything printed has
// been handed over to the console when it returns.
std::int32_t runCardlift(std::span<const ProgramArgument> arguments, const Console& console);

}  // namespace cardlift
