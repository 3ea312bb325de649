// The record through which every transaction line is built.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/compiler.hpp"

namespace cardlift {

// Size of the card loop's output line buffer.
inline constexpr std::size_t kOutputLineSize = 1024;

// Copies a short text of a size known only at run time without a library
// call: two copies of a fixed size that overlap in the middle. Nothing
// before `from` or after from + count is read.
inline void copyShort(char* to, const char* from, std::size_t count) {
  if (count >= 8) {
    if (count > 16) {
      std::memcpy(to, from, count);
      return;
    }
    std::memcpy(to, from, 8);
    std::memcpy(to + count - 8, from + count - 8, 8);
  } else if (count >= 4) {
    std::memcpy(to, from, 4);
    std::memcpy(to + count - 4, from + count - 4, 4);
  } else if (count >= 2) {
    std::memcpy(to, from, 2);
    std::memcpy(to + count - 2, from + count - 2, 2);
  } else if (count == 1) {
    *to = *from;
  }
}

// A transaction line under construction in a caller's buffer. Fields are
// appended with their '|' separators; the separators are counted, not the
// fields, so a line with n separators has n + 1 fields. The line is not
// kept NUL-terminated while it grows: padFieldsTo ends it.
struct OutputRecord {
  char* buffer = nullptr;
  std::int32_t length = 0;
  // Room in buffer, terminator included. Nothing is ever written beyond it.
  std::int32_t capacity = 0;
  std::int32_t separatorCount = 0;

 private:
  // appendField for a line near the end of its buffer: cuts the field short.
  void appendFieldAtEnd(std::string_view text);
  // padFieldsTo for a long run or a line near the end of its buffer.
  CARDLIFT_COLD void padFieldsAtEnd(std::int32_t n);

 public:
  // Starts a new, empty line in buffer.
  void begin(char* line, std::size_t size = kOutputLineSize) {
    buffer = line;
    separatorCount = 0;
    length = 0;
    capacity = static_cast<std::int32_t>(size);
  }

  // Appends one field: a '|' first unless the line is still empty, then the
  // text (which may be empty). Inline: a line takes about twenty of them.
  void appendField(std::string_view text) {
    const auto count = static_cast<std::int32_t>(text.size());
    // Read once: a character written to the line might, as far as the
    // compiler knows, change the record itself.
    const std::int32_t at = length;
    // Room for the separator, the text and the terminator.
    if (at + count + 2 > capacity) {
      appendFieldAtEnd(text);
      return;
    }
    char* const out = buffer + at;
    if (at > 0) {
      *out = '|';
      copyShort(out + 1, text.data(), text.size());
      length = at + 1 + count;
      ++separatorCount;
      return;
    }
    copyShort(out, text.data(), text.size());
    length = count;
  }

  // The longest run of '|' padFieldsTo writes in one copy.
  static constexpr std::int32_t kSeparatorRun = 32;

  // Appends '|' until the line holds n separators, then terminates it. A
  // line that already holds n or more is only terminated.
  void padFieldsTo(std::int32_t n) {
    static constexpr char kSeparators[kSeparatorRun + 1] = "||||||||||||||||||||||||||||||||";
    const std::int32_t missing = n - separatorCount;
    // Copies a whole run and keeps only the separators missing: the rest
    // lies behind the line's end.
    if (missing <= kSeparatorRun && length + kSeparatorRun + 1 <= capacity) {
      if (missing > 0) {
        std::memcpy(buffer + length, kSeparators, kSeparatorRun);
        length += missing;
        separatorCount = n;
      }
      buffer[length] = '\0';
      return;
    }
    padFieldsAtEnd(n);
  }

  // Overwrites the character at a line position written earlier.
  void overwrite(std::int32_t position, char c) {
    if (position >= 0 && position < length) buffer[position] = c;
  }

  // Writes fixed-width fields directly: `text` holds `separators` '|' of
  // its own. Used for a line's leading fields, whose widths never vary.
  void appendFixed(std::string_view text, std::int32_t separators) {
    if (length + static_cast<std::int32_t>(text.size()) + 1 > capacity) return;
    copyShort(buffer + length, text.data(), text.size());
    length += static_cast<std::int32_t>(text.size());
    separatorCount += separators;
  }

  // Appends the first `count` characters of a block of fields laid out
  // beforehand, holding `separators` '|' of their own. The whole block is
  // copied at once: what lies behind `count` is overwritten by what follows.
  template <std::size_t N>
  void appendPrepared(const std::array<char, N>& fields, std::int32_t count,
                      std::int32_t separators) {
    if (length + static_cast<std::int32_t>(N) + 1 > capacity) {
      appendFixed(std::string_view(fields.data(), static_cast<std::size_t>(count)), separators);
      return;
    }
    std::memcpy(buffer + length, fields.data(), N);
    length += count;
    separatorCount += separators;
  }

  // Appends one field per character: the character, or an empty field for
  // a blank. Inline, and in one piece where there is room: the last fields
  // of many lines are such.
  template <std::size_t N>
  void appendCharFields(const std::array<char, N>& chars) {
    const std::int32_t at = length;
    if (at == 0 || at + 2 * static_cast<std::int32_t>(N) + 1 > capacity) {
      for (const char& c : chars) appendField(std::string_view(&c, c == ' ' ? 0 : 1));
      return;
    }
    char* out = buffer + at;
    for (const char c : chars) {
      *out++ = '|';
      *out = c;
      if (c != ' ') ++out;
    }
    length = static_cast<std::int32_t>(out - buffer);
    separatorCount += static_cast<std::int32_t>(N);
  }

  // For fields written in place: puts the separator of a field of at most
  // `most` characters on the line and returns where its text goes, or null
  // when the line is empty or too near the end of its buffer (appendField
  // then takes the field). closeFields ends what was written.
  char* openField(std::int32_t most) {
    const std::int32_t at = length;
    if (at == 0 || at + 1 + most + 1 > capacity) return nullptr;
    buffer[at] = '|';
    return buffer + at + 1;
  }
  // Ends the fields written from openField at `end`; they hold `separators`
  // '|', the one openField put included.
  void closeFields(const char* end, std::int32_t separators) {
    length = static_cast<std::int32_t>(end - buffer);
    separatorCount += separators;
  }

  std::string_view view() const { return {buffer, static_cast<std::size_t>(length)}; }
};

}  // namespace cardlift
