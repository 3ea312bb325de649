// Whole numbers as decimal text.
#pragma once

#include <array>
#include <charconv>
#include <cstddef>
#include <string_view>

namespace cardlift {

// The decimal text of a whole number: a '-' before a negative one, then
// its digits, with no leading zeros.
class DecimalDigits {
 public:
  explicit DecimalDigits(long long value)
      : length_(static_cast<std::size_t>(
            std::to_chars(chars_.data(), chars_.data() + chars_.size(), value).ptr -
            chars_.data())) {}

  std::string_view text() const { return {chars_.data(), length_}; }

 private:
  // A sign and the 19 digits of the largest long long.
  std::array<char, 20> chars_{};
  std::size_t length_;
};

}  // namespace cardlift
