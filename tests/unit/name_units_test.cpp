// File-name lengths in UTF-16 code units, and UTF-16 to UTF-8.
#include "platform/name_units.hpp"

#include <gtest/gtest.h>

#include <array>

namespace cardlift {
namespace {

TEST(Utf16LengthTest, CountsCodeUnits) {
  struct Case {
    std::string_view bytes;
    std::size_t units;
  };
  const Case cases[] = {
      {"", 0},
      {"cards.txt", 9},
      {"\xC3\xA9", 1},          // e acute: two bytes, one unit
      {"\xE2\x82\xAC", 1},      // euro sign: three bytes, one unit
      {"\xF0\x9F\x98\x80", 2},  // emoji: a surrogate pair
      {"\xFF", 1},              // never valid
      {"\xC3", 1},              // cut short
      {"\xE2\x82", 2},          // cut short: each byte counts
      {"\xC0\xAF", 2},          // overlong form
      {"\xED\xA0\x80", 3},      // an encoded surrogate
      {"\xF4\x90\x80\x80", 4},  // above U+10FFFF
      {"a\x80"
       "b",
       3},  // stray continuation byte
      {"\xE2\x82\xAC\xF0\x9F\x98\x80x", 4},
  };
  for (const Case& c : cases) EXPECT_EQ(utf16Length(c.bytes), c.units) << c.bytes;
}

TEST(Utf8FromUtf16Test, EncodesAndReplacesUnpairedSurrogates) {
  EXPECT_EQ(utf8FromUtf16(u"abc"), "abc");
  EXPECT_EQ(utf8FromUtf16(u"\u00e9\u20ac"), "\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(utf8FromUtf16(u"\U0001F600"), "\xF0\x9F\x98\x80");
  const char16_t lone[] = {u'a', 0xD800, u'b', 0};
  EXPECT_EQ(utf8FromUtf16(lone),
            "a\xEF\xBF\xBD"
            "b");
}

TEST(Utf16FromUtf8Test, ConvertsWholeCharactersThatFit) {
  std::array<char16_t, 3> units{};
  std::size_t count = 0;
  // e acute, an emoji (two units), then no room for the euro sign.
  EXPECT_EQ(utf16FromUtf8("\xC3\xA9\xF0\x9F\x98\x80\xE2\x82\xAC", units, count), 6u);
  EXPECT_EQ(std::u16string(units.data(), count), u"\u00e9\U0001F600");
  EXPECT_EQ(utf16FromUtf8("a\xFF", units, count), 2u);
  EXPECT_EQ(std::u16string(units.data(), count), u"a\uFFFD");
}

TEST(WindowsDeviceNameTest, LastComponentsThatWindowsOpensAsDevices) {
  struct Case {
    std::u16string_view name;
    bool device;
  };
  const Case cases[] = {
      {u"nul.txt", true},        {u"NUL", false},
      {u"nul", false},           {u"dir\\NUL", true},
      {u"aux.log", true},        {u"C:com1.out", true},
      {u"out/Con.tar.gz", true}, {u"prn .txt", true},
      {u"LPT9", true},           {u"com\u00B9.txt", true},
      {u"COM0.txt", false},      {u"COM10", false},
      {u"console.txt", false},   {u"nulx.txt", false},
      {u"\\\\.\\COM1", false},   {u"\\\\?\\C:\\nul.txt", false},
      {u"cards.out", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isWindowsDeviceName(c.name), c.device) << utf8FromUtf16(c.name);
  }
}

}  // namespace
}  // namespace cardlift
