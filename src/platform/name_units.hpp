// File names and console text between UTF-8 bytes and UTF-16 code units,
// and the names Windows keeps for its devices.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace cardlift {

// The number of UTF-16 code units of a UTF-8 name: one for each character
// below U+10000, two above it, and one for every byte that is not part of
// a well-formed UTF-8 sequence.
std::size_t utf16Length(std::string_view utf8);

// The UTF-8 bytes of a UTF-16 name; an unpaired surrogate becomes U+FFFD.
std::string utf8FromUtf16(std::u16string_view utf16);

// Converts the whole characters of utf8 that fit into utf16, each byte that
// is not part of a well-formed sequence becoming U+FFFD; returns how many
// bytes were converted and sets `units` to the code units written.
std::size_t utf16FromUtf8(std::string_view utf8, std::span<char16_t> utf16, std::size_t& units);

// True for a name that Windows opens as a device only because of its last
// component: CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9 and COM or LPT with a
// superscript 1, 2 or 3, in any case and with any extension ("nul.txt",
// "logs\aux.log", "com1.out"). A name that is NUL and nothing else, like
// /dev/null, and names in the device namespace ("\\.\COM1") are meant
// as devices and are not taken for such a mistake.
bool isWindowsDeviceName(std::u16string_view name);

}  // namespace cardlift
