// The stages that shape the raw elevation: terraces (raised flat patches with ramped edges,
// and the shallow coast cut down to the sea floor) and rivers (downhill walks from the high
// ground to the sea, carving valleys that widen towards the mouth). The river pieces are
// exposed one by one so that each rule can be checked on a small grid.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "generator/genstate.h"
#include "generator/progress.h"
#include "platform/random.h"
#include "world/grid.h"

// Empty on success; an error when no vertex 64 cells inside the map edges has land, so no
// terrace can be centred anywhere.
std::string RaiseTerraces(TTRVGenState& state, platform::RandomGenerator& rng, TTRVGenProgress& progress);

// How much a terrace patch of height `terrace` (0 outside the patches) raises ground of
// height `elevation`: terrace - elevation / (terrace + 1), or nothing when that is below 1.
// Low ground gains nearly the whole patch height, high ground less, and ground at
// terrace * (terrace + 1) or above nothing.
int TerraceRaise(int terrace, int elevation);

// Ramps: lowers, pass after pass, every neighbour more than 2 above a cell by 2 until no
// pass changes anything, so patches keep their tops and fall off by 2 per cell.
void RampTerraces(TTRVGrid<std::uint8_t>& terraces);

void CarveRivers(TTRVGenState& state, platform::RandomGenerator& rng, TTRVGenProgress& progress);

// A river springs only this high.
inline constexpr int kRiverSpringHeight = 65;
inline constexpr int kRiverMinCells = 6;

// One walk from `spring`: random steps (or none) to neighbours not higher than the last cell
// and not yet on the path, until the path reaches a height below 2. Empty when the walk
// yields no river: a spring below kRiverSpringHeight, a walk that runs out of steps or gets
// stuck where every way is higher or already walked, or a path shorter than kRiverMinCells.
// `stamp` (same size as the heights) marks the cells of the walk in progress; `walk` must
// differ from every earlier call's.
std::vector<TTRVCell> WalkRiver(const TTRVGrid<std::uint8_t>& elevation, TTRVCell spring,
                                TTRVGrid<std::uint32_t>& stamp, std::uint32_t walk, platform::RandomGenerator& rng);

// The carving a valley accumulates: per cell the sum of every disc laid over it.
class TTRVRiverCarve {
 public:
  TTRVRiverCarve(int sizeX, int sizeZ);
  // Marks the path as river and adds its three discs per cell: around cell i of n, with
  // rem = n - i - 1 cells still to go, discs of radius i/8, i/4 and i/2 add rem/3, rem/5
  // and rem/8, each rem + 1 times over.
  void AddRiver(const std::vector<TTRVCell>& path, TTRVGrid<std::uint8_t>& classes);
  // Adds value over the disc of radius q (offsets with j*j + k*k < q*q) around the centre,
  // on cells 1..size-2 only.
  void AddDisc(int cx, int cz, int q, std::int64_t value);
  // The accumulated carving of a cell.
  std::int64_t At(int x, int z) const;
  // Lowers every inner cell by its carving / 128 (at most 255, never below 0) and classes as
  // open sea each inner cell left at 0 with all eight neighbours at 0.
  void Apply(TTRVGrid<std::uint8_t>& elevation, TTRVGrid<std::uint8_t>& classes) const;

 private:
  // Per row x, additions over z runs: +v at the run's start, -v past its end.
  TTRVGrid<std::int64_t> runs_;
};
