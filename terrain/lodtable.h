// The square table of detail levels around the camera's sector: which sectors exist and how
// finely each is drawn. Pure arithmetic; the streaming walks it every few seconds.
#pragma once

#include <cstdint>
#include <vector>

// Detail levels: 0 full mesh with objects as proxies, 1 and 2 coarser meshes with imposters,
// 3 coarsest mesh without objects, 4 not drawn (the sector may be released).
inline constexpr std::uint8_t kLodFull = 0;
inline constexpr std::uint8_t kLodCoarsest = 3;
inline constexpr std::uint8_t kLodNotDrawn = 4;

struct TTRVLodTable {
  int viewRange = 1;  // V: the view distance in sectors, at least 1
  int size = 4;       // 4V entries a side
  std::vector<std::uint8_t> levels;  // [i][j], i outer

  std::uint8_t At(int i, int j) const { return levels[static_cast<std::size_t>(i) * static_cast<std::size_t>(size) + static_cast<std::size_t>(j)]; }
  // The camera's own entry (2V, 2V).
  int Centre() const { return 2 * viewRange; }
  // The sector an entry stands for when the camera is in sector (cx, cz). The table runs
  // "backwards": entry (0, 0) is the sector 2V further along both axes.
  void SectorOf(int i, int j, int cx, int cz, int& sx, int& sz) const {
    sx = cx + 2 * viewRange - i;
    sz = cz + 2 * viewRange - j;
  }
};

// View distances past this would make a table of thousands of sectors; the settings clamp far
// below it, this only keeps a wild value from allocating the world.
inline constexpr int kMaxViewRange = 64;

// The table for a view distance setting (0 or less counts as 1). Inside the disc of
// diameter 2V + 1 around the centre: level 3; the 7 x 7, 5 x 5 and 3 x 3 squares around the
// centre: 2, 1 and 0; everything else 4.
TTRVLodTable BuildLodTable(int viewDistance);

// Fog follows the view distance: it starts at 22 V and is complete at 28 V world units, and
// the sky dome's radius is the fog end.
struct TTRVFogRange {
  float start = 0;
  float end = 0;
};
TTRVFogRange FogRangeFor(int viewRange);

// Beyond this distance from its corner a sector is not drawn and counts down its time to live.
inline float SectorDrawDistance(int viewRange) { return 40.0f * static_cast<float>(viewRange); }
