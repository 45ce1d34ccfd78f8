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

// Every value is written with its field's name, so a row reads without counting columns. The
// boat sinks slowly on its own until it is 3 below the surface (its own step), so the common
// sinking does not take it; the turret is never in the water.
inline constexpr std::array<TTRVUnitTypeInfo, kUnitTypes> kUnitTypeInfo{{
    {.themeName = "Heli", .baseArmour = 50, .playerArmourFactor = 0.65f, .farImposter = false,
     .hitBoxScale = {0.279f, 0.142f, 0.845f}, .hitBoxCentre = {0, -0.092f, -0.104f}, .aimHeight = -0.1f,
     .engageBase = 8, .engageStep = 1, .engageDraws = 5, .engineSample = "heli", .sinksAtSea = true,
     .sinkThreshold = 0.190001f, .zoomMin = -800, .zoomMax = -200, .cameraHeight = 0.5f,
     .lostReason = TTRVReason::HeliDestroyed, .farPaths = TTRVPathClass::Air, .farDamage = 2, .leaderRadius = 3,
     .guardFactor = 2, .farHeight = TTRVFarHeight::Altitude},
    {.themeName = "Tank", .baseArmour = 250, .playerArmourFactor = 0.4f, .farImposter = false,
     .hitBoxScale = {0.396f, 0.212f, 0.589f}, .hitBoxCentre = {0, 0.106f, 0}, .aimHeight = 0.25f,
     .engageBase = 3, .engageStep = 1, .engageDraws = 10, .engineSample = "tank", .sinksAtSea = true,
     .sinkThreshold = 0.0001f, .zoomMin = -1000, .zoomMax = -300, .cameraHeight = 1.5f,
     .lostReason = TTRVReason::TankDestroyed, .farPaths = TTRVPathClass::Ground, .farDamage = 4, .leaderRadius = 5,
     .guardFactor = 2, .farHeight = TTRVFarHeight::Ground},
    {.themeName = "Boat", .baseArmour = 500, .playerArmourFactor = 0.4f, .farImposter = true,
     .hitBoxScale = {0.702f, 0.773f, 4.31f}, .hitBoxCentre = {0, 0.386f, 0}, .aimHeight = 0.393f,
     .engageBase = 5, .engageStep = 2, .engageDraws = 10, .engineSample = "ship", .sinksAtSea = false,
     .sinkThreshold = 0, .zoomMin = -2000, .zoomMax = -300, .cameraHeight = 1.5f,
     .lostReason = TTRVReason::BoatDestroyed, .farPaths = TTRVPathClass::Water, .farDamage = 6, .leaderRadius = 10,
     .guardFactor = 3, .farHeight = TTRVFarHeight::Afloat},
    // A turret never moves, far or near: its far values are never read.
    {.themeName = "Turret", .baseArmour = 350, .playerArmourFactor = 1.0f, .farImposter = false,
     .hitBoxScale = {0.5f, 1.17f, 0.5f}, .hitBoxCentre = {0, 0.585f, 0}, .aimHeight = 0.9f,
     .engageBase = 0, .engageStep = 0, .engageDraws = 0, .engineSample = nullptr, .sinksAtSea = false,
     .sinkThreshold = 0, .zoomMin = 0, .zoomMax = 0, .cameraHeight = 0,
     .lostReason = TTRVReason::None, .farPaths = TTRVPathClass::Ground, .farDamage = 0, .leaderRadius = 0,
     .guardFactor = 0, .farHeight = TTRVFarHeight::Ground},
}};

// The row of a type; an unknown type number reads as a turret (no sound, no movement rules).
inline const TTRVUnitTypeInfo& UnitTypeInfo(int unitType) {
  return kUnitTypeInfo[static_cast<std::size_t>(unitType >= 0 && unitType < kUnitTypes ? unitType : utTurret)];
}
