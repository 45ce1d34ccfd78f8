// The loader's refusals that can be judged from a world's records alone, for whoever writes
// a world (the generator) to ask before writing it. The loader itself asks the same functions,
// so the two cannot disagree. Builds nothing and loads no theme.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "world/grid.h"
#include "world/pathfinder.h"
#include "world/worldfile.h"

// Keeps passable on the water grid only the water joined to kOpenSeaCell. Empty when that
// cell is open sea; otherwise why boats would have no sea, with the grid unchanged.
std::string KeepOpenSea(TTRVPathFinder& water);

// The terrain class of every cell as the loader fills it from the records: a record's samples
// inside the map, open sea wherever no record reaches. Empty when the map size is unusable.
TTRVGrid<std::uint8_t> LoadedClassGrid(const TTRVWorldFileData& data);

// Empty when the loader accepts a world with these records, given that theme i holds
// objectCounts[i] objects: the file's own rules (WorldDataFault), every placement naming an
// object of its theme (WorldObjectFault), and open sea at kOpenSeaCell (KeepOpenSea). What
// needs the themes' pictures and models is not judged here.
std::string WorldLoadFault(const TTRVWorldFileData& data, std::span<const std::size_t> objectCounts);
