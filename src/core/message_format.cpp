// Type-safe message formatting into fixed character buffers.
#include "core/message_format.hpp"

#include <cstring>

namespace cardlift {

MessageWriter& MessageWriter::append(std::string_view text) {
  if (target_.empty()) return *this;
  const std::size_t room = target_.size() - 1 - size_;
  const std::size_t count = text.size() < room ? text.size() : room;
  if (count > 0) std::memcpy(target_.data() + size_, text.data(), count);
  size_ += count;
  target_[size_] = '\0';
  return *this;
}

MessageWriter& MessageWriter::append(int value) {
  char digits[16];
  std::size_t at = sizeof digits;
  const bool negative = value < 0;
  long long rest = negative ? -static_cast<long long>(value) : value;
  do {
    digits[--at] = static_cast<char>('0' + rest % 10);
    rest /= 10;
  } while (rest != 0);
  if (negative) digits[--at] = '-';
  return append(std::string_view(digits + at, sizeof digits - at));
}

}  // namespace cardlift
