// What the four unit types differ in apart from their behaviour: armour, level of detail,
// collision box, aim height, engine sound, engage range, the height at which a wreck counts
// as sunk and how the type moves while far from the camera. One row per type, indexed by the
// world's type number, so a new value is one column.
#pragma once

#include <array>
#include <cstdint>

#include "scene/vectorgeometry.h"
#include "world/status.h"
#include "world/world.h"

// Which of the sides' world beacons and of the world's regions a type walks while far.
enum class TTRVPathClass : std::uint8_t { Air, Ground, Water };

// Where a far unit's height ends up after each move of its far step.
enum class TTRVFarHeight : std::uint8_t {
  Altitude,  // the ground plus the unit's altitude (a helicopter's slotF[0])
  Ground,    // the ground
  Afloat,    // kept by the cell steps; a walk down a field still puts it on the ground
};

struct TTRVUnitTypeInfo {
  const char* themeName;        // the world theme holding the type's models
  float baseArmour;             // a computer unit's armour, and the player's before scaling
  float playerArmourFactor;     // times the Difficulty setting for the player's unit
  bool farImposter;             // the far imposter builder instead of the near one
  TAffineVector hitBoxScale;    // the collision box ...
  TAffineVector hitBoxCentre;   // ... in the frame of the node that carries it
  float aimHeight;              // where others aim, above the unit's origin
  int engageBase;               // engage range = engageBase + engageStep * random(engageDraws);
  int engageStep;               //   engageDraws 0 keeps it 0
  int engageDraws;
  const char* engineSample;     // null: no engine sound
  bool sinksAtSea;              // a wreck in the water sinks to kWreckFloor
  float sinkThreshold;          // below this height (and above kWreckFloor) a wreck is in the water
  int zoomMin, zoomMax;         // the player's zoom range
  float cameraHeight;           // the camera target above the player's unit
  TTRVReason lostReason;        // why the mission ends when the player's unit is destroyed
  // While far (units/farstep.cpp):
  TTRVPathClass farPaths;       // the beacons and region it walks
  float farDamage;              // what an enemy close by loses per far step when stances are preset
  float leaderRadius;           // it waits while one of its type nearer the goal is within this
  float guardFactor;            // a defender closes on its own base to engage range times this
  TTRVFarHeight farHeight;
};

inline constexpr int kUnitTypes = 4;
inline constexpr float kWreckFloor = -20.0f;
inline constexpr float kWreckSinkRate = 0.5f;  // units per second

// The boat sinks slowly on its own until it is 3 below the surface (its own step), so the
// common sinking does not take it; the turret is never in the water.
inline constexpr std::array<TTRVUnitTypeInfo, kUnitTypes> kUnitTypeInfo{{
    {"Heli", 50, 0.65f, false, {0.279f, 0.142f, 0.845f}, {0, -0.092f, -0.104f}, -0.1f, 8, 1, 5, "heli", true,
     0.190001f, -800, -200, 0.5f, TTRVReason::HeliDestroyed, TTRVPathClass::Air, 2, 3, 2, TTRVFarHeight::Altitude},
    {"Tank", 250, 0.4f, false, {0.396f, 0.212f, 0.589f}, {0, 0.106f, 0}, 0.25f, 3, 1, 10, "tank", true,
     0.0001f, -1000, -300, 1.5f, TTRVReason::TankDestroyed, TTRVPathClass::Ground, 4, 5, 2, TTRVFarHeight::Ground},
    {"Boat", 500, 0.4f, true, {0.702f, 0.773f, 4.31f}, {0, 0.386f, 0}, 0.393f, 5, 2, 10, "ship", false, 0,
     -2000, -300, 1.5f, TTRVReason::BoatDestroyed, TTRVPathClass::Water, 6, 10, 3, TTRVFarHeight::Afloat},
    // A turret never moves, far or near: its far values are never read.
    {"Turret", 350, 1.0f, false, {0.5f, 1.17f, 0.5f}, {0, 0.585f, 0}, 0.9f, 0, 0, 0, nullptr, false, 0, 0, 0, 0,
     TTRVReason::None, TTRVPathClass::Ground, 0, 0, 0, TTRVFarHeight::Ground},
}};

// The row of a type; an unknown type number reads as a turret (no sound, no movement rules).
inline const TTRVUnitTypeInfo& UnitTypeInfo(int unitType) {
  return kUnitTypeInfo[static_cast<std::size_t>(unitType >= 0 && unitType < kUnitTypes ? unitType : utTurret)];
}
