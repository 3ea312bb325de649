// The record through which every transaction line is built.
#pragma once

#include <algorithm>
#include <array>
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
// kept NUL-terminated while it grows: padFieldsTo ends it. Nothing is ever
// written beyond the buffer: a line that would not fit is cut short, one
// character before its end, where padFieldsTo puts the terminator.
struct OutputRecord {
  char* buffer = nullptr;
  std::int32_t length = 0;
  // Room in buffer, terminator included.
  std::int32_t capacity = 0;
  std::int32_t separatorCount = 0;

  // Starts a new, empty line in buffer.
  void begin(char* line, std::size_t size = kOutputLineSize) {
    buffer = line;
    separatorCount = 0;
    length = 0;
    capacity = static_cast<std::int32_t>(size);
  }

  // Appends one field: a '|' first unless the line is still empty, then the
  // text (which may be empty). So the first field of a line gets no
  // separator, and an empty field on a line that is not empty still gets
  // its own.
  void appendField(std::string_view text) {
    // Read once: a character written to the line might, as far as the
    // compiler knows, change the record itself.
    const std::int32_t at = length;
    const std::int32_t separator = at > 0 ? 1 : 0;
    const auto count = static_cast<std::int32_t>(text.size());
    if (at + separator + count >= capacity) {
      const NearEnd cut = appendNearEnd(buffer, capacity, at, text, separator);
      length = cut.length;
      separatorCount += cut.separators;
      return;
    }
    char* out = buffer + at;
    if (separator != 0) *out++ = '|';
    if (count > 0) std::memcpy(out, text.data(), text.size());
    length = at + separator + count;
    separatorCount += separator;
  }

  // Appends fields laid out beforehand that carry their own separators:
  // `fields` holds `separators` '|', one before each field.
  void appendBlock(std::string_view fields, std::int32_t separators) {
    const std::int32_t at = length;
    const auto count = static_cast<std::int32_t>(fields.size());
    if (at + count >= capacity) {
      length = appendNearEnd(buffer, capacity, at, fields, 0).length;
      return;
    }
    if (count > 0) std::memcpy(buffer + at, fields.data(), fields.size());
    length = at + count;
    separatorCount += separators;
  }

  // Appends '|' until the line holds n separators, then terminates it. A
  // line that already holds n or more is only terminated.
  void padFieldsTo(std::int32_t n) {
    if (capacity <= 0) return;
    const std::int32_t at = length;
    const std::int32_t missing = std::min(n - separatorCount, capacity - 1 - at);
    if (missing > 0) {
      std::memset(buffer + at, '|', static_cast<std::size_t>(missing));
      length = at + missing;
      separatorCount += missing;
    }
    buffer[length] = '\0';
  }

  // Overwrites the character at a line position written earlier.
  void overwrite(std::int32_t position, char c) {
    if (position >= 0 && position < length) buffer[position] = c;
  }

  std::string_view view() const { return {buffer, static_cast<std::size_t>(length)}; }

 private:
  // The fields of a line near the end of its buffer, cut short so that one
  // character is left for the terminator: the separator, if any, and as
  // much of the text as fits at `at`. Gives the new length and the
  // separators written. Apart from the record, which then stays in
  // registers while a line is laid out.
  struct NearEnd {
    std::int32_t length;
    std::int32_t separators;
  };
  static NearEnd appendNearEnd(char* buffer, std::int32_t capacity, std::int32_t at,
                               std::string_view text, std::int32_t separator);
};

// Fields laid out once, to be appended to the lines of several calls with
// appendBlock: each field with the '|' before it, as it stands in a line
// behind other fields. At most N characters.
template <std::size_t N>
class FieldRun {
 public:
  // Lays the run out afresh: `lay` appends its fields to the record it is
  // given. The record's line begins with one character that stands for
  // the fields before the run, so that the run's first field gets its '|'
  // as every later one does.
  template <typename Lay>
  void lay(Lay&& lay) {
    OutputRecord record;
    record.begin(chars_.data(), chars_.size());
    chars_[0] = '|';
    record.length = 1;
    lay(record);
    length_ = record.length - 1;
    separators_ = record.separatorCount;
  }

  std::string_view fields() const { return {chars_.data() + 1, static_cast<std::size_t>(length_)}; }
  std::int32_t separators() const { return separators_; }

  // Appends the run to a line.
  void appendTo(OutputRecord& record) const { record.appendBlock(fields(), separators_); }

 private:
  // The stand-in for the fields before, N characters, and the terminator
  // the record keeps room for.
  std::array<char, N + 2> chars_{};
  std::int32_t length_ = 0;
  std::int32_t separators_ = 0;
};

}  // namespace cardlift
