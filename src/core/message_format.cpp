// Type-safe message formatting into fixed character buffers.
#include "core/message_format.hpp"

#include <cstring>

#include "core/decimal_digits.hpp"

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

MessageWriter& MessageWriter::append(int value) { return append(DecimalDigits(value).text()); }

}  // namespace cardlift
