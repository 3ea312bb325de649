// The record through which every transaction line is built.
#include "core/output_record.hpp"

namespace cardlift {

OutputRecord::NearEnd OutputRecord::appendNearEnd(char* buffer, std::int32_t capacity,
                                                  std::int32_t at, std::string_view text,
                                                  std::int32_t separator) {
  std::int32_t room = capacity - 1 - at;
  if (room <= 0) return {at, 0};
  if (separator != 0) {
    buffer[at++] = '|';
    --room;
  }
  const std::int32_t count = std::min(static_cast<std::int32_t>(text.size()), room);
  if (count > 0) std::memcpy(buffer + at, text.data(), static_cast<std::size_t>(count));
  return {at + std::max(count, 0), separator};
}

}  // namespace cardlift
