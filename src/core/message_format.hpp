// Type-safe message formatting into fixed character buffers.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace cardlift {

// Appends pieces to a NUL-terminated text in a fixed buffer, cutting off
// whatever does not fit. Data is only ever a piece, never a format.
class MessageWriter {
 public:
  explicit MessageWriter(std::span<char> target) : target_(target) {
    if (!target_.empty()) target_[0] = '\0';
  }

  MessageWriter& append(std::string_view text);
  MessageWriter& append(char c) { return append(std::string_view(&c, 1)); }
  MessageWriter& append(int value);

  std::size_t size() const { return size_; }
  std::string_view view() const { return {target_.data(), size_}; }

 private:
  std::span<char> target_;
  std::size_t size_ = 0;
};

// Formats the pieces one after the other into target: at most
// target.size() - 1 characters and a terminating NUL.
template <typename... Pieces>
std::string_view formatMessage(std::span<char> target, const Pieces&... pieces) {
  MessageWriter writer(target);
  (writer.append(pieces), ...);
  return writer.view();
}

}  // namespace cardlift
