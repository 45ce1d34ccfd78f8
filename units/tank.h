// The tank's steps: driving on three ground contacts with the turret and gun that follow the
// aim, its weapons, the player's additions and the computer driver that steers through the
// same control block. The unit's frame (units/entity.cpp) calls them through the tank's row
// of hooks; the wreck's sinking itself is the frame's.
#pragma once

#include <cstdint>

#include "world/weapons.h"

class TTRVEntity;

// The tuning of the tank; one place, so that the tests and the driver agree with it.
namespace tank {
inline constexpr float kMinSpeed = -1, kMaxSpeed = 2;
inline constexpr float kMaxTurnRate = 10;
inline constexpr float kDriveScale = 1.5f;  // world units per second at speed 1
inline constexpr float kTurnScale = 100;    // degrees per second at turn rate 1
// Computer drivers brake and turn harder for the same input than the player's tank does.
inline constexpr float kAIHandling = 1.5f;
inline constexpr float kSlopeGain = 12;  // speed per unit of height lost, per second
// Pitch lowers the nose: the gun looks up to 20 degrees above the hull and 5 below it.
inline constexpr float kMinGunPitch = -20, kMaxGunPitch = 5;
inline constexpr float kTurretGain = 160, kMaxTurretRate = 80;  // degrees per second
inline constexpr float kGunGain = 80, kMaxGunRate = 40;
inline constexpr float kCannonReload = 1.5f, kMachineGunReload = 0.2f;
inline constexpr float kAIRetry = 0.1f;  // a computer's shot refused by the aim test
inline constexpr float kAICannonDeviation = 0.025f, kAIMachineGunDeviation = 0.005f;
inline constexpr float kGunAimedDeviation = 0.025f;  // the player's "on target" mark
inline constexpr float kWaterLine = 0.0001f;         // below it the tank is in the water
inline constexpr float kDrownRate = 10;              // armour per second in the water
inline constexpr float kStopAndShoot = 15;           // a computer tank closer than this stops
using weapons::tank::kAirStrike;
using weapons::tank::kCannon;
using weapons::tank::kMachineGun;
}  // namespace tank

// Driving, turret and weapons, every near frame, alive or wrecked on land.
void StepTankDrive(TTRVEntity& unit, float dt);
// A wreck going down in the water: it still smokes.
void StepTankSinking(TTRVEntity& unit, float dt);
// The player's tank: the shared player step, whether the gun is on target, then the HUD.
void StepTankPlayer(TTRVEntity& unit, float dt);
// A computer tank's driver: target, waypoint and the controls to drive there and shoot.
void StepTankAI(TTRVEntity& unit, float dt);
