// Reads input lines byte for byte, in bounded memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/io.hpp"

namespace cardlift {

// Reads from a string held in memory.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  std::ptrdiff_t read(char* into, std::size_t size) override;

 private:
  std::string_view bytes_;
};

// How many characters of a line are kept: the rest is only counted.
inline constexpr std::size_t kLineKept = 1023;

// One input line, without its line end.
struct InputLine {
  // The line's first bytes, at most kLineKept of them.
  std::string_view bytes;
  // Number of bytes in the whole line.
  std::uint64_t length = 0;
  // A NUL byte lies beyond the bytes kept.
  bool nulBeyondBytes = false;
  // A tab before the first NUL byte lies beyond the bytes kept.
  bool tabBeyondBytes = false;

  // The kept bytes up to the first NUL byte: what the line shows.
  std::string_view shown() const {
    const void* nul = std::memchr(bytes.data(), '\0', bytes.size());
    if (nul == nullptr) return bytes;
    return bytes.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data()));
  }
  // These are looked for only when asked: most lines never are.
  // The line holds a NUL byte.
  bool hasNul() const { return nulBeyondBytes || shown().size() < bytes.size(); }
  // The line holds a tab before its first NUL byte; `shownBytes` is what
  // shown() gives, for a caller that has it already.
  bool hasTab(std::string_view shownBytes) const {
    return tabBeyondBytes || shownBytes.find('\t') != std::string_view::npos;
  }
  bool hasTab() const { return hasTab(shown()); }
};

// Splits a byte source into lines. "\n" and "\r\n" end a line; a lone
// "\r" is part of the line, also at the very end of the input. A line of
// any length is read in fixed memory: only its first kLineKept bytes are
// kept. The last line need not have a line end; a line end at the very
// end of the input does not start another line. A failed read ends the
// lines as the end of the input does, except that the bytes after the
// last line end are dropped: they may be only part of a line.
class LineReader {
 public:
  explicit LineReader(ByteSource& source) : source_(source) {}
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Reads the next line into `line` (valid until the next call); false at
  // the end of the input. Inline: the usual line lies whole in the buffer,
  // line end included, and is looked at where it lies, not copied.
  bool next(InputLine& line) {
    if (position_ < end_) {
      const char* start = buffer_.data() + position_;
      const void* newline = std::memchr(start, '\n', end_ - position_);
      if (newline != nullptr) {
        std::size_t count = static_cast<std::size_t>(static_cast<const char*>(newline) - start);
        if (count <= kLineKept) {
          position_ += count + 1;
          // The carriage return of a "\r\n" line end is not part of the line.
          if (count > 0 && start[count - 1] == '\r') --count;
          line.bytes = std::string_view(start, count);
          line.length = count;
          line.nulBeyondBytes = false;
          line.tabBeyondBytes = false;
          return true;
        }
      }
    }
    return nextInPieces(line);
  }
  // True once a read has failed.
  bool failed() const { return failed_; }

 private:
  bool refill();
  // next for a line that does not lie whole in the buffer: read piece by
  // piece, refilling the buffer on the way.
  bool nextInPieces(InputLine& line);

  ByteSource& source_;
  std::size_t position_ = 0;
  std::size_t end_ = 0;
  bool exhausted_ = false;
  bool failed_ = false;
  std::array<char, kLineKept + 1> kept_{};
  std::array<char, 64 * 1024> buffer_{};
};

}  // namespace cardlift
