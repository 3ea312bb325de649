// Card key, action code, century rule and dates.
#include "fields/card_key.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "test_support.hpp"

namespace cardlift {
namespace {

using testing::cardWith;

TEST(CardKeyTest, CenturyRule) {
  struct CenturyCase {
    char first;
    std::string_view century;
  };
  const CenturyCase cases[] = {
      {'0', "20"},
      {'4', "20"},
      {'5', "19"},
      {'9', "19"},
      {' ', "20"},
      {'*', "20"},
      {'A', "19"},
      {'z', "19"},
      {'\x7f', "19"},
      // Bytes 0x80 to 0xFF count as negative codes.
      {'\x80', "20"},
      {'\xb5', "20"},
      {'\xff', "20"},
  };
  for (const CenturyCase& c : cases) {
    const std::array<char, 4> year = expandCardYear(c.first, 'Q');
    EXPECT_EQ(std::string(year.data(), 4), std::string(c.century) + c.first + 'Q')
        << static_cast<int>(static_cast<unsigned char>(c.first));
  }
}

TEST(CardKeyTest, DateTakesColumns24To29AsTheyStand) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"491231", "20491231"}, {"500101", "19500101"}, {"      ", "20      "},
      {"5 ", "195     "},     {"9A13ZZ", "199A13ZZ"},
  };
  for (const auto& [columns, date] : cases) {
    const CardColumns card(cardWith({{24, columns}, {30, "77"}}));
    EXPECT_EQ(textOf(formatCardDate(card)), date) << columns;
  }
}

TEST(CardKeyTest, WriteCardKeyFieldsOneToSeven) {
  struct KeyCase {
    std::string_view key;  // columns 2-16
    char action;           // column 80
    std::string_view line;
  };
  const KeyCase cases[] = {
      {"271050042532101", 'I', "RD|I|27|105|0042|53210|1"},
      {"271050042532101", 'M', "RD|U|27|105|0042|53210|1"},
      {"271050042532101", 'm', "RD|m|27|105|0042|53210|1"},
      {"271050042532101", 'D', "RD|D|27|105|0042|53210|1"},
      {"271050042532101", ' ', "RD| |27|105|0042|53210|1"},
      {"27105    53210 ", 'I', "RD|I|27|105|    |53210| "},
      {"ab c-1234*xy z ", 'I', "RD|I|ab| c-|1234|*xy z| "},
  };
  for (const KeyCase& c : cases) {
    const std::string image =
        cardWith({{1, "2"}, {2, c.key}, {80, std::string_view(&c.action, 1)}});
    std::array<char, kOutputLineSize> line{};
    OutputRecord record;
    record.begin(line.data());
    record.appendField("RD");
    writeCardKey(record, CardColumns(image));
    EXPECT_EQ(record.view(), c.line);
    EXPECT_EQ(record.separatorCount, 6);
    EXPECT_EQ(record.length, 24);
  }
}

}  // namespace
}  // namespace cardlift
