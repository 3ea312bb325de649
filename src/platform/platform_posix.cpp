// Files, console and command line on POSIX systems.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "platform/platform.hpp"

namespace cardlift {
namespace {

int descriptorOf(std::intptr_t handle) { return static_cast<int>(handle); }

std::uint32_t lastError() { return static_cast<std::uint32_t>(errno); }

FileIdentity::Kind kindOf(mode_t mode) {
  if (S_ISREG(mode) || S_ISDIR(mode)) return FileIdentity::Kind::kDisk;
  if (S_ISFIFO(mode) || S_ISSOCK(mode)) return FileIdentity::Kind::kPipe;
  if (S_ISCHR(mode)) return FileIdentity::Kind::kCharacterDevice;
  if (S_ISBLK(mode)) return FileIdentity::Kind::kBlockDevice;
  return FileIdentity::Kind::kOther;
}

std::int64_t nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

}  // namespace

std::vector<ProgramArgument> argumentsFromCommandLine(int argc, NativeChar** argv) {
  std::vector<ProgramArgument> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(argumentFromText(argv[i]));
  return arguments;
}

std::string describeSystemError(std::uint32_t code) {
  return std::strerror(static_cast<int>(code));
}

void FileHandle::learnIdentity() {
  struct stat status;
  if (::fstat(descriptorOf(handle_), &status) != 0) {
    identity_.kind = FileIdentity::Kind::kOther;
    return;
  }
  identity_.kind = kindOf(status.st_mode);
  identity_.numbered = true;
  if (identity_.kind == FileIdentity::Kind::kBlockDevice) {
    // A disk is the same disk through every node that names it.
    identity_.index = static_cast<std::uint64_t>(status.st_rdev);
    return;
  }
  identity_.volume = static_cast<std::uint64_t>(status.st_dev);
  identity_.index = static_cast<std::uint64_t>(status.st_ino);
}

std::intptr_t FileHandle::openNative(const NativeName& name, Access access) {
  // For writing not emptied yet: the name may lead to a file that is in
  // use.
  const int descriptor = access == Access::kRead
                             ? ::open(name.c_str(), O_RDONLY | O_CLOEXEC)
                             : ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (descriptor < 0) {
    fail(lastError());
    return kNoHandle;
  }
  struct stat status;
  // A directory opens, but it is no input file.
  if (::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
    ::close(descriptor);
    fail(EISDIR);
    return kNoHandle;
  }
  return descriptor;
}

bool FileHandle::lock(Access access) {
  if (!isOpen()) return false;
  // Devices such as /dev/null serve any number of runs.
  if (identity_.kind == FileIdentity::Kind::kCharacterDevice) return true;
  const int operation = access == Access::kRead ? LOCK_SH : LOCK_EX;
  if (::flock(descriptorOf(handle_), operation | LOCK_NB) == 0) return true;
  if (errno == EWOULDBLOCK) {
    refuse({FileFault::Kind::kInUse, 0, {}});
    return false;
  }
  lockFault_ = {FileFault::Kind::kSystem, lastError(), {}};
  return true;
}

void FileHandle::attachStandard(int number) {
  close();
  identity_ = {};
  owned_ = false;
  // A number that is not open now is left alone: a file opened later may
  // take it.
  if (::fcntl(number, F_GETFD) == -1) return;
  handle_ = number;
  learnIdentity();
}

bool FileHandle::isTerminal() const { return isOpen() && ::isatty(descriptorOf(handle_)) != 0; }

std::size_t FileHandle::terminalColumns() const {
  winsize size{};
  if (!isOpen() || ::ioctl(descriptorOf(handle_), TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

bool FileHandle::inForeground() const {
  const pid_t foreground = ::tcgetpgrp(descriptorOf(handle_));
  // A terminal that is not this process's controlling terminal has no
  // foreground for it: nothing stops a write there.
  return foreground == -1 || foreground == ::getpgrp();
}

FileState FileHandle::state() const {
  struct stat status;
  if (!isOpen() || ::fstat(descriptorOf(handle_), &status) != 0 || !S_ISREG(status.st_mode)) {
    return {};
  }
  return {true, static_cast<std::uint64_t>(status.st_size), nanoseconds(status.st_mtim),
          nanoseconds(status.st_ctim)};
}

bool FileHandle::empty() {
  if (!state().regular) return true;
  if (::ftruncate(descriptorOf(handle_), 0) == 0) return true;
  fail(lastError());
  close();
  return false;
}

FileFault FileHandle::truncateTo(std::uint64_t size) {
  if (!state().regular) return {FileFault::Kind::kNotRegular, 0, {}};
  if (::ftruncate(descriptorOf(handle_), static_cast<off_t>(size)) == 0) return {};
  return {FileFault::Kind::kSystem, lastError(), {}};
}

bool FileHandle::sync() {
  // Pipes and character devices keep nothing to hand over.
  if (identity_.kind != FileIdentity::Kind::kDisk &&
      identity_.kind != FileIdentity::Kind::kBlockDevice) {
    return true;
  }
  if (::fsync(descriptorOf(handle_)) == 0) return true;
  // A file system that cannot be asked has nothing more to give.
  if (errno == EINVAL || errno == EROFS) return true;
  fail(lastError());
  return false;
}

std::uint32_t FileHandle::closeNative(std::intptr_t handle) {
  return ::close(descriptorOf(handle)) == 0 ? 0 : lastError();
}

std::ptrdiff_t FileHandle::readNative(char* into, std::size_t size) {
  for (;;) {
    const ssize_t count = ::read(descriptorOf(handle_), into, size);
    if (count >= 0) return count;
    if (errno == EINTR) continue;
    fail(lastError());
    return -1;
  }
}

std::ptrdiff_t FileHandle::writeSome(std::string_view bytes) {
  // The usual case, kept short: an open file that takes some bytes at once.
  if (isOpen()) {
    const std::ptrdiff_t count = writeOnce(bytes);
    if (count > 0) return count;
    return writeSomeAgain(bytes, count);
  }
  fail(EBADF);
  return -1;
}

std::ptrdiff_t FileHandle::writeSomeAgain(std::string_view bytes, std::ptrdiff_t count) {
  for (;;) {
    if (count > 0) return count;
    if (count < 0 && errno == EINTR) {
      count = writeOnce(bytes);
      continue;
    }
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // A non-blocking pipe that is full: wait until it takes more.
      pollfd ready{descriptorOf(handle_), POLLOUT, 0};
      if (::poll(&ready, 1, -1) >= 0 || errno == EINTR) {
        count = writeOnce(bytes);
        continue;
      }
    }
    fail(count < 0 ? lastError() : static_cast<std::uint32_t>(EIO));
    return -1;
  }
}

ProcessConsole::ProcessConsole() {
  // A closed standard descriptor would be the number the next opened file
  // gets: the null device takes its place. Where there is none, the stream
  // stays missing (see attachStandard).
  for (int number = 0; number <= 2; ++number) {
    if (::fcntl(number, F_GETFD) != -1 || errno != EBADF) continue;
    const int descriptor = ::open("/dev/null", number == 0 ? O_RDONLY : O_WRONLY);
    if (descriptor >= 0 && descriptor != number) {
      ::dup2(descriptor, number);
      ::close(descriptor);
    }
  }
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  input_.attachStandard(STDIN_FILENO);
  output_.attachStandard(STDOUT_FILENO);
  error_.attachStandard(STDERR_FILENO);
}

}  // namespace cardlift
