// What every armed unit does alike with its weapons: reload timers that run down, and the
// weapon it falls back to when the air strike is not ready or has just been called.
#pragma once

#include <cstdint>

class TTRVEntity;

// Reload timers stop just below zero, where a weapon is ready, so a long quiet spell does not
// bank shots.
inline constexpr float kReloadFloor = -0.01f;
inline void RunDownReload(float& timer, float dt) {
  if (timer > kReloadFloor) timer -= dt;
}

// The weapon in hand and asked for again, and for the player's unit the engine's request too,
// so the next frame does not ask for the air strike anew.
void FallBackToWeapon(TTRVEntity& unit, std::uint8_t weapon);
