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

// One of the run's files: its name, its handle and whether it may be used.
struct RunFile {
  explicit RunFile(const ProgramArgument& argument) : name(argument) {}
  const ProgramArgument& name;
  FileHandle file;
  // Opened, and passed the checks and the lock.
  bool usable = false;
};

// A file already in use, and what naming it once more is.
struct TakenFile {
  FileIdentity identity;
  FileFault::Kind conflict;
};

// Prints the version line, and the usage or the name messages when the
// command line cannot start a run. Returns 0 when the run goes on, else
// the exit status.
std::int32_t checkArguments(std::span<const ProgramArgument> arguments, TextSink& console) {
  console.write("\nVersion 1.0 Build 2014.07.28.1022\n");
  if (arguments.size() <= 1) {
    console.write(kUsageNoArguments);
    return kExitNoArguments;
  }
  if (arguments.size() == 2) {
    console.write(kUsageOneArgument);
    return kExitOneArgument;
  }
  const bool inputTooLong = arguments[1].codeUnits > kLongestName;
  if (inputTooLong) console.write(kInputNameTooLong);
  if (arguments[2].codeUnits > kLongestName) {
    console.write(kOutputNameTooLong);
    return kExitNameTooLong;
  }
  return inputTooLong ? kExitNameTooLong : 0;
}

// Opens one file and checks it against the files already in use: a name
// that leads to one of them is refused, as is a file another process
// holds.
void openChecked(RunFile& run, bool forWriting, std::initializer_list<TakenFile> taken) {
  const bool opened = forWriting ? run.file.openForWriting(run.name.native)
                                 : run.file.openForReading(run.name.native);
  for (const TakenFile& other : taken) {
    if (isSameFile(run.file.identity(), other.identity)) {
      run.file.refuse(other.conflict);
      return;
    }
  }
  run.usable = opened && run.file.lock(forWriting);
}

// Opens the three files, all before any is used. The output and the log
// are emptied only for a run that converts: when the input and the output
// are both usable.
void openRunFiles(RunFile& input, RunFile& output, RunFile& log, const Console& console) {
  const TakenFile standardOutput{console.output.identity(), FileFault::Kind::kIsStandardOutput};
  openChecked(input, false, {standardOutput});
  const TakenFile asInput{input.file.identity(), FileFault::Kind::kIsInput};
  openChecked(output, true, {asInput, standardOutput});
  const TakenFile asOutput{output.file.identity(), FileFault::Kind::kIsOutput};
  openChecked(log, true, {asInput, asOutput, standardOutput});
  if (!input.usable || !output.usable) return;
  output.usable = output.file.empty();
  if (output.usable && log.usable) log.usable = log.file.empty();
}

// Where the reasons for failures may be printed: not on standard error
// when it is one of the run's files.
bool reasonsMayBePrinted(const Console& console, const RunFile& input, const RunFile& output,
                         const RunFile& log) {
  const FileIdentity& error = console.error.identity();
  return !isSameFile(error, input.file.identity()) && !isSameFile(error, output.file.identity()) &&
         !isSameFile(error, log.file.identity());
}

// Prints "ERROR: Unable to ..." and the name on the console, and the reason
// on standard error.
void reportFailure(const Console& console, bool withReason, std::string_view message,
                   std::string_view name, const FileFault& fault) {
  console.text.write(message);
  console.text.write(name);
  console.text.write("]\n");
  if (!withReason) return;
  // The line it explains comes first where both reach the same place.
  console.text.flush();
  console.reasons.write("cardlift: ");
  console.reasons.write(name);
  console.reasons.write(": ");
  console.reasons.write(describeFault(fault));
  console.reasons.write("\n");
  console.reasons.flush();
}

// Flushes and closes a written file; false when anything written was lost.
bool finish(RunFile& run, TextSink& sink) {
  if (!run.usable) return true;
  const bool flushed = sink.flush();
  return run.file.close() && flushed;
}

}  // namespace

std::int32_t runCardlift(std::span<const ProgramArgument> arguments, const Console& console) {
  if (const std::int32_t status = checkArguments(arguments, console.text); status != 0) {
    console.text.flush();
    return status;
  }

  // A log named on the command line counts only when it is the last
  // argument.
  const ProgramArgument logName =
      arguments.size() == 4 ? arguments[3] : argumentFromText(kDefaultLogName);
  RunFile input(arguments[1]);
  RunFile output(arguments[2]);
  RunFile log(logName);
  openRunFiles(input, output, log, console);
  const bool withReason = reasonsMayBePrinted(console, input, output, log);

  NullDevice lost;
  FileDevice outputDevice(output.file, true);
  FileDevice logDevice(log.file, true);
  TextSink outputText(output.usable ? static_cast<ByteDevice*>(&outputDevice) : &lost);
  TextSink logText(log.usable ? static_cast<ByteDevice*>(&logDevice) : &lost);
  ConversionContext context(console.text);
  RunCounts counts;
  if (input.usable && output.usable) counts = runCardLoop(context, input.file, outputText, logText);

  // The summary.
  if (input.usable) {
    input.file.close();
    console.text.write("\nRead:\t");
    console.text.writeNumber(counts.cardsRead);
    console.text.write("\ttransactions from file [");
    console.text.write(input.name.display);
    console.text.write("]");
  } else {
    reportFailure(console, withReason, "ERROR: Unable to open input file [", input.name.display,
                  input.file.fault());
  }
  console.text.write("\nErrors:\t");
  console.text.writeNumber(counts.errors);
  console.text.write("\ttransactions written to [");
  console.text.write(log.name.display);
  console.text.write("]\n");
  if (!log.usable) {
    reportFailure(console, withReason, "ERROR: Unable to open error log file [", log.name.display,
                  log.file.fault());
  }
  const bool outputWritten = finish(output, outputText);
  if (output.usable) {
    console.text.write("Wrote:\t");
    console.text.writeNumber(counts.linesWritten);
    console.text.write("\ttransactions to file [");
    console.text.write(output.name.display);
    console.text.write("]\n");
  } else {
    reportFailure(console, withReason, "ERROR: Unable to open output file [", output.name.display,
                  output.file.fault());
  }
  const bool logWritten = finish(log, logText);
  if (counts.readFailed) {
    reportFailure(console, withReason, "ERROR: Unable to read input file [", input.name.display,
                  input.file.fault());
  }
  if (!outputWritten) {
    reportFailure(console, withReason, "ERROR: Unable to write to output file [",
                  output.name.display, output.file.fault());
  }
  if (!logWritten) {
    reportFailure(console, withReason, "ERROR: Unable to write to error log file [",
                  log.name.display, log.file.fault());
  }

  // A console that could not take the text never stops the run, but the
  // run reports it.
  const bool consoleWritten = console.text.flush();
  if (!consoleWritten && withReason) {
    console.reasons.write("cardlift: standard output: ");
    console.reasons.write(describeFault(console.output.fault()));
    console.reasons.write("\n");
    console.reasons.flush();
  }

  if (!input.usable) return kExitInputNotOpened;
  if (!output.usable) return kExitOutputNotOpened;
  if (!log.usable) return kExitLogNotOpened;
  if (counts.readFailed) return kExitReadFailed;
  if (!outputWritten || !logWritten || !consoleWritten) return kExitWriteFailed;
  return 0;
}

}  // namespace cardlift
