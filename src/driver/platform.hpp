// The few operating-system services the program needs: files, console,
// command line. One interface; platform_posix.cpp and platform_windows.cpp
// implement it, and the build picks one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_sink.hpp"
#include "driver/line_reader.hpp"

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

// Why a file cannot be used.
struct FileFault {
  enum class Kind { kNone, kSystem, kIsInput, kIsOutput, kIsStandardOutput, kInUse };
  Kind kind = Kind::kNone;
  // The system's error number, for kSystem.
  std::uint32_t code = 0;
};

// The system's text for one of its error numbers.
std::string describeSystemError(std::uint32_t code);
// The fault as a user reads it: the system's text or the conflict.
std::string describeFault(const FileFault& fault);

// Which file an open handle reaches.
struct FileIdentity {
  bool known = false;
  // Terminals and null devices: the only files that may be named twice.
  bool characterDevice = false;
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
};

// True when both identities are known and name the same file that is not
// a character device.
bool isSameFile(const FileIdentity& a, const FileIdentity& b);

// Where a file device's bytes go: a file, or a fake one in tests.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  // Writes some of the bytes; how many, or a negative number on failure.
  virtual std::ptrdiff_t writeSome(std::string_view bytes) = 0;
  // Cuts the file back to size bytes; false where it cannot be.
  virtual bool truncateTo(std::uint64_t size) = 0;
};

// A file, read and written unbuffered and byte for byte.
class FileHandle final : public ByteSource, public WritableFile {
 public:
  FileHandle() = default;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() override;

  // Opens an existing file that is not a directory; no other process may
  // write it while it stays open.
  bool openForReading(const NativeName& name);
  // Opens the file for writing, created when missing, keeping what it
  // holds. When a name cannot be opened because a file is in use, its
  // identity is still learned where the system allows.
  bool openForWriting(const NativeName& name);
  // Takes the run's lock: shared for reading, exclusive for writing. A
  // file another process holds is refused as in use; a lock the file
  // system cannot take is skipped.
  bool lock(bool exclusive);
  // Stands for standard output (1) or standard error (2); never closed.
  void attachStandard(int number);

  bool isOpen() const { return handle_ != -1; }
  bool isTerminal() const;
  // The width of the terminal in characters; 0 when it is not known.
  std::size_t terminalColumns() const;
  // The size of a regular file in bytes; 0 for every other kind of file.
  std::uint64_t regularFileSize() const;
  const FileIdentity& identity() const { return identity_; }
  const FileFault& fault() const { return fault_; }
  // Closes the file and records why it was refused.
  void refuse(FileFault::Kind why);

  // Empties a regular file; other kinds of file stay as they are.
  bool empty();
  // Cuts a regular file back to size bytes.
  bool truncateTo(std::uint64_t size) override;
  // Closes the file; false when the system reports a failure.
  bool close();

  // Negative on a failed read, with fault() telling why.
  std::ptrdiff_t read(char* into, std::size_t size) override;
  // Writes some of the bytes, waiting while the file would block; how many,
  // or a negative number on failure, with fault() telling why.
  std::ptrdiff_t writeSome(std::string_view bytes) override;
  // One write call and nothing more: how many bytes the system took, or a
  // negative number, after which writeSome tries again, waits or fails.
  std::ptrdiff_t writeOnce(std::string_view bytes);

 private:
  // writeSome after a first write that took nothing (its result `count`):
  // tries again, waits or fails. Where the platform needs it.
  std::ptrdiff_t writeSomeAgain(std::string_view bytes, std::ptrdiff_t count);
  void fail(std::uint32_t code);
  void learnIdentity();
  // Closes whatever was open and forgets its identity and fault.
  void reset();
  // Takes over a handle just opened, and learns its identity.
  void adopt(std::intptr_t handle);

  std::intptr_t handle_ = -1;
  bool owned_ = true;
  FileIdentity identity_;
  FileFault fault_;
};

// Readies the process for a run: a missing standard stream is opened on the
// null device, so that no named file can become the console; a closed pipe
// or a file-size limit makes a write fail instead of ending the program;
// the console window shows UTF-8. Undone, where needed, at the end.
class ProcessConsole {
 public:
  ProcessConsole();
  ProcessConsole(const ProcessConsole&) = delete;
  ProcessConsole& operator=(const ProcessConsole&) = delete;
  ~ProcessConsole();

  FileHandle& standardOutput() { return output_; }
  FileHandle& standardError() { return error_; }

 private:
  FileHandle output_;
  FileHandle error_;
  // The console's output code page before the run; 0 when left alone.
  std::uint32_t previousCodePage_ = 0;
};

// A device over a file. With wholeLines, a file that fails after part of
// a line went out is cut back to the end of its last complete line (its
// bytes counted from where this device started, the start of an emptied
// file), so that it ends on a whole line.
class FileDevice final : public ByteDevice {
 public:
  FileDevice(WritableFile& file, bool wholeLines) : file_(file), wholeLines_(wholeLines) {}
  // Over one of the program's own files, called without a detour.
  FileDevice(FileHandle& file, bool wholeLines)
      : file_(file), handle_(&file), wholeLines_(wholeLines) {}
  bool writeAll(std::string_view bytes) override;
  // One write call for every line, made in FileHandle's platform code.
  bool writeLines(std::string_view bytes) override;

 private:
  // What writeLines does once its first write took `count` of the bytes.
  bool lineWriteDone(std::string_view bytes, std::ptrdiff_t count) {
    // The usual case: all of them, so the file ends on a line end.
    if (count != static_cast<std::ptrdiff_t>(bytes.size())) return writeRestOfLines(bytes, count);
    written_ += bytes.size();
    lastLineEnd_ = written_;
    return true;
  }
  // writeLines over a file that is no FileHandle.
  bool writeLinesToFile(std::string_view bytes);
  // writeLines after a first write that took only `count` bytes of them.
  bool writeRestOfLines(std::string_view bytes, std::ptrdiff_t count);
  // Counts the bytes that went out, and where the last line end among them is.
  void noteWritten(std::string_view done);
  // After a failed write: cuts back whatever part of a line went out.
  void cutBackToLastLine();

  WritableFile& file_;
  // The same file when it is a FileHandle, else null.
  FileHandle* handle_ = nullptr;
  bool wholeLines_;
  std::uint64_t written_ = 0;
  std::uint64_t lastLineEnd_ = 0;
};

}  // namespace cardlift
