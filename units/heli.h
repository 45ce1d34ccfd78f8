// The helicopter's steps: its flight model with gun and weapons, the player's additions, the
// computer pilot that flies through the same control block, and the wreck going down in the
// water. The unit's frame (units/entity.cpp) calls them through the helicopter's row of hooks.
#pragma once

#include "world/weapons.h"

class TTRVEntity;

// The tuning of the flight model; one place, so that the tests and the pilot agree with it.
namespace heli {
inline constexpr float kHoverHeight = 3;         // where the lift from the ground fades out
inline constexpr float kClearance = 0.19f;       // the skids above the ground
inline constexpr float kMinForward = -1, kMaxForward = 2;
inline constexpr float kMaxLateral = 2;
inline constexpr float kMinGunYaw = -45, kMaxGunYaw = 45;
inline constexpr float kMinGunPitch = -20, kMaxGunPitch = 30;
inline constexpr float kGunGain = 30;  // degrees per second per unit of aim off the gun's axes
inline constexpr float kGunYawRate = 30, kGunPitchRate = 20;  // the most, degrees per second
inline constexpr float kMachineGunReload = 0.1f, kRocketReload = 1.1f, kRocketRetry = 0.1f;
inline constexpr float kAIMachineGunDeviation = 0.025f, kAIRocketDeviation = 0.05f;
inline constexpr float kPlayerRocketSteering = 0.05f, kAIRocketSteering = 0.5f;
using weapons::heli::kAirStrike;
using weapons::heli::kMachineGun;
using weapons::heli::kRockets;
}  // namespace heli

// Flight, gun and weapons, every near frame, alive or wrecked on land.
void StepHeliFlight(TTRVEntity& unit, float dt);
// A wreck going down in the water: the splash it makes.
void StepHeliSinking(TTRVEntity& unit, float dt);
// The player's helicopter: the shared player step, then the HUD.
void StepHeliPlayer(TTRVEntity& unit, float dt);
// A computer helicopter's pilot: target, waypoint and the controls to fly there.
void StepHeliAI(TTRVEntity& unit, float dt);
