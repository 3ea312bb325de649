// Files, console and command line on POSIX systems and on Windows.
#include "driver/platform.hpp"

#include <cerrno>
#include <climits>

#include "driver/name_units.hpp"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace cardlift {
namespace {

#ifdef _WIN32
constexpr int kStandardOutput = 1;
// The C runtime moves at most INT_MAX bytes per call.
constexpr std::size_t kLargestTransfer = INT_MAX;
#else
constexpr int kStandardOutput = STDOUT_FILENO;
constexpr std::size_t kLargestTransfer = static_cast<std::size_t>(SSIZE_MAX);
#endif

std::ptrdiff_t readSome(int descriptor, char* into, std::size_t size) {
  if (size > kLargestTransfer) size = kLargestTransfer;
#ifdef _WIN32
  return _read(descriptor, into, static_cast<unsigned>(size));
#else
  for (;;) {
    const ssize_t count = ::read(descriptor, into, size);
    if (count >= 0 || errno != EINTR) return count;
  }
#endif
}

#ifdef _WIN32
// Windows opens a name of MAX_PATH or more characters, or one whose full
// path is that long, only in the extended-length form "\\?\C:\dir\file"
// (or "\\?\UNC\server\share\file"), which takes no relative parts and no
// '/'. Such names are made absolute first; all others, device names among
// them, are opened as given.
std::wstring openableName(const std::wstring& name) {
  const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (size == 0 || (name.size() < MAX_PATH && size <= MAX_PATH)) return name;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(name.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return name;
  full.resize(length);
  if (full.size() < MAX_PATH) return full;
  if (full.rfind(LR"(\\?\)", 0) == 0 || full.rfind(LR"(\\.\)", 0) == 0) return full;
  if (full.rfind(LR"(\\)", 0) == 0) return LR"(\\?\UNC\)" + full.substr(2);
  return LR"(\\?\)" + full;
}
#endif

bool isRegularFile(int descriptor) {
#ifdef _WIN32
  return GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(descriptor))) == FILE_TYPE_DISK;
#else
  struct stat status;
  return ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
#endif
}

bool writeEverything(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t size = bytes.size() < kLargestTransfer ? bytes.size() : kLargestTransfer;
#ifdef _WIN32
    const int count = _write(descriptor, bytes.data(), static_cast<unsigned>(size));
    if (count <= 0) return false;
#else
    const ssize_t count = ::write(descriptor, bytes.data(), size);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
#endif
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
  return true;
}

}  // namespace

ProgramArgument argumentFromText(const std::string& text) {
#ifdef _WIN32
  return {text, utf16Length(text), NativeName(text.begin(), text.end())};
#else
  return {text, utf16Length(text), text};
#endif
}

#ifdef _WIN32
std::vector<ProgramArgument> argumentsFromCommandLine(int argc, wchar_t** argv) {
  std::vector<ProgramArgument> arguments;
  for (int i = 0; i < argc; ++i) {
    const std::wstring wide(argv[i]);
    const std::u16string units(wide.begin(), wide.end());
    arguments.push_back({utf8FromUtf16(units), wide.size(), wide});
  }
  return arguments;
}
#else
std::vector<ProgramArgument> argumentsFromCommandLine(int argc, char** argv) {
  std::vector<ProgramArgument> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(argumentFromText(argv[i]));
  return arguments;
}
#endif

FileHandle::~FileHandle() { close(); }

bool FileHandle::openForReading(const NativeName& name) {
  close();
#ifdef _WIN32
  descriptor_ = _wopen(openableName(name).c_str(), _O_RDONLY | _O_BINARY);
  struct _stat64 status;
  const bool directory = descriptor_ >= 0 && _fstat64(descriptor_, &status) == 0 &&
                         (status.st_mode & _S_IFMT) == _S_IFDIR;
#else
  descriptor_ = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat status;
  const bool directory =
      descriptor_ >= 0 && ::fstat(descriptor_, &status) == 0 && S_ISDIR(status.st_mode);
#endif
  // A directory opens on some systems, but it is no input file.
  if (directory) close();
  return isOpen();
}

bool FileHandle::openForWriting(const NativeName& name,
                                std::initializer_list<const FileHandle*> keep) {
  close();
  // Opened without emptying it first: the name may lead to a file that is
  // in use, which emptying would destroy.
#ifdef _WIN32
  descriptor_ =
      _wopen(openableName(name).c_str(), _O_WRONLY | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
  descriptor_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
#endif
  if (!isOpen()) return false;
  for (const FileHandle* other : keep) {
    if (other->isOpen() && isSameFileAs(*other)) {
      close();
      return false;
    }
  }
  if (!isRegularFile(descriptor_)) return true;
#ifdef _WIN32
  const bool emptied = _chsize(descriptor_, 0) == 0;
#else
  const bool emptied = ::ftruncate(descriptor_, 0) == 0;
#endif
  if (!emptied) close();
  return isOpen();
}

bool FileHandle::isSameFileAs(const FileHandle& other) const {
  // Devices such as /dev/null may well serve several streams at once.
  if (!isRegularFile(descriptor_) || !isRegularFile(other.descriptor_)) return false;
#ifdef _WIN32
  BY_HANDLE_FILE_INFORMATION mine;
  BY_HANDLE_FILE_INFORMATION theirs;
  const auto handle = [](int descriptor) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
  };
  return GetFileInformationByHandle(handle(descriptor_), &mine) != 0 &&
         GetFileInformationByHandle(handle(other.descriptor_), &theirs) != 0 &&
         mine.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber &&
         mine.nFileIndexHigh == theirs.nFileIndexHigh && mine.nFileIndexLow == theirs.nFileIndexLow;
#else
  struct stat mine;
  struct stat theirs;
  return ::fstat(descriptor_, &mine) == 0 && ::fstat(other.descriptor_, &theirs) == 0 &&
         mine.st_dev == theirs.st_dev && mine.st_ino == theirs.st_ino;
#endif
}

bool FileHandle::close() {
  if (descriptor_ < 0) return true;
#ifdef _WIN32
  const bool closed = _close(descriptor_) == 0;
#else
  const bool closed = ::close(descriptor_) == 0;
#endif
  descriptor_ = -1;
  return closed;
}

std::ptrdiff_t FileHandle::read(char* into, std::size_t size) {
  if (descriptor_ < 0) return -1;
  return readSome(descriptor_, into, size);
}

bool FileHandle::writeAll(std::string_view bytes) {
  if (descriptor_ < 0) return false;
  return writeEverything(descriptor_, bytes);
}

ConsoleDevice::ConsoleDevice() {
#ifdef _WIN32
  // The program writes its own line ends and UTF-8 bytes.
  _setmode(kStandardOutput, _O_BINARY);
  // A console window shows those bytes as UTF-8 only in code page 65001;
  // the window's own code page comes back when the program ends.
  DWORD mode = 0;
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(kStandardOutput));
  if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0) {
    previousCodePage_ = GetConsoleOutputCP();
    if (previousCodePage_ == CP_UTF8 || SetConsoleOutputCP(CP_UTF8) == 0) previousCodePage_ = 0;
  }
#endif
}

#ifdef _WIN32
ConsoleDevice::~ConsoleDevice() {
  if (previousCodePage_ != 0) SetConsoleOutputCP(previousCodePage_);
}
#endif

bool ConsoleDevice::writeAll(std::string_view bytes) {
  return writeEverything(kStandardOutput, bytes);
}

bool ConsoleDevice::isTerminal() const {
#ifdef _WIN32
  return _isatty(kStandardOutput) != 0;
#else
  return ::isatty(kStandardOutput) != 0;
#endif
}

}  // namespace cardlift
