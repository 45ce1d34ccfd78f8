// Windows-1250 <-> UTF-8 with the code page's full table.
#include "platform/cp1250.h"

#include <algorithm>
#include <array>
#include <utility>

namespace platform {
namespace {

// Upper half of the code page, bytes 0x80..0xFF; the lower half is ASCII.
// clang-format off
constexpr std::array<char16_t, 128> kHighHalf = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};
// clang-format on

using ReverseEntry = std::pair<char16_t, std::uint8_t>;

// The upper half sorted by code point, for a binary search when encoding.
constexpr std::array<ReverseEntry, 128> MakeReverse() {
  std::array<ReverseEntry, 128> reverse{};
  for (std::size_t i = 0; i < kHighHalf.size(); ++i)
    reverse[i] = {kHighHalf[i], static_cast<std::uint8_t>(0x80 + i)};
  std::sort(reverse.begin(), reverse.end());
  return reverse;
}
constexpr std::array<ReverseEntry, 128> kReverse = MakeReverse();

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {  // the table holds nothing beyond the Basic Multilingual Plane
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

char32_t Cp1250ToCodePoint(std::uint8_t byte) { return byte < 0x80 ? byte : kHighHalf[byte - 0x80]; }

char Cp1250FromCodePoint(char32_t codePoint) {
  if (codePoint < 0x80) return static_cast<char>(codePoint);
  if (codePoint > 0xFFFF) return '?';
  const auto key = static_cast<char16_t>(codePoint);
  const auto it = std::lower_bound(kReverse.begin(), kReverse.end(), key,
                                   [](const ReverseEntry& e, char16_t k) { return e.first < k; });
  if (it == kReverse.end() || it->first != key) return '?';
  return static_cast<char>(it->second);
}

std::string Cp1250ToUtf8(std::string_view cp1250) {
  std::string out;
  out.reserve(cp1250.size() + cp1250.size() / 4);
  for (const char c : cp1250) AppendUtf8(out, Cp1250ToCodePoint(static_cast<std::uint8_t>(c)));
  return out;
}

std::string Utf8ToCp1250(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  const std::size_t n = utf8.size();
  while (i < n) {
    const auto lead = static_cast<std::uint8_t>(utf8[i]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      ++i;
      continue;
    }
    // Length and the allowed range of the second byte, which rules out overlong
    // forms, surrogates and code points above U+10FFFF.
    int length = 0;
    std::uint8_t low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      out += '?';  // stray continuation byte or a lead byte that is never valid
      ++i;
      continue;
    }
    char32_t cp = lead & (0xFF >> (length + 1));
    std::size_t j = i + 1;
    bool complete = true;
    for (int k = 1; k < length; ++k, ++j) {
      if (j >= n) {
        complete = false;
        break;
      }
      const auto b = static_cast<std::uint8_t>(utf8[j]);
      const bool ok = k == 1 ? (b >= low && b <= high) : (b >= 0x80 && b <= 0xBF);
      if (!ok) {
        complete = false;
        break;
      }
      cp = (cp << 6) | (b & 0x3F);
    }
    // A broken sequence counts once; the byte that broke it starts the next one.
    out += complete ? Cp1250FromCodePoint(cp) : '?';
    i = j;
  }
  return out;
}

}  // namespace platform
