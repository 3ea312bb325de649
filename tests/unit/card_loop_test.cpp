// The card loop over in-memory input: counts, console, log and output.
#include "driver/card_loop.hpp"

#include <gtest/gtest.h>

#include <string>

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
