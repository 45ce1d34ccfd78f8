// The gunboat's steps: sailing at sea level with its four self-aiming mounts, the player's
// additions, the computer captain that steers through the same control block, and the wreck
// that settles slowly under the surface. The unit's frame (units/entity.cpp) calls them
// through the boat's row of hooks; nothing here draws or plays anything itself.
#pragma once

#include <array>

#include "world/weapons.h"

class TTRVEntity;

// The tuning of the boat; one place, so that the tests and the captain agree with it.
namespace boat {
inline constexpr float kMinSpeed = -1, kMaxSpeed = 4;
inline constexpr float kMaxTurnRate = 2;
inline constexpr float kTurnAccel = 0.1f;       // turn rate per second a key adds
inline constexpr float kWreckDepth = -3;        // where a wreck stops going down
inline constexpr float kWreckSinkSpeed = 0.025f;  // units per second
inline constexpr float kGroundedAbove = 0.01f;   // ground this high under bow or stern grounds it
inline constexpr float kGroundingDamage = 20;    // armour per second while grounded
inline constexpr float kGroundingPush = 2;       // speed per second away from the shore
inline constexpr float kCollisionPush = 0.2f;    // units per second away from a unit touched
inline constexpr float kStopDistance = 10;       // the captain stops to shoot this close
using weapons::boat::kAirStrike;
using weapons::boat::kAllMounts;

enum MountIndex { kFrontGun = 0, kRightGun = 1, kLeftGun = 2, kRearLauncher = 3 };

// How a mount follows the aim: rate = gain * ((aim - mount) . axis) / distance to the aim,
// clamped to the limit, in degrees per second. The rear launcher's pitch is an elevation
// (positive raises it), so its gain is positive and its range leans upward.
struct MountLimits {
  float yawGain, yawRateLimit, minYaw, maxYaw;
  float pitchGain, pitchRateLimit, minPitch, maxPitch;
  float reload, retry;  // seconds after a shot, and after a refused one
  float deviation;      // how far off the aim it may fire
};
inline constexpr std::array<MountLimits, 4> kMounts{{
    {-80, 40, -125, 125, -160, 80, -20, 5, 1.5f, 0.1f, 0.025f},      // front gun
    {-160, 120, -85, 85, -120, 100, -30, 10, 0.2f, 0.05f, 0.09f},    // right machine gun (+X)
    {-160, 120, -85, 85, -120, 100, -30, 10, 0.2f, 0.05f, 0.09f},    // left machine gun (-X)
    {-240, 120, -160, 160, 120, 60, -10, 30, 1.5f, 0.1f, 0.05f},     // rear launcher
}};
// The front gun and the launcher swing round the long way, past the bow or the stern, at
// these rates whenever the aim is on the other side of the boat from them.
inline constexpr float kFrontSwingRate = 40, kRearSwingRate = 60;
inline constexpr float kPlayerRocketSteering = 0.05f, kAIRocketSteering = 0.5f;
}  // namespace boat

// Sailing, mounts and weapons, every near frame, alive or wrecked.
void StepBoatSail(TTRVEntity& unit, float dt);
// The player's boat: the shared player step, the aim flags, then the HUD.
void StepBoatPlayer(TTRVEntity& unit, float dt);
// A computer boat's captain: target, waypoint and the controls to sail there.
void StepBoatAI(TTRVEntity& unit, float dt);
