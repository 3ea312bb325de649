// Fuzz target: the whole card loop over arbitrary bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cards/card_states.hpp"
#include "core/conversion_context.hpp"
#include "driver/card_loop.hpp"
#include "driver/line_reader.hpp"
#include "fuzz_support.hpp"

using cardlift::fuzzing::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  cardlift::fuzzing::StringDevice consoleDevice;
  cardlift::fuzzing::StringDevice outputDevice;
  cardlift::fuzzing::StringDevice logDevice;
  cardlift::TextSink console(&consoleDevice, cardlift::LineEnd::kLf);
  cardlift::TextSink output(&outputDevice, cardlift::LineEnd::kLf);
  cardlift::TextSink log(&logDevice, cardlift::LineEnd::kLf);
  cardlift::ConversionContext context(console);
  cardlift::MemorySource source(input);

  const cardlift::RunCounts counts = cardlift::runCardLoop(context, source, output, log);
  console.flush();
  output.flush();
  log.flush();

  // Every line of the input is read, the last one also without a line end.
  auto lines = static_cast<std::int64_t>(std::count(input.begin(), input.end(), '\n'));
  if (!input.empty() && input.back() != '\n') ++lines;
  require(counts.cardsRead == lines, "every line is read once");

  // One output line per line written, one log line per error.
  const auto outputLines = std::count(outputDevice.text.begin(), outputDevice.text.end(), '\n');
  const auto logLines = std::count(logDevice.text.begin(), logDevice.text.end(), '\n');
  require(outputLines == counts.linesWritten, "written lines are in the output");
  require(logLines == counts.errors, "errors are in the log");
  require(outputDevice.text.empty() || outputDevice.text.back() == '\n', "output lines end");
  require(logDevice.text.empty() || logDevice.text.back() == '\n', "log lines end");
  require(counts.cardsRead <= counts.errors + counts.linesWritten,
          "every line read is written or logged at least once");
  require(context.cardStates().atStart(), "the converters end every card at their start");
  return 0;
}
