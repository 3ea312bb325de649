// Runs the built program on hostile inputs and names: huge lines, random
// bytes, odd file names, files that cannot be opened or written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "program_run.hpp"

namespace fs = std::filesystem;
using namespace cardlift_test;

// Sanitizer builds keep shadow memory: their peak memory says nothing.
#if defined(__SANITIZE_ADDRESS__)
#define CARDLIFT_MEASURES_MEMORY 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CARDLIFT_MEASURES_MEMORY 0
#endif
#endif
#ifndef CARDLIFT_MEASURES_MEMORY
#define CARDLIFT_MEASURES_MEMORY 1
#endif

namespace {

const std::string kLength = "ERROR: Transaction length must be 80 characters [";
const std::string kBanner = "\nVersion 1.0 Build 2014.07.28.1022\n";

std::string summary(std::int64_t read, const std::string& input, std::int64_t errors,
                    const std::string& log, std::int64_t wrote, const std::string& output) {
  return "\nRead:\t" + std::to_string(read) + "\ttransactions from file [" + input +
         "]\nErrors:\t" + std::to_string(errors) + "\ttransactions written to [" + log +
         "]\nWrote:\t" + std::to_string(wrote) + "\ttransactions to file [" + output + "]\n";
}

class HostileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("cardlift-hostile-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(dir_, fs::perms::owner_all, ignored);
    fs::remove_all(dir_, ignored);
  }
  fs::path dir_;
};

const std::string kCard =
    "2271050042532101100708797031513 30045                                          I";
const std::string kLine = "RD|I|27|105|0042|53210|1|1|007|087|19970315|13|0.045|||||||||||||||\n";

TEST_F(HostileTest, TenThousandEmptyLines) {
  writeFile(dir_ / "in", std::string(10000, '\n'));
  const ProgramRun run = runProgram({"in", "out", "log"}, dir_);
  std::string rejected;
  for (int i = 0; i < 10000; ++i) rejected += kLength + "]\n";
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.console, kBanner + rejected + summary(10000, "in", 10000, "log", 0, "out"));
  EXPECT_EQ(readFile(dir_ / "log"), rejected);
  EXPECT_EQ(readFile(dir_ / "out"), "");
}

TEST_F(HostileTest, OnlyACarriageReturn) {
  writeFile(dir_ / "in", "\r");
  const ProgramRun run = runProgram({"in", "out", "log"}, dir_);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(readFile(dir_ / "log"), kLength + "\r]\n");
  EXPECT_EQ(run.console, kBanner + kLength + "\r]\n" + summary(1, "in", 1, "log", 0, "out"));
}

TEST_F(HostileTest, RandomBytesRunToTheEnd) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 20; ++round) {
    std::string bytes(static_cast<std::size_t>(4096 + round * 997), '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    // Some good cards in between, which must come through untouched.
    bytes += "\n" + kCard + "\n";
    writeFile(dir_ / "in", bytes);
    const ProgramRun run = runProgram({"in", "out", "log"}, dir_);
    ASSERT_EQ(run.status, 0) << "round " << round;
    const std::string output = readFile(dir_ / "out");
    EXPECT_GE(output.size(), kLine.size());
    EXPECT_EQ(output.substr(output.size() - kLine.size()), kLine) << "round " << round;
    const auto lines = std::count(bytes.begin(), bytes.end(), '\n');
    EXPECT_NE(run.console.find("\nRead:\t" + std::to_string(lines) + "\t"), std::string::npos)
        << "round " << round;
  }
}

TEST_F(HostileTest, OneGibibyteLineInBoundedMemory) {
  // A line of 1 GiB without a line end, then nothing: counted, rejected,
  // and read through a fixed buffer.
  const fs::path input = dir_ / "huge";
  {
    std::ofstream out(input, std::ios::binary);
    const std::string block(1 << 20, 'h');
    for (int i = 0; i < 1024; ++i) out << block;
  }
  const ProgramRun run = runProgram({"huge", "out", "log"}, dir_);
  fs::remove(input);
  EXPECT_EQ(run.status, 0);
  const std::string rejected = kLength + std::string(1023, 'h') + "]\n";
  EXPECT_EQ(run.console, kBanner + rejected + summary(1, "huge", 1, "log", 0, "out"));
  EXPECT_EQ(readFile(dir_ / "log"), rejected);
  if (CARDLIFT_MEASURES_MEMORY) {
    EXPECT_LT(run.peakKilobytes, 16 * 1024) << "peak resident memory in KiB";
  }
}

TEST_F(HostileTest, NamesArePrintedAndOpenedExactlyAsGiven) {
  const std::vector<std::string> names = {"100% cards.txt", "-leading dash",
                                          "caf\xC3\xA9 \xE2\x82\xAC.txt", "bad\xFF\xFE utf8",
                                          "%s%n%d %x"};
  for (const std::string& name : names) {
    writeFile(dir_ / name, kCard + "\n");
    const std::string outputName = name + ".out";
    const std::string logName = name + ".log";
    const ProgramRun run = runProgram({name, outputName, logName}, dir_);
    EXPECT_EQ(run.status, 0) << name;
    EXPECT_EQ(run.console, kBanner + summary(1, name, 0, logName, 1, outputName)) << name;
    EXPECT_EQ(readFile(dir_ / outputName), kLine) << name;
    EXPECT_TRUE(fs::exists(dir_ / logName)) << name;
  }
}

TEST_F(HostileTest, DeviceThatIsAlwaysFull) {
  writeFile(dir_ / "in", kCard + "\nshort\n");
  const ProgramRun output = runProgram({"in", "/dev/full", "log"}, dir_);
  EXPECT_EQ(output.status, 17);
  EXPECT_EQ(output.console, kBanner + kLength + "short]\n" +
                                summary(2, "in", 1, "log", 0, "/dev/full") +
                                "ERROR: Unable to write to output file [/dev/full]\n");
  const ProgramRun log = runProgram({"in", "out", "/dev/full"}, dir_);
  EXPECT_EQ(log.status, 17);
  EXPECT_EQ(log.console, kBanner + kLength + "short]\n" +
                             summary(2, "in", 1, "/dev/full", 1, "out") +
                             "ERROR: Unable to write to error log file [/dev/full]\n");
  // A read error comes before a console that fails too.
  const ProgramRun both = runProgram({"/proc/self/mem", "out", "log"}, dir_, [] {
    const int full = open("/dev/full", O_WRONLY);
    dup2(full, 1);
    close(full);
  });
  EXPECT_EQ(both.status, 16);
}

TEST_F(HostileTest, FilesThatCannotBeOpened) {
  writeFile(dir_ / "in", kCard + "\n");
  fs::create_directory(dir_ / "folder");
  const ProgramRun directory = runProgram({"folder", "out", "log"}, dir_);
  EXPECT_EQ(directory.status, 20);
  EXPECT_EQ(directory.console, kBanner + "ERROR: Unable to open input file [folder]\n" +
                                   "\nErrors:\t0\ttransactions written to [log]\n" +
                                   "Wrote:\t0\ttransactions to file [out]\n");

  if (geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
  writeFile(dir_ / "locked", kCard + "\n");
  fs::permissions(dir_ / "locked", fs::perms::none);
  const ProgramRun unreadable = runProgram({"locked", "out", "log"}, dir_);
  EXPECT_EQ(unreadable.status, 20);
  fs::create_directory(dir_ / "readonly");
  fs::permissions(dir_ / "readonly", fs::perms::owner_read | fs::perms::owner_exec);
  const ProgramRun output = runProgram({"in", "readonly/out", "log"}, dir_);
  EXPECT_EQ(output.status, 19);
  const ProgramRun log = runProgram({"in", "out", "readonly/log"}, dir_);
  EXPECT_EQ(log.status, 18);
  EXPECT_NE(log.console.find("]\nERROR: Unable to open error log file [readonly/log]\nWrote:"),
            std::string::npos);
}

}  // namespace
