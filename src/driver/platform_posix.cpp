// Files, console and command line on POSIX systems.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

#include "driver/platform.hpp"

namespace cardlift {
namespace {

constexpr std::size_t kLargestTransfer = static_cast<std::size_t>(SSIZE_MAX);

int descriptorOf(std::intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

std::vector<ProgramArgument> argumentsFromCommandLine(int argc, NativeChar** argv) {
  std::vector<ProgramArgument> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(argumentFromText(argv[i]));
  return arguments;
}

std::string describeSystemError(std::uint32_t code) {
  return std::strerror(static_cast<int>(code));
}

bool isSameFile(const FileIdentity& a, const FileIdentity& b) {
  return a.known && b.known && !a.characterDevice && !b.characterDevice && a.volume == b.volume &&
         a.index == b.index;
}

FileHandle::~FileHandle() { close(); }

void FileHandle::fail(std::uint32_t code) { fault_ = {FileFault::Kind::kSystem, code}; }

void FileHandle::learnIdentity() {
  struct stat status;
  if (::fstat(descriptorOf(handle_), &status) != 0) return;
  identity_.known = true;
  identity_.characterDevice = S_ISCHR(status.st_mode);
  identity_.volume = static_cast<std::uint64_t>(status.st_dev);
  identity_.index = static_cast<std::uint64_t>(status.st_ino);
}

bool FileHandle::openForReading(const NativeName& name) {
  reset();
  const int descriptor = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    fail(static_cast<std::uint32_t>(errno));
    return false;
  }
  adopt(descriptor);
  struct stat status;
  // A directory opens, but it is no input file.
  if (::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
    close();
    fail(EISDIR);
  }
  return isOpen();
}

bool FileHandle::openForWriting(const NativeName& name) {
  reset();
  // Not emptied yet: the name may lead to a file that is in use.
  const int descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (descriptor < 0) {
    fail(static_cast<std::uint32_t>(errno));
    return false;
  }
  adopt(descriptor);
  return true;
}

bool FileHandle::lock(bool exclusive) {
  if (!isOpen()) return false;
  // Devices such as /dev/null serve any number of runs.
  if (identity_.characterDevice) return true;
  if (::flock(descriptorOf(handle_), (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) return true;
  if (errno != EWOULDBLOCK) return true;
  refuse(FileFault::Kind::kInUse);
  return false;
}

void FileHandle::attachStandard(int number) {
  close();
  handle_ = number;
  owned_ = false;
  identity_ = {};
  learnIdentity();
}

bool FileHandle::isTerminal() const { return isOpen() && ::isatty(descriptorOf(handle_)) != 0; }

std::size_t FileHandle::terminalColumns() const {
  winsize size{};
  if (!isOpen() || ::ioctl(descriptorOf(handle_), TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

std::uint64_t FileHandle::regularFileSize() const {
  struct stat status;
  if (!isOpen() || ::fstat(descriptorOf(handle_), &status) != 0 || !S_ISREG(status.st_mode)) {
    return 0;
  }
  return static_cast<std::uint64_t>(status.st_size);
}

void FileHandle::refuse(FileFault::Kind why) {
  close();
  fault_ = {why, 0};
}

bool FileHandle::empty() {
  struct stat status;
  if (::fstat(descriptorOf(handle_), &status) != 0 || !S_ISREG(status.st_mode)) return true;
  if (::ftruncate(descriptorOf(handle_), 0) == 0) return true;
  fail(static_cast<std::uint32_t>(errno));
  close();
  return false;
}

bool FileHandle::truncateTo(std::uint64_t size) {
  struct stat status;
  if (::fstat(descriptorOf(handle_), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  return ::ftruncate(descriptorOf(handle_), static_cast<off_t>(size)) == 0;
}

bool FileHandle::close() {
  if (handle_ == -1) return true;
  const bool closed = !owned_ || ::close(descriptorOf(handle_)) == 0;
  if (!closed) fail(static_cast<std::uint32_t>(errno));
  handle_ = -1;
  return closed;
}

std::ptrdiff_t FileHandle::read(char* into, std::size_t size) {
  if (!isOpen()) return -1;
  if (size > kLargestTransfer) size = kLargestTransfer;
  for (;;) {
    const ssize_t count = ::read(descriptorOf(handle_), into, size);
    if (count >= 0) return count;
    if (errno == EINTR) continue;
    fail(static_cast<std::uint32_t>(errno));
    return -1;
  }
}

std::ptrdiff_t FileHandle::writeOnce(std::string_view bytes) {
  const std::size_t size = bytes.size() < kLargestTransfer ? bytes.size() : kLargestTransfer;
  return ::write(descriptorOf(handle_), bytes.data(), size);
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
    fail(count < 0 ? static_cast<std::uint32_t>(errno) : static_cast<std::uint32_t>(EIO));
    return -1;
  }
}

bool FileDevice::writeLines(std::string_view bytes) {
  if (handle_ == nullptr) return writeLinesToFile(bytes);
  return lineWriteDone(bytes, handle_->writeOnce(bytes));
}

ProcessConsole::ProcessConsole() {
  // A closed standard descriptor would be the number the next opened file
  // gets: the null device takes its place.
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
  output_.attachStandard(STDOUT_FILENO);
  error_.attachStandard(STDERR_FILENO);
  previousCodePage_ = 0;
}

ProcessConsole::~ProcessConsole() = default;

}  // namespace cardlift
