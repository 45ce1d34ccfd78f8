// Land bases, naval bases and the military compounds around the land bases: the bases are
// chosen among the road and settlement nodes so that tanks can drive between them and they
// lie far enough apart; the settlement around each becomes a fenced compound with walls,
// military buildings and sixteen defence points; eight naval bases go into open sea that
// boats can reach from the map corner. Changes zones and placements; writes no file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "world/pathfinder.h"
#include "generator/genstate.h"
#include "generator/progress.h"
#include "platform/random.h"
#include "world/worldfile.h"

inline constexpr int kBaseSpacing = 32;       // least straight-line distance between land bases
inline constexpr int kNavalSpacing = 60;
inline constexpr int kDefencePoints = kBaseTurretCells;
inline constexpr int kBasePasses = 6;

struct TTRVBaseLayout {
  std::vector<TTRVCell> bases;
  std::vector<std::array<TTRVCell, kDefencePoints>> defencePoints;  // one set per base
  std::array<TTRVCell, kNavalBaseCount> navalBases{};
  // Naval bases that found a valid place; they hold the first slots and the slots after them
  // keep a guess, so naval base i is usable for every i below this count.
  int navalBasesPlaced = 0;
  // Placements left out of the world file (still drawn on the map), ascending.
  std::vector<std::uint32_t> removed;
};

// Empty on success. An error when the island has no land a base could stand on. Fewer bases
// than asked is no error: layout.bases says how many were placed.
std::string PlaceBases(TTRVGenState& state, TTRVBaseLayout& layout, platform::RandomGenerator& rng,
                       TTRVGenProgress& progress);

// The ground grid as the world will build it from the state: open sea and the cells beside
// it blocked, and every cell under a tree, building or fence post that stays in the file.
// `removed` is a flag per placement (may be empty).
void FillGroundGrid(const TTRVGenState& state, const std::vector<std::uint8_t>& removed, TTRVPathFinder& ground);

// Up to kBasePasses passes, each from a random node on passable ground, adding every later
// node that the ground reaches from it and that lies at least kBaseSpacing from each base
// chosen; node 0 is a base only when drawn first. Answers the best pass.
std::vector<TTRVCell> ChooseBases(const TTRVPathFinder& ground, const std::vector<TTRVCell>& nodes, int baseCount,
                                  platform::RandomGenerator& rng, TTRVGenProgress& progress);

// Eight naval bases on cells whose 15 x 5 surroundings are open sea reachable from the map
// corner, each on water boats can leave by, at least kNavalSpacing apart; the valid ones first
// (layout.navalBasesPlaced). None is valid when kOpenSeaCell is not open sea. `classes` are
// the terrain classes as the world will load them.
void PlaceNavalBases(const TTRVGrid<std::uint8_t>& classes, TTRVBaseLayout& layout, platform::RandomGenerator& rng,
                     TTRVGenProgress& progress);

// The rotation code of a wall segment running from a post toward its neighbour at (dx, dz),
// one of the four axis neighbours.
std::uint8_t WallRotationToward(int dx, int dz);

// Opens a gate in a fence: clears the cell of its post, its wall segments and whatever the
// post had cleared from it, and takes out the neighbours' segments that run into the cell,
// so no wall is left across it (walls stop tanks at full detail).
void OpenGate(TTRVGenState& state, const TTRVCell& gate);
