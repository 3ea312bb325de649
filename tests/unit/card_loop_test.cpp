// The card loop over in-memory input: counts, console, log and output.
#include "driver/card_loop.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.hpp"
#include "test_support.hpp"

namespace cardlift {
namespace {

using testing::StringDevice;

// A type 2 card that converts cleanly.
const std::string kGoodCard =
    "2271050042532101100708797031513 30045                                          I";
const std::string kGoodLine =
    "RD|I|27|105|0042|53210|1|1|007|087|19970315|13|0.045|||||||||||||||\n";

struct LoopRun {
  RunCounts counts;
  std::string console;
  std::string log;
  std::string output;
  int outputWrites = 0;
};

LoopRun runLoop(const std::string& input, bool outputFails = false) {
  StringDevice consoleDevice;
  StringDevice outputDevice;
  StringDevice logDevice;
  outputDevice.fail = outputFails;
  TextSink console(&consoleDevice, LineEnd::kLf);
  TextSink output(&outputDevice, LineEnd::kLf);
  TextSink log(&logDevice, LineEnd::kLf);
  ConversionContext context(console);
  MemorySource source(input);
  LoopRun run;
  run.counts = runCardLoop(context, source, output, log);
  console.flush();
  log.flush();
  run.console = consoleDevice.text;
  run.log = logDevice.text;
  run.output = outputDevice.text;
  run.outputWrites = outputDevice.writes;
  return run;
}

TEST(CardLoopTest, RejectsAndConvertsLineByLine) {
  using testing::withColumns;
  const std::string copied = "4" + std::string(78, 'x') + "I";
  const std::string tabbed = std::string(20, 'a') + "\t" + std::string(29, 'b');
  const std::string badDp = withColumns(kGoodCard, {{33, "X"}});
  const LoopRun run = runLoop(copied + "\n\n" + tabbed + "\r\n" + badDp);

  EXPECT_EQ(run.counts.cardsRead, 4);
  EXPECT_EQ(run.counts.linesWritten, 1);
  EXPECT_EQ(run.counts.errors, 3);
  const std::string error =
      "ERROR->[-20303] Column->[Multiple Columns] Msg->[Invalid DP Indicator: X.]\n";
  EXPECT_EQ(run.console, std::string(kLengthMessage) + "]\n" + std::string(kTabMessage) + tabbed +
                             "]\n" + error + "[" + badDp + "]\n");
  EXPECT_EQ(run.log, std::string(kLengthMessage) + "]\n" + std::string(kTabMessage) + tabbed +
                         "]\n[" + badDp + "] " + error);
  EXPECT_EQ(run.output, copied + "\n");
}

TEST(CardLoopTest, EachTransactionLineIsOneWrite) {
  const LoopRun run = runLoop(kGoodCard + "\n" + kGoodCard + "\r\n" + kGoodCard);
  EXPECT_EQ(run.counts.linesWritten, 3);
  EXPECT_EQ(run.outputWrites, 3);
  EXPECT_EQ(run.output, kGoodLine + kGoodLine + kGoodLine);
}

TEST(CardLoopTest, LinesTheOutputRefusedAreNeitherWrittenNorErrors) {
  const LoopRun run = runLoop(kGoodCard + "\nshort\n" + kGoodCard + "\n");
  EXPECT_EQ(run.counts.cardsRead, 3);
  const LoopRun failed = runLoop(kGoodCard + "\nshort\n" + kGoodCard + "\n", true);
  EXPECT_EQ(failed.counts.cardsRead, 3);
  EXPECT_EQ(failed.counts.linesWritten, 0);
  EXPECT_EQ(failed.counts.errors, 1);
  EXPECT_EQ(failed.output, "");
}

// A file that takes at most `step` bytes per write and fails once it holds
// `room` bytes, as a full disk or a file-size limit does.
class LimitedFile final : public WritableFile {
 public:
  LimitedFile(std::size_t room, std::size_t step) : room_(room), step_(step) {}
  std::ptrdiff_t writeSome(std::string_view bytes) override {
    const std::size_t count = std::min({bytes.size(), step_, room_ - text.size()});
    if (count == 0) return -1;
    text.append(bytes.substr(0, count));
    return static_cast<std::ptrdiff_t>(count);
  }
  FileFault truncateTo(std::uint64_t size) override {
    text.resize(static_cast<std::size_t>(size));
    return {};
  }
  std::string text;

 private:
  std::size_t room_;
  std::size_t step_;
};

TEST(CardLoopTest, FilesThatFillUpEndOnTheLastLineCounted) {
  const std::string rejected = std::string(kLengthMessage) + "short]\n";
  struct Case {
    std::size_t room;
    std::size_t step;
    int lines;  // whole lines the output and the log keep
  };
  const Case cases[] = {{0, 1000, 0},   {10, 1000, 0}, {kGoodLine.size(), 7, 1},
                        {100, 1000, 1}, {150, 5, 2},   {10000, 3, 3}};
  for (const Case& c : cases) {
    StringDevice consoleDevice;
    consoleDevice.fail = true;  // a console that fails stops nothing
    LimitedFile outputFile(c.room, c.step);
    LimitedFile logFile(c.room * rejected.size() / kGoodLine.size(), c.step);
    FileDevice outputDevice(outputFile, Ending::kWholeLines);
    FileDevice logDevice(logFile, Ending::kWholeLines);
    TextSink console(&consoleDevice, LineEnd::kLf);
    TextSink output(&outputDevice, LineEnd::kLf);
    TextSink log(&logDevice, LineEnd::kLf);
    ConversionContext context(console);
    std::string input;
    for (int i = 0; i < 3; ++i) input += kGoodCard + "\nshort\n";
    MemorySource source(input);
    const RunCounts counts = runCardLoop(context, source, output, log);
    EXPECT_EQ(log.flush(), c.lines == 3);
    EXPECT_EQ(counts.cardsRead, 6) << c.room;
    EXPECT_EQ(counts.errors, 3) << c.room;
    EXPECT_EQ(counts.linesWritten, c.lines) << c.room;
    std::string lines;
    std::string rejections;
    for (int i = 0; i < c.lines; ++i) lines += kGoodLine, rejections += rejected;
    EXPECT_EQ(outputFile.text, lines) << c.room;
    EXPECT_EQ(logFile.text, rejections) << c.room;
  }
}

TEST(CardLoopTest, TerminalGetsTheMessagesOfACardInOneWrite) {
  // Duration code Q: each of the card's three readings is rejected.
  const std::string badCard = testing::cardWith(
      {{1, "1"}, {2, "123456789123451"}, {17, "Q007008140715063"}, {33, "0001 0002 0003 "}});
  StringDevice consoleDevice;
  StringDevice outputDevice;
  StringDevice logDevice;
  TextSink console(&consoleDevice, LineEnd::kLf, Delivery::kTerminal);
  TextSink output(&outputDevice, LineEnd::kLf);
  TextSink log(&logDevice, LineEnd::kLf);
  ConversionContext context(console);
  const std::string input = badCard + "\nshort\n" + kGoodCard + "\n";
  MemorySource source(input);
  const RunCounts counts = runCardLoop(context, source, output, log);
  EXPECT_EQ(counts.errors, 4);
  const std::string error =
      "ERROR->[-20301] Column->[DURATION_CODE] Msg->[Invalid Legacy Transaction Raw Interval]\n";
  const std::string shown = error + "[" + badCard + "]\n";
  EXPECT_EQ(consoleDevice.text, shown + shown + shown + std::string(kLengthMessage) + "short]\n");
  EXPECT_EQ(consoleDevice.writes, 2);
  // After the loop a terminal gets each line as it ends again.
  console.write("summary\n");
  EXPECT_EQ(consoleDevice.writes, 3);
}

TEST(CardLoopTest, OverlongAndNulLinesAreRejectedAndReadingGoesOn) {
  const std::string longLine = std::string(3000, 'y');
  const std::string withNul = kGoodCard + std::string("\0abcd", 5);  // 85 bytes
  const std::string nulInCard = std::string(kGoodCard).replace(50, 1, 1, '\0');
  const LoopRun run =
      runLoop(longLine + "\n" + withNul + "\n" + nulInCard + "\n" + kGoodCard + "\n");
  EXPECT_EQ(run.counts.cardsRead, 4);
  EXPECT_EQ(run.counts.errors, 3);
  EXPECT_EQ(run.counts.linesWritten, 1);
  const std::string expectedLog = std::string(kLengthMessage) + longLine.substr(0, 1023) + "]\n" +
                                  std::string(kLengthMessage) + kGoodCard + "]\n" +
                                  std::string(kLengthMessage) + kGoodCard.substr(0, 50) + "]\n";
  EXPECT_EQ(run.log, expectedLog);
  EXPECT_EQ(run.console, expectedLog);
  EXPECT_EQ(run.output, kGoodLine);
}

TEST(CardLoopTest, TabAnywhereBeforeANulChoosesTheTabMessage) {
  const std::string longTabbed = std::string(2000, 'a') + "\t";
  const std::string tabThenNul = std::string("a\tb\0c", 5);
  const std::string nulThenTab = std::string("ab\0\tc", 5);
  const LoopRun run = runLoop(longTabbed + "\n" + tabThenNul + "\n" + nulThenTab + "\n");
  EXPECT_EQ(run.log, std::string(kTabMessage) + longTabbed.substr(0, 1023) + "]\n" +
                         std::string(kTabMessage) + "a\tb]\n" + std::string(kLengthMessage) +
                         "ab]\n");
}

TEST(CardLoopTest, EightyCharacterLineWithTabIsConverted) {
  const std::string card = "5" + std::string(40, ' ') + "\t" + std::string(38, ' ');
  const LoopRun run = runLoop(card + "\n");
  EXPECT_EQ(run.counts.errors, 0);
  EXPECT_EQ(run.output, card + "\n");
}

}  // namespace
}  // namespace cardlift
