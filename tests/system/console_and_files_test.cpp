// Runs the built program with its console and files arranged as a hostile
// user would: closed descriptors, the console on a file of the run, FIFOs,
// a file-size limit, a closed or full or non-blocking console, a terminal,
// a second run at the same time, and a long run watched on a terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/loop.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
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
// the next row, and a character written in the last column moves on to
// the next row when another follows. The terminal is `width` columns wide
// for `before`, then `narrowed` wide for `after`; narrowing cuts the rows.
std::string screenOf(const std::string& before, std::size_t width, const std::string& after,
                     std::size_t narrowed) {
  std::vector<std::string> rows(1);
  std::size_t column = 0;
  bool wrapPending = false;
  const auto show = [&](const std::string& bytes) {
    for (const char c : bytes) {
      if (c == '\r' || c == '\n') {
        if (c == '\n') rows.emplace_back();
        column = 0;
        wrapPending = false;
        continue;
      }
      if (wrapPending) {
        rows.emplace_back();
        column = 0;
        wrapPending = false;
      }
      std::string& row = rows.back();
      if (row.size() <= column) row.resize(column + 1, ' ');
      row[column] = c;
      if (column + 1 == width) {
        wrapPending = true;
      } else {
        ++column;
      }
    }
  };
  show(before);
  width = narrowed;
  for (std::string& row : rows) row.resize(std::min(row.size(), width));
  column = std::min(column, width - 1);
  show(after);
  std::string screen;
  for (std::string& row : rows) {
    row.erase(row.find_last_not_of(' ') + 1);
    screen += (&row == &rows.front() ? "" : "\n") + row;
  }
  return screen;
}

std::string repeated(const std::string& text, std::size_t times) {
  std::string all;
  for (std::size_t i = 0; i < times; ++i) all += text;
  return all;
}

// A run of the program whose output is a FIFO read slowly, about 2 MB a
// second, so that a run of 60,000 cards takes about two seconds on any
// machine; what it wrote there.
struct SlowRun {
  ProgramRun run;
  std::string written;
};

SlowRun runWithSlowOutput(const fs::path& dir, const std::vector<std::string>& arguments,
                          const std::function<void()>& setup) {
  fs::remove(dir / "out");
  SlowRun slow;
  if (mkfifo((dir / "out").c_str(), 0600) != 0) return slow;
  std::thread reader([&] {
    // Waits until the run opens its output.
    const int fifo = open((dir / "out").c_str(), O_RDONLY | O_CLOEXEC);
    char buffer[65536];
    ssize_t count = 0;
    while ((count = read(fifo, buffer, sizeof buffer)) > 0) {
      slow.written.append(buffer, static_cast<std::size_t>(count));
      std::this_thread::sleep_for(std::chrono::microseconds(count / 2));
    }
    close(fifo);
  });
  slow.run = runProgram(arguments, dir, setup);
  // Frees the reader should the run never have opened its output.
  close(open((dir / "out").c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
  reader.join();
  return slow;
}

// In the child: makes terminal its controlling terminal, with writers
// from the background stopped (stty tostop), and gives the foreground to
// another process group.
void runInTheBackgroundOf(const std::string& terminal) {
  setsid();
  const int descriptor = open(terminal.c_str(), O_RDWR);
  if (descriptor < 0) _exit(125);
  termios modes{};
  tcgetattr(descriptor, &modes);
  modes.c_lflag |= TOSTOP;
  tcsetattr(descriptor, TCSANOW, &modes);
  const pid_t holder = fork();
  if (holder == 0) {
    for (int other = 0; other < 256; ++other) close(other);
    setpgid(0, 0);
    alarm(20);
    pause();
    _exit(0);
  }
  setpgid(holder, holder);
  if (tcsetpgrp(descriptor, holder) != 0) _exit(125);
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
  const std::string input = readFile(dir_ / "in");
  struct Case {
    std::vector<int> closed;
    // No null device to take their place: /dev is an empty folder.
    bool noNullDevice;
  };
  const Case cases[] = {{{0, 1}, false}, {{0, 1, 2}, false}, {{1, 2}, true}, {{0, 1, 2}, true}};
  int skipped = 0;
  for (const Case& c : cases) {
    const ProgramRun run = runProgram({"in", "out", "log"}, dir_, [&] {
      if (c.noNullDevice && (unshare(CLONE_NEWNS) != 0 ||
                             mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                             mount("none", "/dev", "tmpfs", 0, nullptr) != 0)) {
        _exit(124);
      }
      for (const int number : c.closed) close(number);
    });
    if (run.status == 124) {
      ++skipped;
      continue;
    }
    EXPECT_EQ(run.status, 0) << c.closed.size() << c.noNullDevice;
    EXPECT_EQ(readFile(dir_ / "in"), input) << c.closed.size() << c.noNullDevice;
    EXPECT_EQ(readFile(dir_ / "out"), kLine + kLine) << c.closed.size() << c.noNullDevice;
    EXPECT_EQ(readFile(dir_ / "log"), kLength + "short]\n") << c.closed.size() << c.noNullDevice;
  }
  // Shown as skipped, not as passed, when rows could not run.
  if (skipped > 0) GTEST_SKIP() << skipped << " rows need a private /dev (CAP_SYS_ADMIN)";
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

TEST_F(ConsoleAndFilesTest, FileSystemFailuresAreSaid) {
  writeFile(dir_ / "in", repeated(kCard + "\n", 100));
  const std::size_t whole = 1000 / kLine.size();
  const std::string notLocked = std::string(": not locked: ") + strerror(ENOLCK) + "\n";
  const std::string lost = std::string(": ") + strerror(EIO) + "\n";
  struct Case {
    const char* faults;  // the calls the file system refuses
    bool sizeLimit;      // a file-size limit of 1000 bytes
    int status;
    std::string failures;  // after the summary
    std::string reasons;
    std::string out;
  };
  const Case cases[] = {
      // Whole lines are left, and they are those counted.
      {"", true, 17, "ERROR: Unable to write to output file [out]\n",
       "cardlift: out: " + std::string(strerror(EFBIG)) + "\n", repeated(kLine, whole)},
      {"ftruncate", true, 17, "ERROR: Unable to write to output file [out]\n",
       "cardlift: out: " + std::string(strerror(EFBIG)) + "\ncardlift: out: could not remove " +
           "a partial line" + lost,
       repeated(kLine, 100).substr(0, 1000)},
      {"flock", false, 0, "",
       "cardlift: in" + notLocked + "cardlift: out" + notLocked + "cardlift: log" + notLocked,
       repeated(kLine, 100)},
      // "Wrote" means stored.
      {"fsync", false, 17,
       "ERROR: Unable to write to output file [out]\nERROR: Unable to write to error log file "
       "[log]\n",
       "cardlift: out" + lost + "cardlift: log" + lost, repeated(kLine, 100)},
  };
  for (const Case& c : cases) {
    const ProgramRun run = runProgram({"in", "out", "log"}, dir_, [&] {
      setenv("CARDLIFT_FAULTS", c.faults, 1);
      setenv("LD_PRELOAD", CARDLIFT_FAULT_SHIM, 1);
      // A sanitizer's runtime would rather come first.
      const char* options = getenv("ASAN_OPTIONS");
      setenv("ASAN_OPTIONS",
             (std::string(options == nullptr ? "" : options) + ":verify_asan_link_order=0").c_str(),
             1);
      if (!c.sizeLimit) return;
      const rlimit limit{1000, 1000};
      setrlimit(RLIMIT_FSIZE, &limit);
    });
    const int wrote = c.sizeLimit ? static_cast<int>(whole) : 100;
    EXPECT_EQ(run.status, c.status) << c.faults;
    EXPECT_EQ(run.console, kBanner + summary(100, 0, wrote) + c.failures) << c.faults;
    EXPECT_EQ(run.reasons, c.reasons) << c.faults;
    EXPECT_EQ(readFile(dir_ / "out"), c.out) << c.faults;
  }
}

TEST_F(ConsoleAndFilesTest, OneDiskThroughTwoNodesIsOneFile) {
  // A loop device over a scratch file, and a second node of it made here.
  writeFile(dir_ / "disk", std::string(65536, '\n'));
  const int control = open("/dev/loop-control", O_RDWR | O_CLOEXEC);
  const int number = control < 0 ? -1 : ioctl(control, LOOP_CTL_GET_FREE);
  if (control >= 0) close(control);
  if (number < 0) GTEST_SKIP() << "no loop device can be had here";
  const std::string device = "/dev/loop" + std::to_string(number);
  const int loop = open(device.c_str(), O_RDWR | O_CLOEXEC);
  const int backing = open((dir_ / "disk").c_str(), O_RDWR | O_CLOEXEC);
  const bool attached = loop >= 0 && backing >= 0 && ioctl(loop, LOOP_SET_FD, backing) == 0;
  if (backing >= 0) close(backing);
  if (!attached) {
    if (loop >= 0) close(loop);
    GTEST_SKIP() << "loop device " << device << " cannot be attached here";
  }
  // A node made on a file system mounted nodev cannot be opened.
  bool second = mknod((dir_ / "second").c_str(), S_IFBLK | 0600,
                      makedev(7, static_cast<unsigned>(number))) == 0;
  if (second) {
    const int node = open((dir_ / "second").c_str(), O_RDONLY | O_CLOEXEC);
    second = node >= 0;
    if (second) close(node);
  }
  ProgramRun run;
  if (second) run = runProgram({device, "second", "log"}, dir_);
  ioctl(loop, LOOP_CLR_FD, 0);
  close(loop);
  if (!second) GTEST_SKIP() << "device nodes cannot be made here";
  EXPECT_EQ(run.status, 19);
  EXPECT_EQ(run.reasons, "cardlift: second: is the input file\n");
  EXPECT_EQ(readFile(dir_ / "disk"), std::string(65536, '\n'));
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
  const std::string hostile =
      "\x1B]0;owned\x07\x1B[2J\rx\xC2\x9B"
      "2J";
  writeFile(dir_ / "in", hostile + "\n");
  // A name that would make a console line of its own.
  const std::string forged = "log\nWrote:\t0\ttransactions to file [x]";
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const std::string terminal = ptsname(master);
  const ProgramRun run =
      runProgram({"in", "out", forged}, dir_, [&] { redirect(1, terminal.c_str(), O_WRONLY); });
  // The terminal keeps what was written after the program ends.
  fcntl(master, F_SETFL, O_NONBLOCK);
  const std::string shown = drain(master);
  close(master);
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(shown.find(kLength + "?]0;owned??[2J?x?2J]"), std::string::npos) << shown;
  EXPECT_NE(shown.find("[log?Wrote:"), std::string::npos) << shown;
  EXPECT_EQ(shown.find('\x1B'), std::string::npos);
  EXPECT_EQ(shown.find("\xC2\x9B"), std::string::npos);
  EXPECT_EQ(readFile(dir_ / forged), kLength + hostile + "]\n");
}

TEST_F(ConsoleAndFilesTest, LongRunShowsProgressOnlyOnATerminal) {
  // Now and then a rejected line.
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
  const std::regex progress(
      "\rcardlift: [0-9,]+ cards  [0-9]+%  [0-9,]+ cards/s  about [0-9]+ s left");

  struct Case {
    const char* what;
    bool errorOnTerminal, outputOnTerminal;
    // Run in the background of the terminal, which stops writers there.
    bool background = false;
    // The terminal's width after a second, where it changes.
    unsigned short narrowedTo = 0;
  };
  const Case cases[] = {
      {"no terminal", false, false},
      {"standard error on a terminal", true, false},
      {"both on the same terminal", true, true},
      {"in the background", true, false, true},
      {"narrowed", true, false, false, 40},
  };
  for (const Case& c : cases) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string terminal = ptsname(master);
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 100;
    ioctl(master, TIOCSWINSZ, &size);
    fcntl(master, F_SETFL, O_NONBLOCK);

    std::string shownBefore;
    std::thread narrower([&] {
      if (c.narrowedTo == 0) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(1400));
      shownBefore = drain(master);
      size.ws_col = c.narrowedTo;
      ioctl(master, TIOCSWINSZ, &size);
    });
    const SlowRun slow = runWithSlowOutput(dir_, {"in", "out", "log"}, [&] {
      if (c.background) runInTheBackgroundOf(terminal);
      if (c.errorOnTerminal) redirect(2, terminal.c_str(), O_WRONLY);
      if (c.outputOnTerminal) redirect(1, terminal.c_str(), O_WRONLY);
    });
    narrower.join();
    const std::string shown = drain(master);
    close(master);

    EXPECT_EQ(slow.run.status, 0) << c.what;
    EXPECT_EQ(slow.written, lines) << c.what;
    EXPECT_EQ(slow.run.reasons, "") << c.what;
    EXPECT_EQ(slow.run.console, c.outputOnTerminal ? "" : console) << c.what;
    // Every console line whole, and the progress line erased at the end,
    // whatever width the terminal had.
    const std::string screen =
        screenOf(shownBefore, 100, shown, c.narrowedTo == 0 ? 100 : c.narrowedTo);
    EXPECT_EQ(screen, c.outputOnTerminal ? console : std::string(screen.size(), '\n')) << c.what;
    EXPECT_EQ(std::regex_search(shownBefore + shown, progress), c.errorOnTerminal && !c.background)
        << c.what << shown;
  }
}

TEST_F(ConsoleAndFilesTest, StoppedRunKeepsEveryRejectionOfTheCardsInTheOutput) {
  // Each card follows a rejected line that names it.
  constexpr int kCards = 60000;
  std::string input;
  for (int i = 1; i <= kCards; ++i) input += "short " + std::to_string(i) + "\n" + kCard + "\n";
  writeFile(dir_ / "in", input);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
    const SlowRun slow = runWithSlowOutput(dir_, {"in", "out", "log"}, [signal] {
      // Signals a shell may have ignored for the test get their usual effect.
      std::signal(signal, SIG_DFL);
      // This process becomes the program; the signal goes to no other
      // process that may have taken its place as the parent.
      const pid_t program = getpid();
      if (fork() == 0) {
        for (int descriptor = 0; descriptor < 3; ++descriptor) close(descriptor);
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        if (getppid() == program) kill(program, signal);
        _exit(0);
      }
    });
    EXPECT_EQ(slow.run.status, -signal) << signal;
    const std::size_t cards = slow.written.size() / kLine.size();
    EXPECT_GT(cards, 0u) << signal;
    EXPECT_LT(cards, static_cast<std::size_t>(kCards)) << signal;
    EXPECT_EQ(slow.written, repeated(kLine, cards)) << signal;
    // At least the rejections before every card in the output, each whole.
    const std::string log = readFile(dir_ / "log");
    std::string rejections;
    for (std::size_t i = 1; i <= cards; ++i) {
      rejections += kLength + "short " + std::to_string(i) + "]\n";
    }
    EXPECT_EQ(log.substr(0, rejections.size()), rejections) << signal;
    EXPECT_TRUE(!log.empty() && log.back() == '\n') << signal;
  }
}

TEST_F(ConsoleAndFilesTest, InputChangedDuringTheRunIsAReadError) {
  constexpr int kCards = 60000;
  const std::string input = repeated(kCard + "\n", kCards);
  writeFile(dir_ / "other", repeated(kCard + "\n", 10));
  // What cp and truncate do to the file: written over in place, cut short.
  struct Change {
    const char* change;
    std::function<void()> make;
  };
  const Change changes[] = {
      {"written over",
       [&] { fs::copy_file(dir_ / "other", dir_ / "in", fs::copy_options::overwrite_existing); }},
      {"cut short", [&] { fs::resize_file(dir_ / "in", 8100); }},
  };
  for (const Change& c : changes) {
    const char* change = c.change;
    writeFile(dir_ / "in", input);
    std::thread changer([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(700));
      c.make();
    });
    const SlowRun slow = runWithSlowOutput(dir_, {"in", "out", "log"}, [] {});
    changer.join();
    EXPECT_EQ(slow.run.status, 16) << change;
    const std::string failure = "ERROR: Unable to read input file [in]\n";
    ASSERT_GE(slow.run.console.size(), failure.size()) << change;
    EXPECT_EQ(slow.run.console.substr(slow.run.console.size() - failure.size()), failure) << change;
    EXPECT_EQ(slow.run.reasons, "cardlift: in: changed while it was read\n") << change;
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
