// Windows-1250 <-> UTF-8: the Czech letters, lossless bytes, and hostile UTF-8.
#include "platform/cp1250.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

namespace {

using platform::Cp1250ToUtf8;
using platform::Utf8ToCp1250;

// Converts from a buffer of exactly the input's size, so a read past the end is
// caught by the address sanitizer instead of landing on a terminator.
std::string Utf8ToCp1250Exact(std::string_view input) {
  auto buffer = std::make_unique<char[]>(input.size());
  std::copy(input.begin(), input.end(), buffer.get());
  return Utf8ToCp1250(std::string_view(buffer.get(), input.size()));
}

struct Letter {
  unsigned char byte;
  const char* utf8;
};

TEST(Cp1250, CzechLettersHaveTheirCodePageBytesBothWays) {
  // clang-format off
  const Letter letters[] = {
    {0xEC, "ě"}, {0x9A, "š"}, {0xE8, "č"}, {0xF8, "ř"}, {0x9E, "ž"}, {0xFD, "ý"}, {0xE1, "á"},
    {0xED, "í"}, {0xE9, "é"}, {0xF9, "ů"}, {0xFA, "ú"}, {0x9D, "ť"}, {0xEF, "ď"}, {0xF2, "ň"},
    {0xCC, "Ě"}, {0x8A, "Š"}, {0xC8, "Č"}, {0xD8, "Ř"}, {0x8E, "Ž"}, {0xDD, "Ý"}, {0xC1, "Á"},
    {0xCD, "Í"}, {0xC9, "É"}, {0xD9, "Ů"}, {0xDA, "Ú"}, {0x8D, "Ť"}, {0xCF, "Ď"}, {0xD2, "Ň"},
    {0x80, "€"}, {0x84, "„"}, {0x93, "“"}, {0x96, "–"}, {0xA0, "\u00A0"}, {0xFF, "˙"},
  };
  // clang-format on
  for (const Letter& l : letters) {
    const std::string byte(1, static_cast<char>(l.byte));
    EXPECT_EQ(Cp1250ToUtf8(byte), l.utf8) << "byte 0x" << std::hex << int(l.byte);
    EXPECT_EQ(Utf8ToCp1250(l.utf8), byte) << l.utf8;
  }
}

TEST(Cp1250, TextWithCzechLettersRoundTrips) {
  const std::string utf8 = "Příliš žluťoučký kůň úpěl ďábelské ódy. ŽLUŤOUČKÝ KŮŇ, Ďábel, Ťapka, Ňadra!";
  const std::string cp = Utf8ToCp1250(utf8);
  EXPECT_EQ(cp.find('?'), std::string::npos);
  EXPECT_LT(cp.size(), utf8.size());
  EXPECT_EQ(Cp1250ToUtf8(cp), utf8);
}

TEST(Cp1250, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = Cp1250ToUtf8(all);
  EXPECT_EQ(Utf8ToCp1250Exact(utf8), all);  // includes NUL and the five undefined bytes
}

TEST(Cp1250, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  const struct {
    const char* utf8;
    const char* cp1250;
  } cases[] = {
      {"ÿ", "?"},             // Latin-1 but not Central European
      {"日本", "??"},         // three-byte characters
      {"a😀b", "a?b"},         // outside the Basic Multilingual Plane
      {"\xEF\xBF\xBF", "?"},  // U+FFFF
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToCp1250Exact(c.utf8), c.cp1250) << c.utf8;
}

TEST(Cp1250, MalformedUtf8BecomesOneQuestionMarkPerBrokenPiece) {
  const struct {
    std::string_view utf8;
    std::string_view cp1250;
  } cases[] = {
      {"\x80", "?"},                 // continuation byte with no lead
      {"a\xC5", "a?"},               // two-byte sequence cut off by the end
      {"\xE2\x82", "?"},             // three-byte sequence cut off by the end
      {"\xF0\x9F\x98", "?"},         // four-byte sequence cut off by the end
      {"\xC5(", "?("},               // lead byte followed by a non-continuation
      {"\xE2\x82x", "?x"},           // the breaking byte starts again
      {"\xC0\xAF", "??"},            // overlong '/' (C0 is never valid)
      {"\xE0\x80\xAF", "???"},       // overlong in three bytes
      {"\xED\xA0\x80", "???"},       // UTF-16 surrogate
      {"\xF4\x90\x80\x80", "????"},  // above U+10FFFF
      {"\xF5\x80", "??"},            // lead byte beyond the range
      {"\xFF\xFE", "??"},
      {"\xC5\x99\xC5", "\xF8?"},  // good 'ř' then a cut-off sequence
  };
  for (const auto& c : cases)
    EXPECT_EQ(Utf8ToCp1250Exact(c.utf8), c.cp1250) << "input size " << c.utf8.size();
}

}  // namespace
