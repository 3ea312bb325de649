// Runs the built program with its console and files arranged as a hostile
// user would: closed descriptors, the console on a file of the run, FIFOs,
// a file-size limit, a closed or full or non-blocking console, a terminal,
// and a second run at the same time.
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
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kCard =
    "2271050042532101100708797031513 30045                                          I";
const std::string kLine = "RD|I|27|105|0042|53210|1|1|007|087|19970315|13|0.045|||||||||||||||\n";
const std::string kBanner = "\nVersion 1.0 Build 2014.07.28.1022\n";
const std::string kLength = "ERROR: Transaction length must be 80 characters [";

struct ProgramRun {
  int status = -1;  // the exit status, or -signal when a signal ended it
  std::string console;
  std::string reasons;
};

std::string drain(int descriptor) {
  std::string text;
  char buffer[65536];
  for (;;) {
    const ssize_t count = read(descriptor, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    text.append(buffer, static_cast<std::size_t>(count));
  }
  return text;
}

// Runs the program in dir; setup runs in the child before the program
// starts and may take over its descriptors. Standard output and standard
// error are collected when setup leaves them alone.
ProgramRun runProgram(
    const std::vector<std::string>& arguments, const fs::path& dir,
    const std::function<void()>& setup = [] {}) {
  int out[2];
  int err[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(dir.c_str()) != 0) _exit(126);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (const int descriptor : {out[0], out[1], err[0], err[1]}) close(descriptor);
    // A run that hangs ends the test instead of stopping it.
    alarm(30);
    setup();
    std::vector<char*> argv;
    std::string program = CARDLIFT_PROGRAM;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  ProgramRun run;
  std::thread reasons([&] { run.reasons = drain(err[0]); });
  run.console = drain(out[0]);
  reasons.join();
  close(out[0]);
  close(err[0]);
  int status = 0;
  waitpid(child, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  return run;
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Opens name in the current folder onto descriptor number.
void redirect(int number, const char* name, int flags) {
  const int descriptor = open(name, flags, 0666);
  if (descriptor < 0) _exit(125);
  dup2(descriptor, number);
  close(descriptor);
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
    int descriptor;  // 1 or 2
    int flags;
    int status;
    std::string in, out, log;  // the files afterwards; "console" where the console went
    std::string reasons;
  };
  const int truncate = O_WRONLY | O_CREAT | O_TRUNC;
  const int append = O_WRONLY | O_CREAT | O_APPEND;
  const std::string refusedOutput = kBanner +
                                    "\nRead:\t0\ttransactions from file [in]\nErrors:\t0\t"
                                    "transactions written to [log]\n"
                                    "ERROR: Unable to open output file [out]\n";
  const std::string refusedLog = kBanner + kLength + "short]\n" +
                                 "\nRead:\t3\ttransactions from file [in]\nErrors:\t1\t"
                                 "transactions written to [log]\n"
                                 "ERROR: Unable to open error log file [log]\n"
                                 "Wrote:\t2\ttransactions to file [out]\n";
  const std::string refusedInput = kBanner +
                                   "ERROR: Unable to open input file [in]\n\nErrors:\t0\t"
                                   "transactions written to [log]\n"
                                   "Wrote:\t0\ttransactions to file [out]\n";
  const Case cases[] = {
      {"out", 1, truncate, 19, input, refusedOutput, "old log\n",
       "cardlift: out: is the standard output\n"},
      {"log", 1, truncate, 18, input, kLine + kLine, refusedLog,
       "cardlift: log: is the standard output\n"},
      {"in", 1, append, 20, input + refusedInput, "old output\n", "old log\n",
       "cardlift: in: is the standard output\n"},
      // Standard error on a file of the run gets no reasons.
      {"log", 2, append, 20, input, "old output\n", "old log\n", ""},
  };
  for (const Case& c : cases) {
    writeFile(dir_ / "in", input);
    writeFile(dir_ / "out", "old output\n");
    writeFile(dir_ / "log", "old log\n");
    const std::vector<std::string> arguments = {c.descriptor == 2 ? "missing" : "in", "out", "log"};
    const ProgramRun run =
        runProgram(arguments, dir_, [&] { redirect(c.descriptor, c.name, c.flags); });
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
