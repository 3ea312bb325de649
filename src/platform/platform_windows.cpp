// Files, console and command line on Windows.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <array>
#include <cstring>

#include "core/decimal_digits.hpp"
#include "platform/name_units.hpp"
#include "platform/platform.hpp"

namespace cardlift {
namespace {

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

FileIdentity::Kind kindOf(DWORD type) {
  switch (type) {
    case FILE_TYPE_DISK:
      return FileIdentity::Kind::kDisk;
    case FILE_TYPE_PIPE:
      return FileIdentity::Kind::kPipe;
    case FILE_TYPE_CHAR:
      return FileIdentity::Kind::kCharacterDevice;
    default:
      return FileIdentity::Kind::kOther;
  }
}

// Which file a handle reaches: the 128-bit file id where the file system
// gives one (ReFS's 64-bit index need not be unique), else the 64-bit
// index; and the final path, which is all that some handles inherited
// from other programs tell.
FileIdentity identityOf(HANDLE handle) {
  FileIdentity identity;
  identity.kind = kindOf(GetFileType(handle));
  if (identity.kind == FileIdentity::Kind::kCharacterDevice) return identity;
  FILE_ID_INFO id{};
  std::uint64_t halves[2] = {0, 0};
  if (GetFileInformationByHandleEx(handle, FileIdInfo, &id, sizeof id) != 0) {
    static_assert(sizeof halves == sizeof id.FileId.Identifier);
    std::memcpy(halves, id.FileId.Identifier, sizeof halves);
  }
  BY_HANDLE_FILE_INFORMATION information;
  if (halves[0] != 0 || halves[1] != 0) {
    identity.numbered = true;
    identity.volume = id.VolumeSerialNumber;
    identity.index = halves[0];
    identity.high = halves[1];
  } else if (GetFileInformationByHandle(handle, &information) != 0) {
    identity.numbered = true;
    identity.volume = information.dwVolumeSerialNumber;
    identity.index =
        (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
  }
  std::array<wchar_t, 1024> path;
  const DWORD length = GetFinalPathNameByHandleW(handle, path.data(), path.size(), 0);
  if (length > 0 && length < path.size()) identity.path.assign(path.data(), length);
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

// A standard handle that leads to an open file: not NULL, not
// INVALID_HANDLE_VALUE, and not a number that was closed or never opened.
bool isOpenHandle(HANDLE handle) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  SetLastError(NO_ERROR);
  return GetFileType(handle) != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR;
}

std::int64_t nanoseconds(const LARGE_INTEGER& time) { return time.QuadPart * 100; }

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
  if (length == 0 || text == nullptr)
    return "system error " + std::string(DecimalDigits(code).text());
  std::u16string units(text, text + length);
  LocalFree(text);
  while (!units.empty() && (units.back() == u'\n' || units.back() == u'\r' || units.back() == u' '))
    units.pop_back();
  return utf8FromUtf16(units);
}

void FileHandle::learnIdentity() { identity_ = identityOf(handleOf(handle_)); }

std::intptr_t FileHandle::openNative(const NativeName& name, Access access) {
  // "nul.txt" or "dir\com1.out" would reach a device, not a file.
  if (isWindowsDeviceName(std::u16string(name.begin(), name.end()))) {
    fault_ = {FileFault::Kind::kDeviceName, 0, {}};
    return kNoHandle;
  }
  // Others may read the input too, but no one may write it while it is
  // read; the output and the log are opened without emptying them, and
  // no one else may write them for the run: the share modes are this
  // platform's lock.
  const bool reading = access == Access::kRead;
  const std::wstring openable = openableName(name);
  const HANDLE handle =
      CreateFileW(openable.c_str(), reading ? GENERIC_READ : GENERIC_WRITE, FILE_SHARE_READ,
                  nullptr, reading ? OPEN_EXISTING : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle != INVALID_HANDLE_VALUE) return reinterpret_cast<std::intptr_t>(handle);
  const DWORD error = GetLastError();
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
    // The file in the way is still told from the run's own files.
    identity_ = identityOfName(openable);
    fault_ = {FileFault::Kind::kInUse, 0, {}};
  } else {
    fail(error);
  }
  return kNoHandle;
}

bool FileHandle::lock(Access) {
  // The share modes chosen when opening are the lock.
  return isOpen();
}

void FileHandle::attachStandard(int number) {
  close();
  identity_ = {};
  owned_ = false;
  const DWORD which = number == 0   ? STD_INPUT_HANDLE
                      : number == 1 ? STD_OUTPUT_HANDLE
                                    : STD_ERROR_HANDLE;
  const HANDLE handle = GetStdHandle(which);
  if (!isOpenHandle(handle)) return;
  handle_ = reinterpret_cast<std::intptr_t>(handle);
  learnIdentity();
  DWORD mode = 0;
  console_ = GetConsoleMode(handle, &mode) != 0;
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

bool FileHandle::inForeground() const {
  // A console has no background jobs.
  return true;
}

FileState FileHandle::state() const {
  FILE_BASIC_INFO basic{};
  LARGE_INTEGER size;
  if (!isOpen() || GetFileType(handleOf(handle_)) != FILE_TYPE_DISK ||
      GetFileInformationByHandleEx(handleOf(handle_), FileBasicInfo, &basic, sizeof basic) == 0 ||
      (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
      GetFileSizeEx(handleOf(handle_), &size) == 0 || size.QuadPart < 0) {
    return {};
  }
  return {true, static_cast<std::uint64_t>(size.QuadPart), nanoseconds(basic.LastWriteTime),
          nanoseconds(basic.ChangeTime)};
}

bool FileHandle::empty() {
  if (GetFileType(handleOf(handle_)) != FILE_TYPE_DISK) return true;
  if (SetEndOfFile(handleOf(handle_)) != 0) return true;
  fail(GetLastError());
  close();
  return false;
}

FileFault FileHandle::truncateTo(std::uint64_t size) {
  if (GetFileType(handleOf(handle_)) != FILE_TYPE_DISK)
    return {FileFault::Kind::kNotRegular, 0, {}};
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(size);
  // Refused, for one, while a reader has the file mapped.
  if (SetFilePointerEx(handleOf(handle_), position, nullptr, FILE_BEGIN) != 0 &&
      SetEndOfFile(handleOf(handle_)) != 0) {
    return {};
  }
  return {FileFault::Kind::kSystem, GetLastError(), {}};
}

bool FileHandle::sync() {
  // Flushing a pipe would wait for its reader; consoles keep nothing.
  if (GetFileType(handleOf(handle_)) != FILE_TYPE_DISK) return true;
  if (FlushFileBuffers(handleOf(handle_)) != 0) return true;
  fail(GetLastError());
  return false;
}

std::uint32_t FileHandle::closeNative(std::intptr_t handle) {
  return CloseHandle(handleOf(handle)) != 0 ? 0 : GetLastError();
}

std::ptrdiff_t FileHandle::readNative(char* into, std::size_t size) {
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
  const std::ptrdiff_t count = writeOnce(bytes);
  return count > 0 ? count : writeSomeAgain(bytes, count);
}

std::ptrdiff_t FileHandle::writeSomeAgain(std::string_view bytes, std::ptrdiff_t count) {
  for (;;) {
    if (count < 0) {
      fail(GetLastError());
      return -1;
    }
    if (count > 0) return count;
    // A full pipe in no-wait mode takes nothing: wait until it takes more.
    Sleep(1);
    count = writeOnce(bytes);
  }
}

namespace {

// Writes UTF-8 text to a console as UTF-16, whatever its code page: how
// many bytes went out, or -1.
std::ptrdiff_t writeToConsole(HANDLE console, std::string_view bytes) {
  std::array<char16_t, 2048> units;
  std::array<wchar_t, 2048> wide;
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  std::size_t count = 0;
  const std::size_t used = utf16FromUtf8(bytes, units, count);
  std::memcpy(wide.data(), units.data(), count * sizeof(wchar_t));
  for (std::size_t done = 0; done < count;) {
    DWORD written = 0;
    if (WriteConsoleW(console, wide.data() + done, static_cast<DWORD>(count - done), &written,
                      nullptr) == 0 ||
        written == 0) {
      return -1;
    }
    done += written;
  }
  return static_cast<std::ptrdiff_t>(used);
}

}  // namespace

std::ptrdiff_t FileHandle::writeOnce(std::string_view bytes) {
  if (!isOpen()) return -1;
  if (console_) return writeToConsole(handleOf(handle_), bytes);
  const std::size_t size = bytes.size() < kLargestTransfer ? bytes.size() : kLargestTransfer;
  DWORD count = 0;
  if (WriteFile(handleOf(handle_), bytes.data(), static_cast<DWORD>(size), &count, nullptr) == 0) {
    return -1;
  }
  return static_cast<std::ptrdiff_t>(count);
}

ProcessConsole::ProcessConsole() {
  // A missing standard handle, or one that names no open file, is
  // replaced by the null device, so that the console's text is discarded
  // and no file the run opens can receive it.
  for (const DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    if (isOpenHandle(GetStdHandle(which))) continue;
    const HANDLE null =
        CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (null != INVALID_HANDLE_VALUE) SetStdHandle(which, null);
  }
  input_.attachStandard(0);
  output_.attachStandard(1);
  error_.attachStandard(2);
}

}  // namespace cardlift
