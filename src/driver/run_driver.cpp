// One run of the program: banner, arguments, files, card loop, summary.
#include "driver/run_driver.hpp"

#include <array>
#include <string_view>

#include "core/conversion_context.hpp"
#include "driver/card_loop.hpp"

namespace cardlift {
namespace {

// Usage text for a command line without arguments, around the longest
// name and the default log name.
constexpr std::string_view kUsageNoArguments =
    "\n"
    "Usage:\n"
    "\tcardlift InputFile OutputFile [Optional ErrorLog]\n"
    "\t*** NOTE ***\n"
    "\t\tThe name and full path of the input and output file cannot exceed ";
constexpr std::string_view kUsageNoArgumentsAfterLimit =
    " characters\n"
    "\n"
    "*** Examples:\n"
    "\tcardlift cardInputFile.txt cardInputFile.out\n"
    "\t\t-\treads card image file cardInputFile.txt\n"
    "\t\t-\twrites out the transaction file cardInputFile.out\n"
    "\t\t-\twrites errors to ";
constexpr std::string_view kUsageNoArgumentsAfterLogName =
    "\n"
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

// A name longer than kLongestName: which one, then the limit.
constexpr std::string_view kInputNameTooLong =
    "\n\nERROR: The name of the input file including the full directory path cannot exceed ";
constexpr std::string_view kOutputNameTooLong =
    "\n\nERROR: The name of the output file including the full directory path cannot exceed ";
constexpr std::string_view kAfterLimit = " characters\n";

// One of the run's files: its name, its handle and whether it may be used.
struct RunFile {
  explicit RunFile(const ProgramArgument& argument) : name(argument) {}
  const ProgramArgument& name;
  FileHandle file;
  // Opened, and passed the checks and the lock.
  bool usable = false;
};

// A file already in use, what naming it once more is, and its name where
// it cannot be told apart.
struct TakenFile {
  const FileIdentity& identity;
  FileFault::Kind conflict;
  std::string_view name;
};

// Prints the version line, and the usage or the name messages when the
// command line cannot start a run. Returns 0 when the run goes on, else
// the exit status.
std::int32_t checkArguments(std::span<const ProgramArgument> arguments, TextSink& console) {
  console.write("\nVersion ");
  console.write(kVersion);
  console.write(" Build ");
  console.write(kBuild);
  console.write("\n");
  if (arguments.size() <= 1) {
    console.write(kUsageNoArguments);
    console.writeNumber(static_cast<long long>(kLongestName));
    console.write(kUsageNoArgumentsAfterLimit);
    console.write(kDefaultLogName);
    console.write(kUsageNoArgumentsAfterLogName);
    return kExitNoArguments;
  }
  if (arguments.size() == 2) {
    console.write(kUsageOneArgument);
    return kExitOneArgument;
  }
  const auto tooLong = [&](std::string_view message) {
    console.write(message);
    console.writeNumber(static_cast<long long>(kLongestName));
    console.write(kAfterLimit);
  };
  const bool inputTooLong = arguments[1].codeUnits > kLongestName;
  if (inputTooLong) tooLong(kInputNameTooLong);
  if (arguments[2].codeUnits > kLongestName) {
    tooLong(kOutputNameTooLong);
    return kExitNameTooLong;
  }
  return inputTooLong ? kExitNameTooLong : 0;
}

// Opens one file and checks it against the files already in use: a name
// that leads to one of them, or to a file that cannot be told apart from
// one, is refused, as is a file another process holds.
void openChecked(RunFile& run, Access access, std::initializer_list<TakenFile> taken) {
  const bool opened = run.file.open(run.name.native, access);
  for (const TakenFile& other : taken) {
    switch (compareFiles(run.file.identity(), other.identity)) {
      case Sameness::kDifferent:
        continue;
      case Sameness::kSame:
        run.file.refuse({other.conflict, 0, {}});
        return;
      case Sameness::kCannotTell:
        run.file.refuse({FileFault::Kind::kCannotTellApart, 0, other.name});
        return;
    }
  }
  run.usable = opened && run.file.lock(access);
}

// Opens the three files, all before any is used. The output and the log
// are emptied only for a run that converts: when the input and the output
// are both usable.
void openRunFiles(RunFile& input, RunFile& output, RunFile& log, const Console& console) {
  const TakenFile standardInput{console.input.identity(), FileFault::Kind::kIsStandardInput,
                                "the standard input"};
  const TakenFile standardOutput{console.output.identity(), FileFault::Kind::kIsStandardOutput,
                                 "the standard output"};
  openChecked(input, Access::kRead, {standardOutput});
  const TakenFile asInput{input.file.identity(), FileFault::Kind::kIsInput, input.name.display};
  openChecked(output, Access::kWrite, {asInput, standardInput, standardOutput});
  const TakenFile asOutput{output.file.identity(), FileFault::Kind::kIsOutput, output.name.display};
  openChecked(log, Access::kWrite, {asInput, asOutput, standardInput, standardOutput});
  if (!input.usable || !output.usable) return;
  output.usable = output.file.empty();
  if (output.usable && log.usable) log.usable = log.file.empty();
}

// True unless the file behind a standard stream is, or may be, one of the
// run's files.
bool apartFrom(const FileHandle& stream, std::initializer_list<const RunFile*> files) {
  for (const RunFile* run : files) {
    if (compareFiles(stream.identity(), run->file.identity()) != Sameness::kDifferent) {
      return false;
    }
  }
  return true;
}

// Prints "cardlift: NAME: " and the reason on standard error, with
// `before` ahead of the reason.
void printReason(const Console& console, std::string_view name, std::string_view before,
                 const FileFault& fault) {
  // The line it explains comes first where both reach the same place.
  console.text.flush();
  console.reasons.write("cardlift: ");
  console.reasons.writeName(name);
  console.reasons.write(": ");
  console.reasons.write(before);
  console.reasons.write(describeFault(fault));
  console.reasons.write("\n");
  console.reasons.flush();
}

// Prints "ERROR: Unable to ..." and the name on the console, and the reason
// on standard error.
void reportFailure(const Console& console, std::string_view message, std::string_view name,
                   const FileFault& fault) {
  console.text.write(message);
  console.text.writeName(name);
  console.text.write("]\n");
  printReason(console, name, {}, fault);
}

// Flushes a written file, hands it to its storage and closes it; false
// when anything written was lost, with the file's fault telling why.
bool finish(RunFile& run, TextSink& sink) {
  if (!run.usable) return true;
  const bool flushed = sink.flush();
  const bool stored = flushed && run.file.sync();
  return run.file.close() && stored;
}

// The three files of a run, where their text goes and the devices that
// take it.
struct RunFiles {
  RunFile& input;
  RunFile& output;
  RunFile& log;
  TextSink& outputText;
  TextSink& logText;
  const FileDevice& outputDevice;
  const FileDevice& logDevice;
};

// The failures of a run, as far as its exit status is concerned: when
// several occur, the status is the first of these that did.
class RunOutcome {
 public:
  void note(const RunFailure& failure) {
    for (const std::int32_t status : kPrecedence) {
      if (status == status_) return;
      if (status == failure.status) {
        status_ = status;
        return;
      }
    }
  }
  std::int32_t status() const { return status_; }

 private:
  static constexpr std::array<std::int32_t, 5> kPrecedence{
      kInputNotOpened.status, kOutputNotOpened.status, kLogNotOpened.status, kInputNotRead.status,
      kOutputNotWritten.status};
  std::int32_t status_ = 0;
};

// Writes lead, the count, middle, the name and "]": the shape of the three
// summary lines.
void writeCount(TextSink& text, std::string_view lead, std::int64_t count, std::string_view middle,
                std::string_view name) {
  text.write(lead);
  text.writeNumber(count);
  text.write(middle);
  text.writeName(name);
  text.write("]");
}

// The Read, Errors and Wrote lines, each replaced by its failure where a
// file could not be used, then the read and write failures. The input is
// closed before the first line and the output before the last.
RunOutcome printSummary(const Console& console, const RunFiles& files, const RunCounts& counts) {
  RunOutcome outcome;
  const auto failure = [&](const RunFailure& kind, const RunFile& run) {
    outcome.note(kind);
    reportFailure(console, kind.lead, run.name.display, run.file.fault());
  };
  // A file whose write failed after part of a line, and kept that part.
  const auto writeFailure = [&](const RunFailure& kind, const RunFile& run,
                                const FileDevice& device) {
    failure(kind, run);
    if (device.cutBackFault().kind != FileFault::Kind::kNone) {
      printReason(console, run.name.display,
                  "could not remove a partial line: ", device.cutBackFault());
    }
  };

  if (files.input.usable) {
    files.input.file.close();
    writeCount(console.text, "\nRead:\t", counts.cardsRead, "\ttransactions from file [",
               files.input.name.display);
  } else {
    failure(kInputNotOpened, files.input);
  }
  writeCount(console.text, "\nErrors:\t", counts.errors, "\ttransactions written to [",
             files.log.name.display);
  console.text.write("\n");
  if (!files.log.usable) failure(kLogNotOpened, files.log);
  const bool outputWritten = finish(files.output, files.outputText);
  if (files.output.usable) {
    writeCount(console.text, "Wrote:\t", counts.linesWritten, "\ttransactions to file [",
               files.output.name.display);
    console.text.write("\n");
  } else {
    failure(kOutputNotOpened, files.output);
  }
  const bool logWritten = finish(files.log, files.logText);
  if (counts.readFailed) failure(kInputNotRead, files.input);
  if (!outputWritten) writeFailure(kOutputNotWritten, files.output, files.outputDevice);
  if (!logWritten) writeFailure(kLogNotWritten, files.log, files.logDevice);

  // A console that could not take the text never stops the run, but the
  // run reports it.
  if (!console.text.flush()) {
    outcome.note(kConsoleNotWritten);
    printReason(console, "standard output", {}, console.output.fault());
  }
  return outcome;
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
  // A standard output that is the input or the output gets nothing more,
  // not even what waits for it: it would land inside that file.
  if (!apartFrom(console.output, {&input, &output})) console.text.silence();
  // Nor are reasons written to a standard error that is one of the files.
  if (!apartFrom(console.error, {&input, &output, &log})) console.reasons.silence();
  for (const RunFile* run : {&input, &output, &log}) {
    if (run->usable && run->file.lockFault().kind != FileFault::Kind::kNone) {
      printReason(console, run->name.display, "not locked: ", run->file.lockFault());
    }
  }

  NullDevice lost;
  FileDevice outputDevice(output.file, Ending::kWholeLines);
  FileDevice logDevice(log.file, Ending::kWholeLines);
  TextSink outputText(output.usable ? static_cast<ByteDevice*>(&outputDevice) : &lost);
  // Each log line goes out as it is written, as each output line does, so
  // that the log keeps step with the output whenever the run is stopped.
  TextSink logText(log.usable ? static_cast<ByteDevice*>(&logDevice) : &lost, kNativeLineEnd,
                   Delivery::kEachLine);
  ConversionContext context(console.text);
  RunCounts counts;
  if (input.usable && output.usable) {
    CountingSource inputBytes(input.file);
    // No progress line where it would break the lines of a file of the run.
    if (!input.file.isTerminal() && !output.file.isTerminal() && !log.file.isTerminal()) {
      console.progress.start(inputBytes, input.file.state().size);
    }
    counts = runCardLoop(context, inputBytes, outputText, logText, console.progress);
    console.progress.finish();
    // Cards read from a file that another program changed meanwhile may
    // be neither the old file's nor the new one's.
    if (!counts.readFailed && !input.file.unchangedSinceOpened(inputBytes.bytesRead())) {
      counts.readFailed = true;
    }
  }

  return printSummary(console, {input, output, log, outputText, logText, outputDevice, logDevice},
                      counts)
      .status();
}

}  // namespace cardlift
