// Runs the built program as a child process and collects what it printed,
// its exit status and its peak memory; file helpers for the scratch folder.
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace cardlift_test {

namespace fs = std::filesystem;

struct ProgramRun {
  int status = -1;  // the exit status, or -signal when a signal ended it
  std::string console;
  std::string reasons;
  long peakKilobytes = 0;
};

// Reads a descriptor to its end.
inline std::string drain(int descriptor) {
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

// Runs the program with exactly these argument bytes in folder dir; setup
// runs in the child before the program starts and may take over its
// descriptors. Standard output and standard error are collected when
// setup leaves them alone.
inline ProgramRun runProgram(
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
    alarm(300);
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
  rusage usage{};
  wait4(child, &status, 0, &usage);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  run.peakKilobytes = usage.ru_maxrss;
  return run;
}

inline std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace cardlift_test
