// File names between UTF-8 bytes and UTF-16 code units.
#include "platform/name_units.hpp"

namespace cardlift {
namespace {

// Length of the well-formed UTF-8 sequence at the start of bytes, or 0.
std::size_t sequenceLength(std::string_view bytes) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const auto continuation = [&](std::size_t i) {
    return i < bytes.size() && (at(i) & 0xC0) == 0x80;
  };
  const unsigned lead = at(0);
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return continuation(1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (!continuation(1) || !continuation(2)) return 0;
    // No overlong forms, no surrogates.
    if (lead == 0xE0 && at(1) < 0xA0) return 0;
    if (lead == 0xED && at(1) > 0x9F) return 0;
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (!continuation(1) || !continuation(2) || !continuation(3)) return 0;
    if (lead == 0xF0 && at(1) < 0x90) return 0;
    if (lead == 0xF4 && at(1) > 0x8F) return 0;
    return 4;
  }
  return 0;
}

// The character of the well-formed sequence of `length` bytes at the start
// of bytes.
char32_t decodeSequence(std::string_view bytes, std::size_t length) {
  const auto at = [&](std::size_t i) {
    return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]));
  };
  switch (length) {
    case 1:
      return at(0);
    case 2:
      return ((at(0) & 0x1F) << 6) | (at(1) & 0x3F);
    case 3:
      return ((at(0) & 0x0F) << 12) | ((at(1) & 0x3F) << 6) | (at(2) & 0x3F);
    default:
      return ((at(0) & 0x07) << 18) | ((at(1) & 0x3F) << 12) | ((at(2) & 0x3F) << 6) |
             (at(3) & 0x3F);
  }
}

// ASCII letters of either case as upper case; every other unit as it is.
char16_t upper(char16_t unit) {
  return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

void appendUtf8(std::string& out, char32_t c) {
  const auto byte = [&](unsigned value) { out.push_back(static_cast<char>(value)); };
  if (c < 0x80) {
    byte(static_cast<unsigned>(c));
  } else if (c < 0x800) {
    byte(0xC0 | static_cast<unsigned>(c >> 6));
    byte(0x80 | static_cast<unsigned>(c & 0x3F));
  } else if (c < 0x10000) {
    byte(0xE0 | static_cast<unsigned>(c >> 12));
    byte(0x80 | static_cast<unsigned>((c >> 6) & 0x3F));
    byte(0x80 | static_cast<unsigned>(c & 0x3F));
  } else {
    byte(0xF0 | static_cast<unsigned>(c >> 18));
    byte(0x80 | static_cast<unsigned>((c >> 12) & 0x3F));
    byte(0x80 | static_cast<unsigned>((c >> 6) & 0x3F));
    byte(0x80 | static_cast<unsigned>(c & 0x3F));
  }
}

}  // namespace

std::size_t utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  while (!utf8.empty()) {
    const std::size_t length = sequenceLength(utf8);
    units += length == 4 ? 2 : 1;
    utf8.remove_prefix(length == 0 ? 1 : length);
  }
  return units;
}

std::string utf8FromUtf16(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t unit = utf16[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                          (static_cast<char32_t>(utf16[i + 1]) - 0xDC00));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      appendUtf8(out, 0xFFFD);
    } else {
      appendUtf8(out, unit);
    }
  }
  return out;
}

std::size_t utf16FromUtf8(std::string_view utf8, std::span<char16_t> utf16, std::size_t& units) {
  std::size_t used = 0;
  units = 0;
  while (used < utf8.size()) {
    const std::size_t length = sequenceLength(utf8.substr(used));
    const char32_t c = length == 0 ? 0xFFFD : decodeSequence(utf8.substr(used), length);
    const std::size_t needed = c >= 0x10000 ? 2 : 1;
    if (units + needed > utf16.size()) break;
    if (needed == 2) {
      utf16[units++] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      utf16[units++] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      utf16[units++] = static_cast<char16_t>(c);
    }
    used += length == 0 ? 1 : length;
  }
  return used;
}

bool isWindowsDeviceName(std::u16string_view name) {
  if (name.starts_with(u"\\\\.\\") || name.starts_with(u"\\\\?\\")) return false;
  const std::size_t slash = name.find_last_of(u"\\/:");
  const std::u16string_view last =
      slash == std::u16string_view::npos ? name : name.substr(slash + 1);
  // Windows drops an extension and the blanks before it.
  std::u16string_view base = last.substr(0, last.find(u'.'));
  while (!base.empty() && base.back() == u' ') base.remove_suffix(1);
  if (base.size() == name.size() && base.size() == 3 && upper(base[0]) == u'N' &&
      upper(base[1]) == u'U' && upper(base[2]) == u'L') {
    return false;
  }
  std::u16string key;
  for (const char16_t unit : base) key.push_back(upper(unit));
  static constexpr std::array<std::u16string_view, 4> kDevices{u"CON", u"PRN", u"AUX", u"NUL"};
  for (const std::u16string_view device : kDevices) {
    if (key == device) return true;
  }
  if (key.size() != 4 || (!key.starts_with(u"COM") && !key.starts_with(u"LPT"))) return false;
  const char16_t number = key[3];
  // The digits 1 to 9, and the superscript digits 1, 2 and 3.
  return (number >= u'1' && number <= u'9') || number == u'\u00B9' || number == u'\u00B2' ||
         number == u'\u00B3';
}

}  // namespace cardlift
