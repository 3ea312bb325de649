// Entry point: hands the command line and the console to the run driver.
#include <vector>

#include "core/text_sink.hpp"
#include "driver/platform.hpp"
#include "driver/run_driver.hpp"

namespace {

int run(const std::vector<cardlift::ProgramArgument>& arguments) {
  cardlift::ConsoleDevice device;
  // A person watching a terminal sees each line as it is finished.
  cardlift::TextSink console(&device, cardlift::kNativeLineEnd, device.isTerminal());
  const int status = cardlift::runCardlift(arguments, console);
  console.flush();
  return status;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) { return run(cardlift::argumentsFromCommandLine(argc, argv)); }
#else
int main(int argc, char** argv) { return run(cardlift::argumentsFromCommandLine(argc, argv)); }
#endif
