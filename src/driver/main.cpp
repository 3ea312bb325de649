// Entry point: hands the command line and the console to the run driver.
#include <vector>

#include "core/text_sink.hpp"
#include "driver/platform.hpp"
#include "driver/run_driver.hpp"

namespace {

int run(const std::vector<cardlift::ProgramArgument>& arguments) {
  cardlift::ProcessConsole process;
  cardlift::FileHandle& output = process.standardOutput();
  cardlift::FileHandle& error = process.standardError();
  cardlift::FileDevice outputDevice(output, false);
  cardlift::FileDevice errorDevice(error, false);
  // A person watching a terminal sees each line as it is finished.
  cardlift::TextSink text(&outputDevice, cardlift::kNativeLineEnd, output.isTerminal());
  cardlift::TextSink reasons(&errorDevice, cardlift::kNativeLineEnd, error.isTerminal());
  return cardlift::runCardlift(arguments, {text, output, reasons, error});
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) { return run(cardlift::argumentsFromCommandLine(argc, argv)); }
#else
int main(int argc, char** argv) { return run(cardlift::argumentsFromCommandLine(argc, argv)); }
#endif
