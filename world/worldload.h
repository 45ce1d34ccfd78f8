// Loading a world file into a TTRVWorld (TTRVWorld::LoadWorld), and the loader's path-grid
// rules on their own so the tests and the generator can apply them to any class grid.
#pragma once

#include <cstdint>

#include "world/pathfinder.h"
#include "world/grid.h"

// Boats sail only on water connected to this cell near the map corner.
inline constexpr TTRVCell kOpenSeaCell{3, 3};
// Above this size a world file cannot be one the game wrote (64 x 64 sectors stay far below).
inline constexpr std::uintmax_t kMaxWorldFileSize = 512u << 20;

// Ground grid: blocks every cell with 1 <= x, z <= size - 2 that has open sea (class 4)
// anywhere in its 3 x 3 neighbourhood. Other cells are left as they are.
void BlockCoast(const TTRVGrid<std::uint8_t>& classes, TTRVPathFinder& ground);
// Water grid: opens every cell with 2 <= x, z <= size - 3 whose 5 x 5 neighbourhood without
// its corners (21 cells) is all open sea. Other cells are left as they are.
void OpenSea(const TTRVGrid<std::uint8_t>& classes, TTRVPathFinder& water);
