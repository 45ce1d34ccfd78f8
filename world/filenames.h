// The names a player gives saves, worlds and campaigns, checked as names alone: no file is
// made to find out, so a name can neither destroy a file of the game's nor reach outside its
// folder. Names are UTF-8 here and on disk; inside the game's files they are Windows-1250.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Saves the game writes itself: after a campaign's world is judged, and around a change of
// the display.
inline constexpr std::string_view kAutoSaveName = "AutoSave";
inline constexpr std::string_view kTempSaveName = "TempSave";
// The campaign a game outside any campaign names.
inline constexpr std::string_view kNoCampaignName = "- - -";

enum class TTRVNameKind : std::uint8_t { Save, World, Campaign };

// Longest name, in characters.
inline constexpr int kMaxNameLength = 64;

// Empty when the name may be given: 1 to 64 characters of letters (those of Windows-1250,
// Czech ones included), digits, space, "_" and "-", neither starting nor ending with a space;
// not one of the game's own save names; a world's not ending like a campaign's world. Else
// what is wrong, in a few words for the log.
std::string NameFault(std::string_view utf8, TTRVNameKind kind);

// Whether a world name is one of a campaign's worlds: it ends in "_" and a number from 0 to
// 50 ("Island_7"). Those are listed apart and deleted with their campaign.
bool IsCampaignWorldName(std::string_view name);

// A campaign name as a world or a save stores it: empty and "- - -" both mean none.
bool NamesCampaign(std::string_view missionName);
