// The few operating-system services the program needs: files, console,
// command line. Everything platform-specific lives behind this header.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/text_sink.hpp"
#include "driver/line_reader.hpp"

namespace cardlift {

// A file name as the operating system opens it.
#ifdef _WIN32
using NativeName = std::wstring;
#else
using NativeName = std::string;
#endif

// One command-line argument.
struct ProgramArgument {
  std::string display;    // as printed: UTF-8 bytes
  std::size_t codeUnits;  // its length in UTF-16 code units
  NativeName native;      // as opened
};

// The argument for a name the program chooses itself.
ProgramArgument argumentFromText(const std::string& text);

#ifdef _WIN32
std::vector<ProgramArgument> argumentsFromCommandLine(int argc, wchar_t** argv);
#else
std::vector<ProgramArgument> argumentsFromCommandLine(int argc, char** argv);
#endif

// A file opened for reading or for writing, read and written unbuffered
// and byte for byte.
class FileHandle final : public ByteSource, public ByteDevice {
 public:
  FileHandle() = default;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() override;

  // Opens an existing file that is not a directory.
  bool openForReading(const NativeName& name);
  // Creates the file, or empties it when it exists. A name that leads to
  // the same file as one of the open files in `keep` is refused and the
  // file left as it is: it must not be emptied while it is being read or
  // written.
  bool openForWriting(const NativeName& name, std::initializer_list<const FileHandle*> keep = {});
  bool isOpen() const { return descriptor_ >= 0; }
  // Closes the file; false when the system reports a failure.
  bool close();

  std::ptrdiff_t read(char* into, std::size_t size) override;
  bool writeAll(std::string_view bytes) override;

 private:
  // True when both are open on the same file.
  bool isSameFileAs(const FileHandle& other) const;

  int descriptor_ = -1;
};

// Standard output, written byte for byte.
class ConsoleDevice final : public ByteDevice {
 public:
  ConsoleDevice();
  bool writeAll(std::string_view bytes) override;
  // True when standard output is a terminal.
  bool isTerminal() const;

#ifdef _WIN32
  ConsoleDevice(const ConsoleDevice&) = delete;
  ConsoleDevice& operator=(const ConsoleDevice&) = delete;
  ~ConsoleDevice() override;

 private:
  // The console's output code page before this program set UTF-8; 0 when
  // it was left alone.
  unsigned previousCodePage_ = 0;
#endif
};

}  // namespace cardlift
