// Whole-map distance fields over a path finder's grid: TTRVWorldWave is the breadth-first
// wave itself, TTRVAIWorldBeaconFloating the world's pursuit field toward a moving goal,
// capped at 256 waves. The loader also floods with an uncapped wave to find which water is
// really connected to the open sea.
#pragma once

#include <cstdint>
#include <vector>

#include "world/pathfinder.h"
#include "scene/vectorgeometry.h"
#include "world/grid.h"

inline constexpr std::uint16_t kWaveBlocked = 65535;
// A wave cut short leaves the cells beyond it here, like blocked ones.
inline constexpr std::uint16_t kWaveUnreached = kWaveBlocked;
// Uncapped waves stop counting here, so a step count never reads as blocked.
inline constexpr std::uint16_t kWaveSaturated = 65534;

class TTRVWorldWave {
 public:
  // Step counts toward the goal; kWaveBlocked on blocked, border and unreached cells. The goal
  // holds 2 (the second wave comes back to it) and its free neighbours 1.
  TTRVGrid<std::uint16_t> distance;

  // Rebuilds `distance` from the grid (passable 0, blocked and border kWaveBlocked), then
  // runs waves from the goal: clamped into the inner cells and, when blocked, moved to the
  // nearest free cell along -x, -z, +x, +z (ties go to the earlier direction). At most
  // maxWaves waves; 0 means no cap (counts past kWaveSaturated stay there).
  void Compute(const TTRVGrid<std::uint8_t>& grid, TTRVCell goal, int maxWaves);
  // The cell the last wave started from.
  TTRVCell Seed() const { return seed_; }
  bool Reached(int x, int z) const { return distance.At(x, z, kWaveBlocked) != kWaveBlocked; }

 private:
  TTRVCell FindSeed(TTRVCell goal) const;

  // The wave fronts are not kept here: every wave of the thread shares one pair of buffers
  // (floatingwave.cpp), since a side's beacons, the regions and the loader's flood each
  // holding whole-map fronts would cost megabytes apiece for buffers that are idle between
  // builds.
  TTRVCell seed_;
};

class TTRVAIWorldBeaconFloating {
 public:
  static constexpr int kWaveLimit = 256;

  // The finder must outlive the beacon; its grid is read at every Compute.
  explicit TTRVAIWorldBeaconFloating(const TTRVPathFinder& finder) : pathFinder(&finder) {}

  const TTRVPathFinder* pathFinder;
  TAffineVector goalAt{0, 0, 0};
  TTRVWorldWave wave;

  // Rebuilds the field toward the goal cell, at most kWaveLimit waves deep (the last wave
  // writes 256).
  void Compute(TTRVCell goal) { wave.Compute(pathFinder->grid, goal, kWaveLimit); }
  const TTRVGrid<std::uint16_t>& Distance() const { return wave.distance; }
};

// Keeps passable only the cells of the grid that an uncapped wave from the seed reaches; the
// rest (lakes cut off from the seed's water) becomes blocked. False, with the grid unchanged,
// when the seed itself is not passable.
bool KeepConnectedTo(TTRVPathFinder& finder, TTRVCell seed);
