// The few operating-system services the program needs: files, console,
// command line. One interface; platform_posix.cpp and platform_windows.cpp
// implement it (the build picks one), and platform.cpp holds what both
// share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "core/io.hpp"

namespace cardlift {

// A file name as the operating system opens it, and the characters of the
// command line.
#ifdef _WIN32
using NativeName = std::wstring;
using NativeChar = wchar_t;
#else
using NativeName = std::string;
using NativeChar = char;
#endif

// One command-line argument.
struct ProgramArgument {
  std::string display;    // as printed: UTF-8 bytes
  std::size_t codeUnits;  // its length in UTF-16 code units
  NativeName native;      // as opened
};

// The argument for a name the program chooses itself.
ProgramArgument argumentFromText(const std::string& text);

std::vector<ProgramArgument> argumentsFromCommandLine(int argc, NativeChar** argv);

// The most bytes one read or write call is asked to move: ReadFile and
// WriteFile take a 32-bit count, read and write return a signed size.
#ifdef _WIN32
inline constexpr std::size_t kLargestTransfer = std::size_t{1} << 30;
#else
inline constexpr std::size_t kLargestTransfer =
    static_cast<std::size_t>(std::numeric_limits<std::ptrdiff_t>::max());
#endif

// Why a file cannot be used, or what went wrong with it.
struct FileFault {
  enum class Kind {
    kNone,
    kSystem,
    kIsInput,
    kIsOutput,
    kIsStandardInput,
    kIsStandardOutput,
    kCannotTellApart,
    kInUse,
    kChanged,
    kDeviceName,
    kNotRegular,
  };
  Kind kind = Kind::kNone;
  // The system's error number, for kSystem.
  std::uint32_t code = 0;
  // The file it cannot be told apart from, for kCannotTellApart.
  std::string_view other;
};

// The system's text for one of its error numbers.
std::string describeSystemError(std::uint32_t code);
// The fault as a user reads it: the system's text or the conflict.
std::string describeFault(const FileFault& fault);

// Which file an open handle reaches, as far as the system tells.
struct FileIdentity {
  enum class Kind {
    kNone,  // no file: nothing was opened
    kDisk,  // a regular file or a directory
    kPipe,  // a pipe, FIFO or socket
    kCharacterDevice,
    kBlockDevice,
    kOther,  // a file of a kind the system does not name
  };
  Kind kind = Kind::kNone;
  // The file's number was learned: the device and inode on POSIX (for a
  // block device its own device number, whatever node names it), the file
  // id on Windows (128 bits where the file system gives them, else the
  // 64-bit index).
  bool numbered = false;
  std::uint64_t volume = 0;
  std::uint64_t high = 0;
  std::uint64_t index = 0;
  // Windows: the file's final path, where no number could be learned.
  NativeName path;
};

// What two identities tell of their files.
enum class Sameness { kDifferent, kSame, kCannotTell };

// Whether two handles reach the same file. Character devices (terminals,
// null devices) never do: they are the only files that may be named
// twice. Where a file's number is not known, a disk file may be any disk
// file, a pipe any pipe, and a file of another kind any file.
Sameness compareFiles(const FileIdentity& a, const FileIdentity& b);

// The size and times of a file, to learn whether it changed.
struct FileState {
  bool regular = false;
  std::uint64_t size = 0;
  // Nanoseconds since the system's epoch.
  std::int64_t modified = 0;
  std::int64_t changed = 0;
  bool operator==(const FileState&) const = default;
};

// Where a file device's bytes go: a file, or a fake one in tests.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  // Writes some of the bytes, waiting while the file would block; how
  // many, or a negative number on failure.
  virtual std::ptrdiff_t writeSome(std::string_view bytes) = 0;
  // Cuts the file back to size bytes; the fault when it cannot be.
  virtual FileFault truncateTo(std::uint64_t size) = 0;
};

// How the run uses a file.
enum class Access { kRead, kWrite };

// A file, read and written unbuffered and byte for byte.
class FileHandle final : public ByteSource, public WritableFile {
 public:
  FileHandle() = default;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() override;

  // Opens an existing file that is not a directory for reading, or a file
  // for writing, created when missing and keeping what it holds. A name
  // that leads to a device only because Windows reserves it is refused
  // there. When a name cannot be opened because a file is in use, its
  // identity is still learned where the system allows.
  bool open(const NativeName& name, Access access);
  // Takes the run's lock: shared for reading, exclusive for writing. A
  // file another process holds is refused as in use; a lock the file
  // system cannot take leaves the file usable, with lockFault() telling
  // why.
  bool lock(Access access);
  // Stands for standard input (0), output (1) or error (2); never closed.
  // A stream that is not open stays missing: nothing is written to it,
  // whatever file later takes its number.
  void attachStandard(int number);

  bool isOpen() const { return handle_ != kNoHandle; }
  bool isTerminal() const;
  // The width of the terminal in characters; 0 when it is not known.
  std::size_t terminalColumns() const;
  // False while the process is in the background of the terminal, where
  // writing could stop it: the terminal belongs to another process group.
  bool inForeground() const;
  // The size and times of the file now.
  FileState state() const;
  // False, with fault() telling so, when a regular file opened for
  // reading has changed since: its size or times differ from when it was
  // opened, or bytesRead is not its size.
  bool unchangedSinceOpened(std::uint64_t bytesRead);
  const FileIdentity& identity() const { return identity_; }
  const FileFault& fault() const { return fault_; }
  const FileFault& lockFault() const { return lockFault_; }
  // Closes the file and records why it was refused.
  void refuse(const FileFault& why);

  // Empties a regular file; other kinds of file stay as they are.
  bool empty();
  // Cuts a regular file back to size bytes.
  FileFault truncateTo(std::uint64_t size) override;
  // Hands what was written to the file's storage: a disk file's data is
  // on the disk (or the server's) when it returns true.
  bool sync();
  // Closes the file; false when the system reports a failure.
  bool close();

  // Negative on a failed read, with fault() telling why.
  std::ptrdiff_t read(char* into, std::size_t size) override;
  // Writes some of the bytes, waiting while the file would block; how many,
  // or a negative number on failure, with fault() telling why.
  std::ptrdiff_t writeSome(std::string_view bytes) override;
  // One write call, of at most kLargestTransfer bytes, and nothing more:
  // how many bytes the system took, or a negative number, after which
  // writeSome tries again, waits or fails. On POSIX systems inline: every
  // transaction line goes from the record's buffer through it to write(2)
  // without a call of its own (3 instructions a line on the mix).
#ifdef _WIN32
  std::ptrdiff_t writeOnce(std::string_view bytes);
#else
  std::ptrdiff_t writeOnce(std::string_view bytes) {
    return ::write(static_cast<int>(handle_), bytes.data(),
                   bytes.size() < kLargestTransfer ? bytes.size() : kLargestTransfer);
  }
#endif

 private:
  static constexpr std::intptr_t kNoHandle = -1;

  // writeSome after a first write that took nothing (its result `count`):
  // tries again, waits or fails.
  std::ptrdiff_t writeSomeAgain(std::string_view bytes, std::ptrdiff_t count);
  void fail(std::uint32_t code);
  // Opens name, or sets fault_ and returns kNoHandle.
  std::intptr_t openNative(const NativeName& name, Access access);
  // The system's calls behind read and close: one read of at most
  // kLargestTransfer bytes, and a close that returns the system's error
  // number, 0 when it succeeded.
  std::ptrdiff_t readNative(char* into, std::size_t size);
  static std::uint32_t closeNative(std::intptr_t handle);
  void learnIdentity();
  // Closes whatever was open and forgets its identity and faults.
  void reset();

  std::intptr_t handle_ = kNoHandle;
  bool owned_ = true;
  // Windows: a console, which takes its text as UTF-16.
  bool console_ = false;
  FileIdentity identity_;
  FileFault fault_;
  FileFault lockFault_;
  FileState opened_;
};

// Readies the process for a run: a missing standard stream is opened on the
// null device, so that no named file can become the console; a closed pipe
// or a file-size limit makes a write fail instead of ending the program.
class ProcessConsole {
 public:
  ProcessConsole();
  ProcessConsole(const ProcessConsole&) = delete;
  ProcessConsole& operator=(const ProcessConsole&) = delete;

  FileHandle& standardInput() { return input_; }
  FileHandle& standardOutput() { return output_; }
  FileHandle& standardError() { return error_; }

 private:
  FileHandle input_;
  FileHandle output_;
  FileHandle error_;
};

// What a file device leaves when a write fails after part of a line.
enum class Ending {
  // Whatever went out: the console.
  kAsWritten,
  // The file is cut back to the end of its last complete line (its bytes
  // counted from where the device started, the start of an emptied file).
  kWholeLines,
};

// A device over a file.
class FileDevice final : public ByteDevice {
 public:
  FileDevice(WritableFile& file, Ending ending) : file_(file), ending_(ending) {}
  // Over one of the program's own files, called without a detour.
  FileDevice(FileHandle& file, Ending ending) : file_(file), handle_(&file), ending_(ending) {}
  bool writeAll(std::string_view bytes) override;
  // One write call for every line.
  bool writeLines(std::string_view bytes) override;
  // Why a partial line could not be taken back after a failed write;
  // kNone when none was left.
  const FileFault& cutBackFault() const { return cutBackFault_; }

 private:
  // writeLines after a first write that took only `count` bytes of them.
  bool writeRestOfLines(std::string_view bytes, std::ptrdiff_t count);
  // Counts the bytes that went out, and where the last line end among them is.
  void noteWritten(std::string_view done);
  // After a failed write: cuts back whatever part of a line went out.
  void cutBackToLastLine();

  WritableFile& file_;
  // The same file when it is a FileHandle, else null.
  FileHandle* handle_ = nullptr;
  Ending ending_;
  std::uint64_t written_ = 0;
  std::uint64_t lastLineEnd_ = 0;
  FileFault cutBackFault_;
};

}  // namespace cardlift
