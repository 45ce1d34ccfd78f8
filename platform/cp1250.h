// Conversion between Windows-1250 (the code page of the game's Czech text files) and UTF-8.
// Pure functions over bytes: no locale, no iconv, safe on any input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Unicode code point of one Windows-1250 byte. The five bytes the code page leaves
// undefined (0x81, 0x83, 0x88, 0x90, 0x98) map to the C1 controls of the same value,
// so every byte survives a round trip.
char32_t Cp1250ToCodePoint(std::uint8_t byte);

// Windows-1250 byte of a code point, or '?' when the code page has no such character.
char Cp1250FromCodePoint(char32_t codePoint);

std::string Cp1250ToUtf8(std::string_view cp1250);

// Unmappable characters and malformed UTF-8 (overlong forms, surrogates, stray or
// missing continuation bytes, a sequence cut off by the end) each become one '?'.
std::string Utf8ToCp1250(std::string_view utf8);

}  // namespace platform
