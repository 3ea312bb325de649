// Files, console and command line on Windows.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <climits>

#include "driver/name_units.hpp"
#include "driver/platform.hpp"

namespace cardlift {
namespace {

// ReadFile and WriteFile move at most this many bytes per call.
constexpr std::size_t kLargestTransfer = 1u << 30;

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

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

FileIdentity identityOf(HANDLE handle) {
  FileIdentity identity;
  const DWORD type = GetFileType(handle);
  if (type == FILE_TYPE_CHAR) {
    identity.known = true;
    identity.characterDevice = true;
    return identity;
  }
  BY_HANDLE_FILE_INFORMATION information;
  if (GetFileInformationByHandle(handle, &information) == 0) return identity;
  identity.known = true;
  identity.volume = information.dwVolumeSerialNumber;
  identity.index =
      (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
  return identity;
}

// The identity of a named file that could not be opened for its data,
// learned through a handle that asks for its attributes only.
FileIdentity identityOfName(const std::wstring& name) {
  const HANDLE handle = CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  const FileIdentity identity = identityOf(handle);
  CloseHandle(handle);
  return identity;
}

}  // namespace

std::vector<ProgramArgument> argumentsFromCommandLine(int argc, NativeChar** argv) {
  std::vector<ProgramArgument> arguments;
  for (int i = 0; i < argc; ++i) {
    const std::wstring wide(argv[i]);
    const std::u16string units(wide.begin(), wide.end());
    arguments.push_back({utf8FromUtf16(units), wide.size(), wide});
  }
  return arguments;
}

std::string describeSystemError(std::uint32_t code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return "system error " + std::to_string(code);
  std::u16string units(text, text + length);
  LocalFree(text);
  while (!units.empty() && (units.back() == u'\n' || units.back() == u'\r' || units.back() == u' '))
    units.pop_back();
  return utf8FromUtf16(units);
}

bool isSameFile(const FileIdentity& a, const FileIdentity& b) {
  // The volume serial is not compared: a file reached through two drive
  // letters may show two serials, and taking it for two files would let
  // the output empty the input.
  return a.known && b.known && !a.characterDevice && !b.characterDevice && a.index == b.index;
}

FileHandle::~FileHandle() { close(); }

void FileHandle::fail(std::uint32_t code) { fault_ = {FileFault::Kind::kSystem, code}; }

void FileHandle::learnIdentity() { identity_ = identityOf(handleOf(handle_)); }

namespace {

// Opens name; on a sharing violation the identity of the file in the way
// is still learned, so that it can be told from the run's own files.
HANDLE openShared(const NativeName& name, DWORD access, DWORD share, DWORD disposition,
                  FileIdentity& identity, FileFault& fault) {
  const std::wstring openable = openableName(name);
  const HANDLE handle = CreateFileW(openable.c_str(), access, share, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle != INVALID_HANDLE_VALUE) return handle;
  const DWORD error = GetLastError();
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
    identity = identityOfName(openable);
    fault = {FileFault::Kind::kInUse, 0};
  } else {
    fault = {FileFault::Kind::kSystem, error};
  }
  return handle;
}

}  // namespace

bool FileHandle::openForReading(const NativeName& name) {
  reset();
  // Others may read it too, but no one may write it while it is read.
  const HANDLE handle =
      openShared(name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, identity_, fault_);
  if (handle == INVALID_HANDLE_VALUE) return false;
  adopt(reinterpret_cast<std::intptr_t>(handle));
  return true;
}

bool FileHandle::openForWriting(const NativeName& name) {
  reset();
  // Opened without emptying it; the share mode keeps every other writer
  // out for the run, which is this platform's lock.
  const HANDLE handle =
      openShared(name, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS, identity_, fault_);
  if (handle == INVALID_HANDLE_VALUE) return false;
  adopt(reinterpret_cast<std::intptr_t>(handle));
  return true;
}

bool FileHandle::lock(bool) {
  // The share modes chosen when opening are the lock.
  return isOpen();
}

void FileHandle::attachStandard(int number) {
  close();
  handle_ = reinterpret_cast<std::intptr_t>(
      GetStdHandle(number == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE));
  if (handle_ == 0) handle_ = -1;
  owned_ = false;
  identity_ = {};
  if (isOpen()) learnIdentity();
}

bool FileHandle::isTerminal() const {
  DWORD mode = 0;
  return isOpen() && GetConsoleMode(handleOf(handle_), &mode) != 0;
}

std::size_t FileHandle::terminalColumns() const {
  CONSOLE_SCREEN_BUFFER_INFO information;
  if (!isOpen() || GetConsoleScreenBufferInfo(handleOf(handle_), &information) == 0) return 0;
  const int columns = information.srWindow.Right - information.srWindow.Left + 1;
  return columns > 0 ? static_cast<std::size_t>(columns) : 0;
}

std::uint64_t FileHandle::regularFileSize() const {
  LARGE_INTEGER size;
  if (!isOpen() || GetFileType(handleOf(handle_)) != FILE_TYPE_DISK ||
      GetFileSizeEx(handleOf(handle_), &size) == 0 || size.QuadPart < 0) {
    return 0;
  }
  return static_cast<std::uint64_t>(size.QuadPart);
}

void FileHandle::refuse(FileFault::Kind why) {
  close();
  fault_ = {why, 0};
}

bool FileHandle::empty() {
  if (GetFileType(handleOf(handle_)) != FILE_TYPE_DISK) return true;
  if (SetEndOfFile(handleOf(handle_)) != 0) return true;
  fail(GetLastError());
  close();
  return false;
}

bool FileHandle::truncateTo(std::uint64_t size) {
  if (GetFileType(handleOf(handle_)) != FILE_TYPE_DISK) return false;
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(size);
  return SetFilePointerEx(handleOf(handle_), position, nullptr, FILE_BEGIN) != 0 &&
         SetEndOfFile(handleOf(handle_)) != 0;
}

bool FileHandle::close() {
  if (handle_ == -1) return true;
  const bool closed = !owned_ || CloseHandle(handleOf(handle_)) != 0;
  if (!closed) fail(GetLastError());
  handle_ = -1;
  return closed;
}

std::ptrdiff_t FileHandle::read(char* into, std::size_t size) {
  if (!isOpen()) return -1;
  if (size > kLargestTransfer) size = kLargestTransfer;
  DWORD count = 0;
  if (ReadFile(handleOf(handle_), into, static_cast<DWORD>(size), &count, nullptr) != 0) {
    return static_cast<std::ptrdiff_t>(count);
  }
  const DWORD error = GetLastError();
  // A pipe whose writer has gone has simply ended.
  if (error == ERROR_BROKEN_PIPE) return 0;
  fail(error);
  return -1;
}

std::ptrdiff_t FileHandle::writeSome(std::string_view bytes) {
  if (!isOpen()) {
    fail(ERROR_INVALID_HANDLE);
    return -1;
  }
  for (;;) {
    const std::ptrdiff_t count = writeOnce(bytes);
    if (count < 0) {
      fail(GetLastError());
      return -1;
    }
    if (count > 0) return count;
    // A full pipe in no-wait mode takes nothing: wait until it takes more.
    Sleep(1);
  }
}

std::ptrdiff_t FileHandle::writeOnce(std::string_view bytes) {
  const std::size_t size = bytes.size() < kLargestTransfer ? bytes.size() : kLargestTransfer;
  DWORD count = 0;
  if (!isOpen() ||
      WriteFile(handleOf(handle_), bytes.data(), static_cast<DWORD>(size), &count, nullptr) == 0) {
    return -1;
  }
  return static_cast<std::ptrdiff_t>(count);
}

bool FileDevice::writeLines(std::string_view bytes) {
  if (handle_ == nullptr) return writeLinesToFile(bytes);
  return lineWriteDone(bytes, handle_->writeOnce(bytes));
}

ProcessConsole::ProcessConsole() {
  // A missing standard handle is replaced by the null device, so that the
  // console's text is discarded rather than lost in a failure.
  for (const DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    const HANDLE handle = GetStdHandle(which);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) continue;
    const HANDLE null =
        CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (null != INVALID_HANDLE_VALUE) SetStdHandle(which, null);
  }
  output_.attachStandard(1);
  error_.attachStandard(2);
  // A console window shows the program's UTF-8 bytes as such only in code
  // page 65001; the window's own code page comes back when the run ends.
  if (output_.isTerminal()) {
    previousCodePage_ = GetConsoleOutputCP();
    if (previousCodePage_ == CP_UTF8 || SetConsoleOutputCP(CP_UTF8) == 0) previousCodePage_ = 0;
  }
}

ProcessConsole::~ProcessConsole() {
  if (previousCodePage_ != 0) SetConsoleOutputCP(previousCodePage_);
}

}  // namespace cardlift
