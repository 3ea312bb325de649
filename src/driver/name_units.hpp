// File names between UTF-8 bytes and UTF-16 code units.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cardlift {

// The number of UTF-16 code units of a UTF-8 name: one for each character
// below U+10000, two above it, and one for every byte that is not part of
// a well-formed UTF-8 sequence.
std::size_t utf16Length(std::string_view utf8);

// The UTF-8 bytes of a UTF-16 name; an unpaired surrogate becomes U+FFFD.
std::string utf8FromUtf16(std::u16string_view utf16);

}  // namespace cardlift
