// Where the program's bytes come from and where they go: the two
// interfaces between the card loop and the files, the console or memory.
#pragma once

#include <cstddef>
#include <string_view>

namespace cardlift {

// Bytes to read from: a file, or memory in tests.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to size bytes; returns how many, 0 at the end of the input,
  // or a negative number when reading failed.
  virtual std::ptrdiff_t read(char* into, std::size_t size) = 0;
};

// Where bytes finally go: a file, the console, or memory in tests.
class ByteDevice {
 public:
  virtual ~ByteDevice() = default;
  // Writes every byte or reports failure; a partial write is a failure.
  virtual bool writeAll(std::string_view bytes) = 0;
  // The same for bytes that end with a line end, which a device that keeps
  // track of line ends need not search for.
  // By default the same as writeAll. Defined out of line, so that a caller
  // is not compiled to guess it.
  virtual bool writeLines(std::string_view bytes);
};

// A device that drops everything; stands in for a file that could not be
// opened, or a console that must not be written.
class NullDevice final : public ByteDevice {
 public:
  bool writeAll(std::string_view) override { return true; }
};

}  // namespace cardlift
