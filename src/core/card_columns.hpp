// A card image's data columns, as handed to a converter.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace cardlift {

// Length of a card image.
inline constexpr std::size_t kCardLength = 80;

// Card columns 2 to 80 of one card, without terminator. Columns are named
// by their 1-based number over the whole card (column 1, the card type,
// is not held). A converter gets its own copy and may change it freely.
class CardColumns {
 public:
  static constexpr int kFirst = 2;
  static constexpr int kLast = 80;

  // Takes columns 2 to 80 of an 80-character card.
  explicit CardColumns(std::string_view card) {
    for (std::size_t i = 0; i < chars_.size(); ++i) chars_[i] = card[i + 1];
  }

  char column(int c) const { return chars_[index(c)]; }
  char* at(int c) { return chars_.data() + index(c); }
  const char* at(int c) const { return chars_.data() + index(c); }
  // Columns first to last, both included.
  std::string_view columns(int first, int last) const {
    return {at(first), static_cast<std::size_t>(last - first + 1)};
  }
  bool isBlank(int first, int last) const {
    return columns(first, last).find_first_not_of(' ') == std::string_view::npos;
  }

 private:
  static std::size_t index(int c) { return static_cast<std::size_t>(c - kFirst); }
  std::array<char, kLast - kFirst + 1> chars_{};
};

}  // namespace cardlift
