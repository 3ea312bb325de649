// The record through which every transaction line is built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace cardlift {

// Size of the card loop's output line buffer.
inline constexpr std::size_t kOutputLineSize = 1024;

// A transaction line under construction in a caller's buffer. Fields are
// appended with their '|' separators; the separators are counted, not the
// fields, so a line with n separators has n + 1 fields. The line is not
// kept NUL-terminated while it grows: padFieldsTo ends it.
struct OutputRecord {
  char* buffer = nullptr;
  std::int32_t separatorCount = 0;
  std::int32_t length = 0;
  // Room in buffer, terminator included. Nothing is ever written beyond it.
  std::int32_t capacity = 0;

 private:
  // appendField for a line near the end of its buffer: cuts the field short.
  void appendFieldAtEnd(std::string_view text);

 public:
  // Starts a new, empty line in buffer.
  void begin(char* line, std::size_t size = kOutputLineSize);

  // Appends one field: a '|' first unless the line is still empty, then the
  // text (which may be empty). Inline: a line takes about twenty of them.
  void appendField(std::string_view text) {
    const auto count = static_cast<std::int32_t>(text.size());
    // Room for the separator, the text and the terminator.
    if (length + count + 2 > capacity) {
      appendFieldAtEnd(text);
      return;
    }
    if (length > 0) {
      buffer[length++] = '|';
      ++separatorCount;
    }
    if (count > 0) std::memcpy(buffer + length, text.data(), text.size());
    length += count;
  }

  // Appends '|' until the line holds n separators, then terminates it. A
  // line that already holds n or more is only terminated.
  void padFieldsTo(std::int32_t n);

  // Overwrites the character at a line position written earlier.
  void overwrite(std::int32_t position, char c) {
    if (position >= 0 && position < length) buffer[position] = c;
  }

  // Writes fixed-width fields directly: `text` holds `separators` '|' of
  // its own. Used for a line's leading fields, whose widths never vary.
  void appendFixed(std::string_view text, std::int32_t separators);

  std::string_view view() const { return {buffer, static_cast<std::size_t>(length)}; }
};

}  // namespace cardlift
