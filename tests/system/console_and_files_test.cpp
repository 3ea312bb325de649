// Runs the built program with its console and files arranged as a hostile
// user would: closed descriptors, the console on a file of the run, FIFOs,
// a file-size limit, a closed or full or non-blocking console, a terminal,
// a second run at the same time, and a long run watched on a terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "program_run.hpp"

namespace fs = std::filesystem;
using namespace cardlift_test;

namespace {

const std::string kCard =
    "2271050042532101100708797031513 30045                                          I";
const std::string kLine = "RD|I|27|105|0042|53210|1|1|007|087|19970315|13|0.045|||||||||||||||\n";
const std::string kBanner = "\nVersion 1.0 Build 2014.07.28.1022\n";
const std::string kLength = "ERROR: Transaction length must be 80 characters [";

// Opens name in the current folder onto descriptor number.
void redirect(int number, const char* name, int flags) {
  const int descriptor = open(name, flags, 0666);
  if (descriptor < 0) _exit(125);
  dup2(descriptor, number);
  close(descriptor);
}

// The rows a terminal shows after the bytes, trailing spaces dropped: a
// carriage return goes back to the start of the row, a line feed starts
// the next row.
std::string screenOf(const std::string& bytes) {
  std::vector<std::string> rows(1);
  std::size_t column = 0;
  for (const char c : bytes) {
    if (c == '\r' || c == '\n') {
      if (c == '\n') rows.emplace_back();
      column = 0;
      continue;
    }
    std::string& row = rows.back();
    if (row.size() <= column) row.resize(column + 1, ' ');
    row[column++] = c;
  }
  std::string screen;
  for (std::string& row : rows) {
    row.erase(row.find_last_not_of(' ') + 1);
    screen += (&row == &rows.front() ? "" : "\n") + row;
  }
  return screen;
}

std::string summary(int read, int errors, int wrote) {
  return "\nRead:\t" + std::to_string(read) + "\ttransactions from file [in]\nErrors:\t" +
         std::to_string(errors) + "\ttransactions written to [log]\nWrote:\t" +
         std::to_string(wrote) + "\ttransactions to file [out]\n";
}

class ConsoleAndFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("cardlift-console-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    // Two cards and a rejected line.
    writeFile(dir_ / "in", kCard + "\nshort\n" + kCard + "\n");
    writeFile(dir_ / "out", "old output\n");
    writeFile(dir_ / "log", "old log\n");
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(ConsoleAndFilesTest, ClosedStandardDescriptorsNeverBecomeTheFiles) {
  for (const std::vector<int>& closed : {std::vector<int>{0, 1}, std::vector<int>{0, 1, 2}}) {
    const ProgramRun run = runProgram({"in", "out", "log"}, dir_, [&] {
      for (const int number : closed) close(number);
    });
    EXPECT_EQ(run.status, 0) << closed.size();
    EXPECT_EQ(readFile(dir_ / "out"), kLine + kLine) << closed.size();
    EXPECT_EQ(readFile(dir_ / "log"), kLength + "short]\n") << closed.size();
  }
}

TEST_F(ConsoleAndFilesTest, ConsoleOnAFileOfTheRun) {
  const std::string input = readFile(dir_ / "in");
  struct Case {
    const char* name;
    int descriptor;  // 0, 1 or 2
    int flags;
    std::vector<std::string> arguments;
    int status;
    std::string in, out, log;  // the files afterwards; "console" where the console went
    std::string reasons;
  };
  const int truncate = O_WRONLY | O_CREAT | O_TRUNC;
  const int append = O_WRONLY | O_CREAT | O_APPEND;
  const std::vector<std::string> files = {"in", "out", "log"};
  const std::string refusedLog = kBanner + kLength + "short]\n" +
                                 "\nRead:\t3\ttransactions from file [in]\nErrors:\t1\t"
                                 "transactions written to [log]\n"
                                 "ERROR: Unable to open error log file [log]\n"
                                 "Wrote:\t2\ttransactions to file [out]\n";
  // A console that is the input or the output gets nothing at all.
  const Case cases[] = {
      {"out", 1, truncate, files, 19, input, "", "old log\n",
       "cardlift: out: is the standard output\n"},
      {"log", 1, truncate, files, 18, input, kLine + kLine, refusedLog,
       "cardlift: log: is the standard output\n"},
      {"in", 1, append, files, 20, input, "old output\n", "old log\n",
       "cardlift: in: is the standard output\n"},
      // 1<>in: the input opened for reading and writing as the console.
      {"in", 1, O_RDWR, files, 20, input, "old output\n", "old log\n",
       "cardlift: in: is the standard output\n"},
      // Standard error on a file of the run gets no reasons.
      {"log", 2, append, {"missing", "out", "log"}, 20, input, "old output\n", "old log\n", ""},
      // An output on the standard input, a pipe nobody else reads, would
      // wait for ever once the pipe is full.
      {"pipe",
       0,
       0,
       {"in", "/dev/stdin", "log"},
       19,
       input,
       "old output\n",
       "old log\n",
       "cardlift: /dev/stdin: is the standard input\n"},
  };
  for (const Case& c : cases) {
    writeFile(dir_ / "in", input);
    writeFile(dir_ / "out", "old output\n");
    writeFile(dir_ / "log", "old log\n");
    const ProgramRun run = runProgram(c.arguments, dir_, [&] {
      if (c.descriptor != 0) {
        redirect(c.descriptor, c.name, c.flags);
        return;
      }
      // The write end stays open in the program: no end of input either.
      int ends[2];
      if (pipe(ends) != 0) _exit(125);
      dup2(ends[0], 0);
      close(ends[0]);
    });
    EXPECT_EQ(run.status, c.status) << c.name;
    EXPECT_EQ(readFile(dir_ / "in"), c.in) << c.name;
    EXPECT_EQ(readFile(dir_ / "out"), c.out) << c.name;
    EXPECT_EQ(readFile(dir_ / "log"), c.log) << c.name;
    EXPECT_EQ(run.reasons, c.reasons) << c.name;
  }
}

TEST_F(ConsoleAndFilesTest, FifoNamedAsInputAndOutputIsRefused) {
  ASSERT_EQ(mkfifo((dir_ / "ff").c_str(), 0600), 0);
  // Read and write ends at once: the program's opening never waits.
  const int fifo = open((dir_ / "ff").c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(fifo, 0);
  ASSERT_EQ(write(fifo, (kCard + "\n").data(), kCard.size() + 1),
            static_cast<ssize_t>(kCard.size() + 1));
  const ProgramRun run = runProgram({"ff", "ff", "log"}, dir_);
  close(fifo);
  EXPECT_EQ(run.status, 19);
  EXPECT_EQ(run.console, kBanner +
                             "\nRead:\t0\ttransactions from file [ff]\nErrors:\t0\t"
                             "transactions written to [log]\n"
                             "ERROR: Unable to open output file [ff]\n");
  EXPECT_EQ(run.reasons, "cardlift: ff: is the input file\n");
  EXPECT_EQ(readFile(dir_ / "log"), "old log\n");
}

TEST_F(ConsoleAndFilesTest, FileSizeLimitLeavesWholeLines) {
  std::string input;
  for (int i = 0; i < 100; ++i) input += kCard + "\n";
  writeFile(dir_ / "in", input);
  const ProgramRun run = runProgram({"in", "out", "log"}, dir_, [] {
    const rlimit limit{1000, 1000};
    setrlimit(RLIMIT_FSIZE, &limit);
  });
  const int whole = 1000 / static_cast<int>(kLine.size());
  EXPECT_EQ(run.status, 17);
  EXPECT_EQ(run.console,
            kBanner + summary(100, 0, whole) + "ERROR: Unable to write to output file [out]\n");
  EXPECT_EQ(run.reasons, "cardlift: out: " + std::string(strerror(EFBIG)) + "\n");
  std::string lines;
  for (int i = 0; i < whole; ++i) lines += kLine;
  EXPECT_EQ(readFile(dir_ / "out"), lines);
}

TEST_F(ConsoleAndFilesTest, ConsoleThatFailsStopsNothing) {
  // Enough rejected lines to fill any pipe.
  std::string input;
  for (int i = 0; i < 5000; ++i) input += kCard + "\nshort line " + std::to_string(i) + "\n";
  writeFile(dir_ / "in", input);
  std::string rejected;
  for (int i = 0; i < 5000; ++i) rejected += kLength + "short line " + std::to_string(i) + "]\n";
  std::string lines;
  for (int i = 0; i < 5000; ++i) lines += kLine;

  struct Case {
    const char* what;
    std::function<void()> setup;
    std::string reason;
  };
  const Case cases[] = {
      {"closed pipe",
       [] {
         int ends[2];
         if (pipe(ends) != 0) _exit(125);
         dup2(ends[1], 1);
         close(ends[0]);
         close(ends[1]);
       },
       strerror(EPIPE)},
      {"full device", [] { redirect(1, "/dev/full", O_WRONLY); }, strerror(ENOSPC)},
  };
  for (const Case& c : cases) {
    const ProgramRun run = runProgram({"in", "out", "log"}, dir_, c.setup);
    EXPECT_EQ(run.status, 17) << c.what;
    EXPECT_EQ(run.reasons, "cardlift: standard output: " + c.reason + "\n") << c.what;
    EXPECT_EQ(readFile(dir_ / "out"), lines) << c.what;
    EXPECT_EQ(readFile(dir_ / "log"), rejected) << c.what;
  }

  // A console that would block is waited for, not dropped.
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  fcntl(ends[1], F_SETFL, O_NONBLOCK);
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(dir_.c_str()) != 0) _exit(126);
    dup2(ends[1], 1);
    close(ends[0]);
    close(ends[1]);
    alarm(30);
    execl(CARDLIFT_PROGRAM, CARDLIFT_PROGRAM, "in", "out", "log", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ends[1]);
  // Let the pipe fill before anything is taken from it.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const std::string console = drain(ends[0]);
  close(ends[0]);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(console, kBanner + rejected + summary(10000, 5000, 5000));
}

TEST_F(ConsoleAndFilesTest, TerminalShowsControlBytesAsQuestionMarks) {
  const std::string hostile = "\x1B]0;owned\x07\x1B[2J\rx";
  writeFile(dir_ / "in", hostile + "\n");
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const std::string terminal = ptsname(master);
  const ProgramRun run =
      runProgram({"in", "out", "log"}, dir_, [&] { redirect(1, terminal.c_str(), O_WRONLY); });
  // The terminal keeps what was written after the program ends.
  fcntl(master, F_SETFL, O_NONBLOCK);
  const std::string shown = drain(master);
  close(master);
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(shown.find(kLength + "?]0;owned??[2J?x]"), std::string::npos) << shown;
  EXPECT_EQ(shown.find('\x1B'), std::string::npos);
  EXPECT_EQ(readFile(dir_ / "log"), kLength + hostile + "]\n");
}

TEST_F(ConsoleAndFilesTest, LongRunShowsProgressOnlyOnATerminal) {
  // The output is a FIFO read slowly, so that the run takes about two
  // seconds on any machine; now and then a rejected line.
  constexpr int kCards = 60000;
  std::string input;
  std::string console = kBanner;
  for (int i = 1; i <= kCards; ++i) {
    input += kCard + "\n";
    if (i % 6000 != 0) continue;
    input += "short " + std::to_string(i) + "\n";
    console += kLength + "short " + std::to_string(i) + "]\n";
  }
  console += summary(kCards + 10, 10, kCards);
  std::string lines;
  for (int i = 0; i < kCards; ++i) lines += kLine;
  writeFile(dir_ / "in", input);
  fs::remove(dir_ / "out");
  ASSERT_EQ(mkfifo((dir_ / "out").c_str(), 0600), 0);
  const std::regex progress(
      "\rcardlift: [0-9,]+ cards  [0-9]+%  [0-9,]+ cards/s  about [0-9]+ s left");

  struct Case {
    const char* what;
    bool errorOnTerminal, outputOnTerminal;
  };
  const Case cases[] = {
      {"no terminal", false, false},
      {"standard error on a terminal", true, false},
      {"both on the same terminal", true, true},
  };
  for (const Case& c : cases) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string terminal = ptsname(master);

    std::string written;
    std::thread reader([&] {
      // Waits until the run opens its output.
      const int fifo = open((dir_ / "out").c_str(), O_RDONLY | O_CLOEXEC);
      char buffer[65536];
      ssize_t count = 0;
      while ((count = read(fifo, buffer, sizeof buffer)) > 0) {
        written.append(buffer, static_cast<std::size_t>(count));
        // About 2 MB a second.
        std::this_thread::sleep_for(std::chrono::microseconds(count / 2));
      }
      close(fifo);
    });
    const ProgramRun run = runProgram({"in", "out", "log"}, dir_, [&] {
      if (c.errorOnTerminal) redirect(2, terminal.c_str(), O_WRONLY);
      if (c.outputOnTerminal) redirect(1, terminal.c_str(), O_WRONLY);
    });
    // Frees the reader should the run never have opened its output.
    close(open((dir_ / "out").c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    reader.join();
    fcntl(master, F_SETFL, O_NONBLOCK);
    const std::string shown = drain(master);
    close(master);

    EXPECT_EQ(run.status, 0) << c.what;
    EXPECT_EQ(written, lines) << c.what;
    EXPECT_EQ(run.reasons, "") << c.what;
    EXPECT_EQ(run.console, c.outputOnTerminal ? "" : console) << c.what;
    // Every console line whole, and the progress line erased at the end.
    EXPECT_EQ(screenOf(shown), c.outputOnTerminal ? console : "") << c.what;
    EXPECT_EQ(std::regex_search(shown, progress), c.errorOnTerminal) << c.what << shown;
  }
}

TEST_F(ConsoleAndFilesTest, SecondRunCannotTakeTheFilesOfARunInProgress) {
  // The first run reads a FIFO that stays open, and so holds its files.
  ASSERT_EQ(mkfifo((dir_ / "ff").c_str(), 0600), 0);
  const int fifo = open((dir_ / "ff").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(fifo, 0);
  ProgramRun first;
  std::thread firstRun([&] { first = runProgram({"ff", "out", "log"}, dir_); });
  ASSERT_EQ(write(fifo, (kCard + "\n").data(), kCard.size() + 1),
            static_cast<ssize_t>(kCard.size() + 1));
  for (int i = 0; i < 300 && readFile(dir_ / "out") != kLine; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_EQ(readFile(dir_ / "out"), kLine);

  writeFile(dir_ / "in2", kCard + "\n");
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string reason;
  };
  const Case cases[] = {
      {{"in2", "out", "log2"}, 19, "cardlift: out: is in use by another process\n"},
      {{"in2", "out2", "log"}, 18, "cardlift: log: is in use by another process\n"},
      {{"out", "out2", "log2"}, 20, "cardlift: out: is in use by another process\n"},
  };
  for (const Case& c : cases) {
    const ProgramRun second = runProgram(c.arguments, dir_);
    EXPECT_EQ(second.status, c.status) << c.arguments[0];
    EXPECT_EQ(second.reasons, c.reason) << c.arguments[0];
  }
  EXPECT_EQ(readFile(dir_ / "out"), kLine);

  ASSERT_EQ(write(fifo, (kCard + "\n").data(), kCard.size() + 1),
            static_cast<ssize_t>(kCard.size() + 1));
  close(fifo);
  firstRun.join();
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(readFile(dir_ / "out"), kLine + kLine);
}

}  // namespace
