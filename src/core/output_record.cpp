// The record through which every transaction line is built.
#include "core/output_record.hpp"

#include <cstring>

namespace cardlift {

void OutputRecord::appendFieldAtEnd(std::string_view text) {
  // One character is always kept for the terminator.
  const std::int32_t room = capacity - 1 - length;
  if (length > 0) {
    if (room <= 0) return;
    buffer[length++] = '|';
    ++separatorCount;
  }
  std::int32_t count = static_cast<std::int32_t>(text.size());
  if (count > capacity - 1 - length) count = capacity - 1 - length;
  if (count > 0) {
    std::memcpy(buffer + length, text.data(), static_cast<std::size_t>(count));
    length += count;
  }
}

void OutputRecord::padFieldsAtEnd(std::int32_t n) {
  if (capacity <= 0) return;
  std::int32_t missing = n - separatorCount;
  if (missing > capacity - 1 - length) missing = capacity - 1 - length;
  if (missing > 0) {
    std::memset(buffer + length, '|', static_cast<std::size_t>(missing));
    length += missing;
    separatorCount += missing;
  }
  buffer[length] = '\0';
}

}  // namespace cardlift
