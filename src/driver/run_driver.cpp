// One run of the program: banner, arguments, files, card loop, summary.
#include "driver/run_driver.hpp"

#include <string_view>

#include "core/conversion_context.hpp"
#include "driver/card_loop.hpp"

namespace cardlift {
namespace {

constexpr std::string_view kUsageNoArguments =
    "\n"
    "Usage:\n"
    "\tcardlift InputFile OutputFile [Optional ErrorLog]\n"
    "\t*** NOTE ***\n"
    "\t\tThe name and full path of the input and output file cannot exceed 1024 characters\n"
    "\n"
    "*** Examples:\n"
    "\tcardlift cardInputFile.txt cardInputFile.out\n"
    "\t\t-\treads card image file cardInputFile.txt\n"
    "\t\t-\twrites out the transaction file cardInputFile.out\n"
    "\t\t-\twrites errors to cardlift.log\n"
    "\n"
    "\tcardlift cardInputFile.txt cardInputFile.out cardInputFile.err\n"
    "\t\t-\treads card image file cardInputFile.txt\n"
    "\t\t-\twrites the transaction file cardInputFile.out\n"
    "\t\t-\twrites errors to cardInputFile.err\n";

constexpr std::string_view kUsageOneArgument =
    "\n"
    "Usage:\n"
    "\tcardlift InputFile OutputFile\n"
    "\n"
    "\t*** Please supply both the Input File and the Output File\n";

constexpr std::string_view kInputNameTooLong =
    "\n\nERROR: The name of the input file including the full directory path cannot exceed "
    "1024 characters\n";
constexpr std::string_view kOutputNameTooLong =
    "\n\nERROR: The name of the output file including the full directory path cannot exceed "
    "1024 characters\n";

void writeNamed(TextSink& console, std::string_view text, std::string_view name) {
  console.write(text);
  console.write(name);
  console.write("]");
}

}  // namespace

std::int32_t runCardlift(std::span<const ProgramArgument> arguments, TextSink& console) {
  console.write("\nVersion 1.0 Build 2014.07.28.1022\n");

  if (arguments.size() <= 1) {
    console.write(kUsageNoArguments);
    return kExitNoArguments;
  }
  if (arguments.size() == 2) {
    console.write(kUsageOneArgument);
    return kExitOneArgument;
  }

  const ProgramArgument& inputName = arguments[1];
  const ProgramArgument& outputName = arguments[2];
  const bool inputTooLong = inputName.codeUnits > kLongestName;
  if (inputTooLong) console.write(kInputNameTooLong);
  if (outputName.codeUnits > kLongestName) {
    console.write(kOutputNameTooLong);
    return kExitNameTooLong;
  }
  if (inputTooLong) return kExitNameTooLong;

  // A log named on the command line counts only when it is the last
  // argument.
  const ProgramArgument logName =
      arguments.size() == 4 ? arguments[3] : argumentFromText(kDefaultLogName);

  // All three are opened before any is checked.
  FileHandle inputFile;
  FileHandle outputFile;
  FileHandle logFile;
  const bool inputOpen = inputFile.openForReading(inputName.native);
  // Naming the input again as the output or the log would empty it before
  // a card is read, and a log that is the output would write over it:
  // such a name counts as one that cannot be opened.
  const bool outputOpen = outputFile.openForWriting(outputName.native, {&inputFile});
  const bool logOpen = logFile.openForWriting(logName.native, {&inputFile, &outputFile});

  NullDevice lost;
  TextSink output(outputOpen ? static_cast<ByteDevice*>(&outputFile) : &lost);
  TextSink errorLog(logOpen ? static_cast<ByteDevice*>(&logFile) : &lost);
  ConversionContext context(console);

  RunCounts counts;
  if (inputOpen && outputOpen) counts = runCardLoop(context, inputFile, output, errorLog);

  if (inputOpen) {
    inputFile.close();
    console.write("\nRead:\t");
    console.writeNumber(counts.cardsRead);
    writeNamed(console, "\ttransactions from file [", inputName.display);
  } else {
    writeNamed(console, "ERROR: Unable to open input file [", inputName.display);
    console.write("\n");
  }

  console.write("\nErrors:\t");
  console.writeNumber(counts.errors);
  writeNamed(console, "\ttransactions written to [", logName.display);
  console.write("\n");
  if (!logOpen) {
    writeNamed(console, "ERROR: Unable to open error log file [", logName.display);
    console.write("\n");
  }

  bool outputFailed = false;
  if (outputOpen) {
    outputFailed = !output.flush();
    outputFailed = !outputFile.close() || outputFailed;
    console.write("Wrote:\t");
    console.writeNumber(counts.linesWritten);
    writeNamed(console, "\ttransactions to file [", outputName.display);
  } else {
    writeNamed(console, "ERROR: Unable to open output file [", outputName.display);
  }
  console.write("\n");

  bool logFailed = false;
  if (logOpen) {
    logFailed = !errorLog.flush();
    logFailed = !logFile.close() || logFailed;
  }
  if (outputFailed) {
    writeNamed(console, "ERROR: Unable to write to output file [", outputName.display);
    console.write("\n");
  }
  if (logFailed) {
    writeNamed(console, "ERROR: Unable to write to error log file [", logName.display);
    console.write("\n");
  }

  if (!inputOpen) return kExitInputNotOpened;
  if (!outputOpen) return kExitOutputNotOpened;
  if (!logOpen) return kExitLogNotOpened;
  if (outputFailed || logFailed) return kExitWriteFailed;
  return 0;
}

}  // namespace cardlift
