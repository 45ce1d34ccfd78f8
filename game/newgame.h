// New-game set-up: turns the sides a set-up dialog, the campaign or the tutorial prepared into
// running sides on a freshly loaded island: bases, naval piers, rally cells, the sides' world
// beacons, a start cell for every unit, the player's unit and the units themselves.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "world/grid.h"
#include "world/world.h"

// A side has at most this many turrets: a naval pier has this many slots.
inline constexpr int kMaxSideTurrets = 16;

// Where a naval side's turrets stand, from the naval base's position, in slot order.
inline constexpr std::array<TAffineVector, kMaxSideTurrets> kNavalTurretOffsets{{
    {2.378f, 1.597f, 1.241f},   {0.277f, 1.684f, 1.306f},   {-6.454f, 0.939f, -1.376f}, {-6.454f, 0.939f, 1.328f},
    {3.293f, 0.939f, 1.328f},   {1.853f, 0.939f, -1.427f},  {-2.48f, 0.939f, -1.427f},  {-0.223f, 0.939f, -1.427f},
    {-3.673f, 0.939f, 1.345f},  {-1.946f, 0.939f, 1.345f},  {-5.132f, 0.939f, 1.345f},  {-4.595f, 0.939f, -1.409f},
    {-3.565f, 0.939f, -1.409f}, {-1.411f, 0.939f, -1.409f}, {0.758f, 0.939f, -1.409f},  {0.658f, 0.939f, -1.409f},
}};

// A failed cell search.
inline constexpr TTRVCell kNoCell{-1, -1};

// The path grid a unit type spawns on. Helicopters follow the player's vehicle: a tank driver
// gets them on the ground grid, a boat driver on the water grid, so that the player's side
// gathers where the player can go.
const TTRVPathFinder& SpawnGrid(const TTRVWorld& world, int unitType);

// Up to 101 random tries within floor(radius) of the centre (z drawn first); the first inner,
// passable cell of the type's grid, or kNoCell.
TTRVCell FindSpawnCell(const TTRVWorld& world, TTRVCell centre, int unitType, float radius);

// Whether side i stands on a naval base: it asks for one and the world has one for it.
bool UsesNavalBase(const TTRVWorld& world, std::size_t i);

// A naval side's pier at its base position (the base cell is its floor): the Military theme's
// pier model, its deck height on the cells it covers and those cells closed on every path grid.
// A new game and a loaded one build it alike.
void BuildPier(TTRVWorld& world, const TAffineVector& position);

// The side's three world beacons, aimed at its rally cells of helicopters, tanks and boats.
// The rally cells must lie on the map.
void CreateSideBeacons(const TTRVWorld& world, TTRVWorldFractionInfo& side);

// Sets the sides up from the world's copy of them (the loader has copied them from the
// set-up) and creates every unit under its side's cube in sideRoot. False, with a message,
// when a side's grid holds no free cell to gather on; the world must then be discarded.
// A world without sides is left as it is.
bool SetUpNewGame(TTRVWorld& world, std::string& error);
