// What a vehicle is asked to do this frame. The engine fills the player's from the keyboard
// and mouse; the player's unit copies it, and every computer unit fills its own like a virtual
// pilot. This is the only thing the player's unit, the camera rig and the input share.
#pragma once

#include <cstdint>

#include "scene/vectorgeometry.h"

struct TTRVControlBlock {
  bool accelerate = false;
  bool brake = false;
  bool climb = false;
  bool descend = false;
  bool turnLeft = false;
  bool turnRight = false;
  bool fire = false;
  bool secondary = false;
  std::int32_t mouseDX = 0;  // previous mouse position minus current, pixels
  std::int32_t mouseDY = 0;
  float steerX = 0;  // about +0.5 at the left edge, -0.5 at the right
  float steerY = 0;  // about +0.5 at the top edge, -0.5 at the bottom
  TVector aimPoint = NullHmgPoint;  // the world's picking writes it
  std::uint8_t weaponRequest = 0;   // 0, 1 or 2 (air strike)
};

// A pilot's hands off the controls: the eight flags, both mouse deltas and the steering
// cleared; the aim point and the weapon asked for stay as they were.
inline void ClearControls(TTRVControlBlock& c) {
  const TVector aim = c.aimPoint;
  const std::uint8_t weapon = c.weaponRequest;
  c = TTRVControlBlock{};
  c.aimPoint = aim;
  c.weaponRequest = weapon;
}
