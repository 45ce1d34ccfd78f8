// TTRVPathFinder: one passability grid of the map (air, ground or water for the running world;
// the generator's own grids) and a route search over it: a breadth-first wave from the goal
// over 4-connected cells, then a steepest-descent walk from the start over 8-connected cells.
// The work buffers stay allocated between searches, because the generator runs hundreds.
#pragma once

#include <cstdint>
#include <vector>

#include "world/grid.h"

inline constexpr std::uint16_t kPathBlocked = 65535;

class TTRVPathFinder {
 public:
  // 1 = passable. Sized and filled by the owner; the outermost rows and columns are never
  // entered, whatever they hold.
  TTRVGrid<std::uint8_t> grid;
  TTRVCell start;
  TTRVCell goal;
  // The cells after the start, up to one next to (or on) the goal. When the start already
  // touches the goal the walk stays put and the path is the start alone.
  std::vector<TTRVCell> path;

  // Sizes the grid and gives every cell the same passability.
  void Reset(int sizeX, int sizeZ, bool passable);
  bool Passable(int x, int z) const { return grid.At(x, z, 0) != 0; }
  void SetPassable(int x, int z, bool passable) { grid.Set(x, z, passable ? 1 : 0); }

  // Fills `path` from `start` to `goal`. False when the grid is empty, start equals goal,
  // either lies on the border or outside, the wave never meets the start, or the walk runs
  // out of steps. Never throws.
  bool FindPath();

  // The wave of the last search: kPathBlocked on blocked and border cells, 0 where the wave
  // did not come, otherwise the 4-connected distance from the goal (the goal itself holds 2).
  const TTRVGrid<std::uint16_t>& Distance() const { return distance_; }

 private:
  bool Wave();
  bool Descend();

  TTRVGrid<std::uint16_t> distance_;
  std::vector<TTRVCell> frontierA_;
  std::vector<TTRVCell> frontierB_;
};
