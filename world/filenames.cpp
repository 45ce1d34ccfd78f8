// The player's names: a whitelist of characters rather than a list of what file systems
// refuse, so the same name works on every system the game is played on.
#include "world/filenames.h"

#include <charconv>

#include "platform/cp1250.h"

namespace {

// One UTF-8 character at `pos`, advancing it; false for malformed or cut sequences.
bool NextCodePoint(std::string_view s, std::size_t& pos, char32_t& out) {
  const auto lead = static_cast<unsigned char>(s[pos]);
  int extra = 0;
  if (lead < 0x80) {
    out = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    out = lead & 0x1F;
    extra = 1;
  } else if ((lead & 0xF0) == 0xE0) {
    out = lead & 0x0F;
    extra = 2;
  } else if ((lead & 0xF8) == 0xF0) {
    out = lead & 0x07;
    extra = 3;
  } else {
    return false;
  }
  if (pos + 1 + static_cast<std::size_t>(extra) > s.size()) return false;
  for (int k = 1; k <= extra; ++k) {
    const auto c = static_cast<unsigned char>(s[pos + static_cast<std::size_t>(k)]);
    if ((c & 0xC0) != 0x80) return false;
    out = out << 6 | (c & 0x3F);
  }
  constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  if (out < kLeast[extra] || out > 0x10FFFF || (out >= 0xD800 && out <= 0xDFFF)) return false;
  pos += 1 + static_cast<std::size_t>(extra);
  return true;
}

bool AsciiLetterOrDigit(char32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// A letter of Windows-1250 beyond ASCII: Czech, Slovak, Polish, Hungarian and the rest of
// the code page's Latin letters. Its symbols, quotes and spaces are not letters.
bool Cp1250Letter(char32_t c) {
  if (c < 0x80 || platform::Cp1250FromCodePoint(c) == '?') return false;
  if (c == 0xD7 || c == 0xF7) return false;  // the multiplication and division signs
  return c >= 0xC0 && c <= 0x17F;
}

}  // namespace

std::string NameFault(std::string_view utf8, TTRVNameKind kind) {
  if (utf8.empty()) return "the name is empty";
  int length = 0;
  for (std::size_t pos = 0; pos < utf8.size();) {
    char32_t c = 0;
    if (!NextCodePoint(utf8, pos, c)) return "the name is not valid text";
    if (!AsciiLetterOrDigit(c) && c != ' ' && c != '_' && c != '-' && !Cp1250Letter(c))
      return "the name may hold only letters, digits, spaces, \"_\" and \"-\"";
    ++length;
  }
  if (length > kMaxNameLength) return "the name is longer than " + std::to_string(kMaxNameLength) + " characters";
  if (utf8.front() == ' ' || utf8.back() == ' ') return "the name starts or ends with a space";
  if (kind == TTRVNameKind::Save && (utf8 == kAutoSaveName || utf8 == kTempSaveName))
    return "the game keeps that name for its own saves";
  if (kind == TTRVNameKind::World && IsCampaignWorldName(utf8)) return "names ending in \"_\" and a number belong to campaigns";
  return {};
}

bool IsCampaignWorldName(std::string_view name) {
  const std::size_t bar = name.rfind('_');
  if (bar == std::string_view::npos || bar + 1 >= name.size() || name.size() - bar - 1 > 2) return false;
  int number = -1;
  const char* first = name.data() + bar + 1;
  const char* last = name.data() + name.size();
  const auto [end, ec] = std::from_chars(first, last, number);
  return ec == std::errc{} && end == last && number >= 0 && number <= 50;
}

bool NamesCampaign(std::string_view missionName) { return !missionName.empty() && missionName != kNoCampaignName; }
