// A card image's data columns, as handed to a converter.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace cardlift {

// Length of a card image.
inline constexpr std::size_t kCardLength = 80;

// A run of card columns: the 1-based number of the first and how many.
struct ColumnRange {
  int first;
  int width;

  constexpr int last() const { return first + width - 1; }
  // The range of the same width `columns` columns further on.
  constexpr ColumnRange shiftedBy(int columns) const { return {first + columns, width}; }
};

// A card of kCardLength characters holds `c` somewhere. All its columns
// are looked at at once: a test of fixed length, which compilers make in a
// few wide steps, is cheaper than a search. A column that is `c` is the only
// one that gives 0 when `c` is taken off with an exclusive or.
inline bool cardHolds(std::string_view card, char c) {
  unsigned char least = 0xFF;
  for (std::size_t i = 0; i < kCardLength; ++i) {
    const auto other = static_cast<unsigned char>(card[i] ^ c);
    least = other < least ? other : least;
  }
  return least == 0;
}

// Card columns 2 to 80 of one card, without terminator. Columns are named
// by their 1-based number over the whole card (column 1, the card type,
// is not held). A converter gets its own copy and may change it; the
// further calls for one card get back the copy the earlier calls left.
class CardColumns {
 public:
  static constexpr int kFirst = 2;
  static constexpr int kLast = 80;

  // No card yet: every column holds a NUL.
  CardColumns() = default;
  // Takes columns 2 to 80 of an 80-character card.
  explicit CardColumns(std::string_view card) { take(card); }
  // Takes columns 2 to 80 of another card.
  void take(std::string_view card) { std::memcpy(chars_.data(), card.data() + 1, chars_.size()); }

  char column(int c) const { return chars_[index(c)]; }
  char* at(int c) { return chars_.data() + index(c); }
  std::string_view columns(ColumnRange range) const {
    return {chars_.data() + index(range.first), static_cast<std::size_t>(range.width)};
  }
  bool isBlank(ColumnRange range) const {
    for (const char c : columns(range)) {
      if (c != ' ') return false;
    }
    return true;
  }

 private:
  static std::size_t index(int c) { return static_cast<std::size_t>(c - kFirst); }
  std::array<char, kLast - kFirst + 1> chars_{};
};

}  // namespace cardlift
