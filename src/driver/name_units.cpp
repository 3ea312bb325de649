// File names between UTF-8 bytes and UTF-16 code units.
#include "driver/name_units.hpp"

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

}  // namespace cardlift
