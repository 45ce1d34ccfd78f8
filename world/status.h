// What a game tells the shell: the status of the world or campaign (loaded, won, lost, the
// player asked for the menu) and why a mission ended. Code compares these values; the reason's
// word, which names its jingle file, is mapped in status.cpp only.
#pragma once

#include <cstdint>
#include <string_view>

enum class TTRVStatus : std::uint8_t {
  None,          // nothing happened since the last tick
  Loading,       // a world is being loaded
  Loaded,        // a world is ready to play
  CampLoaded,    // the campaign map is ready
  Failed,        // mission lost; repeated every step after the end
  Accomplished,  // mission won; repeated every step after the end
  Esc,           // the player asked for the menu
};

enum class TTRVReason : std::uint8_t {
  None,
  HeliDestroyed,         // the player's helicopter
  TankDestroyed,         // the player's tank
  BoatDestroyed,         // the player's boat
  BaseCaptured,          // the player's own base
  UnitsLost,             // the player's protected units
  EnemyBaseCaptured,
  EnemyUnitsDestroyed,
};

// The reason's word ("GOheli", "MAbase", ...), which also names data/<word>.mp3; "" for None.
std::string_view ReasonWord(TTRVReason reason);
// Whether the status ends a mission.
inline bool MissionOver(TTRVStatus status) { return status == TTRVStatus::Failed || status == TTRVStatus::Accomplished; }
