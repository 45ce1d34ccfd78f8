// The player's names: a whitelist of characters rather than a list of what file systems
// refuse, so the same name works on every system the game is played on.
#include "world/filenames.h"

#include <charconv>

#include "platform/cp1250.h"

namespace {

bool AsciiLetterOrDigit(char32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// A character of Windows-1250 beyond ASCII that is a letter: Czech, Slovak, Polish, Hungarian
// and the rest of the code page's Latin letters. Its symbols, quotes and spaces are not.
bool Cp1250Letter(char32_t c) {
  if (c == 0xD7 || c == 0xF7) return false;  // the multiplication and division signs
  return c >= 0xC0 && c <= 0x17F;
}

}  // namespace

std::string NameFault(std::string_view utf8, TTRVNameKind kind) {
  if (utf8.empty()) return "the name is empty";
  // The name as the game's files store it: text that is not UTF-8, or holds a character the
  // code page lacks, does not come back unchanged.
  const std::string stored = platform::Utf8ToCp1250(utf8);
  if (platform::Cp1250ToUtf8(stored) != utf8) return "the name is not valid text";
  for (const char byte : stored) {
    const char32_t c = platform::Cp1250ToCodePoint(static_cast<std::uint8_t>(byte));
    if (!AsciiLetterOrDigit(c) && c != ' ' && c != '_' && c != '-' && !Cp1250Letter(c))
      return "the name may hold only letters, digits, spaces, \"_\" and \"-\"";
  }
  const auto length = static_cast<int>(stored.size());  // one byte a character
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
