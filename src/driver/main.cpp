// Entry point: hands the command line and the console to the run driver.
#include <vector>

#include "core/text_sink.hpp"
#include "driver/progress.hpp"
#include "driver/run_driver.hpp"
#include "platform/platform.hpp"

namespace {

// How a sink on a standard stream delivers its text.
cardlift::Delivery deliveryTo(const cardlift::FileHandle& stream) {
  // A person watching a terminal sees each line as it is finished.
  return stream.isTerminal() ? cardlift::Delivery::kTerminal : cardlift::Delivery::kBuffered;
}

int run(const std::vector<cardlift::ProgramArgument>& arguments) {
  cardlift::ProcessConsole process;
  cardlift::FileHandle& output = process.standardOutput();
  cardlift::FileHandle& error = process.standardError();
  cardlift::ProgressLine progress(error);
  cardlift::FileDevice outputDevice(output, cardlift::Ending::kAsWritten);
  cardlift::FileDevice errorDevice(error, cardlift::Ending::kAsWritten);
  // The progress line gives way to any text written to its terminal.
  cardlift::ProgressAwareDevice terminalOutput(outputDevice, progress);
  cardlift::ProgressAwareDevice terminalError(errorDevice, progress);
  // A stream that is missing takes nothing, as the null device would.
  cardlift::NullDevice missing;
  cardlift::ByteDevice* textDevice = &outputDevice;
  if (output.isTerminal()) textDevice = &terminalOutput;
  if (!output.isOpen()) textDevice = &missing;
  cardlift::ByteDevice* reasonsDevice = &terminalError;
  if (!error.isOpen()) reasonsDevice = &missing;
  cardlift::TextSink text(textDevice, cardlift::kNativeLineEnd, deliveryTo(output));
  cardlift::TextSink reasons(reasonsDevice, cardlift::kNativeLineEnd, deliveryTo(error));
  return cardlift::runCardlift(arguments,
                               {process.standardInput(), text, output, reasons, error, progress});
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) { return run(cardlift::argumentsFromCommandLine(argc, argv)); }
#else
int main(int argc, char** argv) { return run(cardlift::argumentsFromCommandLine(argc, argv)); }
#endif
