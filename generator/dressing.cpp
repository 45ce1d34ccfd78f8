// Forests, theme solving and grass.
#include "generator/dressing.h"

#include "generator/elevation.h"
#include "world/worldfile.h"

namespace {

constexpr int kForestFeature = 16;
constexpr int kGrassFeature = 64;

bool ThemeHas(const TTRVGenState& state, int theme, std::vector<std::uint8_t> TTRVGenTheme::*list) {
  return theme >= 0 && theme < static_cast<int>(state.themes.size()) &&
         !(state.themes[static_cast<std::size_t>(theme)].*list).empty();
}

}  // namespace

void PlantForests(TTRVGenState& state, platform::RandomGenerator& rng, TTRVGenProgress& progress) {
  progress.Report(TextId::GenForests, 500);
  MakeField(state.noiseField, state.params.mapWidth, state.params.mapHeight, kForestFeature, nullptr, rng);
  const int threshold = 145 + rng.Int(10);
  const int L = state.Length(), R = state.RowLength();
  for (int x = 0; x < L; ++x)
    for (int z = 0; z < R; ++z) {
      const int e = state.elevation(x, z);
      if (state.noiseField(x, z) > threshold && state.classGrid(x, z) == tcOpenGround && e >= 3 && e < 210)
        state.classGrid(x, z) = tcForest;
    }
  PlantTrees(state, threshold, rng, progress);
}

void PlantTrees(TTRVGenState& state, int threshold, platform::RandomGenerator& rng, TTRVGenProgress& progress) {
  const int fallback = state.LastThemeWith(&TTRVGenTheme::trees);
  if (fallback < 0) return;
  const int L = state.Length(), R = state.RowLength();
  const double density = state.params.treeDensity;
  for (int x = 0; x < L; ++x) {
    const int n = x * 100 / L;
    progress.Report(TextId::GenForestsAt, 500 + n, std::to_string(n) + "%");
    for (int z = 0; z < R; ++z) {
      if (state.classGrid(x, z) != tcForest) continue;
      const int noise = state.noiseField(x, z);
      if (noise == 0 || !(rng.Real() < static_cast<double>(threshold) / noise * density)) continue;
      TTRVGenPlacement p;
      p.x = x;
      p.z = z;
      p.subX = static_cast<std::uint8_t>(rng.Int(16));
      p.subZ = static_cast<std::uint8_t>(rng.Int(16));
      p.rotation = 8;
      p.purpose = ppTree;
      if (rng.Real() < 0.5) p.list = 1;
      const int zone = state.zoneGrid(x, z);
      p.theme = static_cast<std::uint8_t>(ThemeHas(state, zone, &TTRVGenTheme::trees) ? zone : fallback);
      const std::vector<std::uint8_t>& trees = state.themes[p.theme].trees;
      p.object = trees[static_cast<std::size_t>(rng.Int(static_cast<int>(trees.size())))];
      state.placements.push_back(p);
    }
  }
}

void SolveThemes(TTRVGenState& state, TTRVGenProgress& progress) {
  progress.Report(TextId::GenThemes, 600);
  TTRVGrid<std::uint8_t>& zone = state.zoneGrid;
  TTRVGrid<std::uint8_t>& cls = state.classGrid;
  const int L = state.Length(), R = state.RowLength();
  const int themes = static_cast<int>(state.themes.size());

  // The first theme in list order that paints each class, or -1.
  int firstPainter[16];
  for (int c = 0; c < 16; ++c) {
    firstPainter[c] = -1;
    for (int t = 0; t < themes && firstPainter[c] < 0; ++t)
      if (state.themes[static_cast<std::size_t>(t)].Paints(c)) firstPainter[c] = t;
  }
  for (int x = 0; x < L; ++x)
    for (int z = 0; z < R; ++z) {
      const int c = cls(x, z);
      if (c < 1 || c > 6) continue;
      const int t = zone(x, z);
      const bool paints = t < themes && state.themes[static_cast<std::size_t>(t)].Paints(c);
      if (!paints && firstPainter[c] >= 0) zone(x, z) = static_cast<std::uint8_t>(firstPainter[c]);
    }

  // Sea, and the vertex after each sector border copies the border vertex, so that the
  // sector beyond starts with what this one ends with.
  for (int x = 0; x < L; ++x)
    for (int z = 0; z < R; ++z) {
      if (state.elevation(x, z) == 0) cls(x, z) = tcSea;
      if (x % 32 == 0 && x + 1 < L && cls(x + 1, z) != tcRoad) {
        zone(x + 1, z) = zone(x, z);
        cls(x + 1, z) = cls(x, z);
      }
      if (z % 32 == 0 && z + 1 < R && cls(x, z + 1) != tcRoad) {
        zone(x, z + 1) = zone(x, z);
        cls(x, z + 1) = cls(x, z);
      }
    }
  RemoveIslets(state);
}

void RemoveIslets(TTRVGenState& state) {
  TTRVGrid<std::uint8_t>& e = state.elevation;
  const int L = state.Length(), R = state.RowLength();
  // Vertices from the last row and column on are not looked at: they count as sea.
  auto sea = [&](int x, int z) { return x >= L - 1 || z >= R - 1 || e(x, z) == 0; };
  for (int x = 0; x < L; ++x)
    for (int z = 0; z < R; ++z) {
      if (!sea(x, z)) continue;  // the corner lies on every square's side
      for (int k = 3; k <= 8; ++k) {
        bool ring = true;
        for (int i = 0; i <= k && ring; ++i)
          ring = sea(x + i, z) && sea(x + i, z + k) && sea(x, z + i) && sea(x + k, z + i);
        if (!ring) continue;
        bool land = false;
        for (int i = 1; i < k && !land; ++i)
          for (int j = 1; j < k && !land; ++j) land = !sea(x + i, z + j);
        if (!land) continue;  // already sea inside: nothing would change
        for (int i = 0; i <= k && x + i < L - 1; ++i)
          for (int j = 0; j <= k && z + j < R - 1; ++j) {
            e(x + i, z + j) = 0;
            state.classGrid(x + i, z + j) = tcSea;
          }
      }
    }
}

void GrowGrass(TTRVGenState& state, platform::RandomGenerator& rng, TTRVGenProgress& progress) {
  MakeField(state.noiseField, state.params.mapWidth, state.params.mapHeight, kGrassFeature, nullptr, rng);
  SowGrass(state, rng, progress);
}

void SowGrass(TTRVGenState& state, platform::RandomGenerator& rng, TTRVGenProgress& progress) {
  const int L = state.Length(), R = state.RowLength();
  for (int x = 0; x < L; ++x) {
    const int n = L > 1 ? x * 100 / (L - 1) : 100;
    progress.Report(TextId::GenGrass, 700 + n, std::to_string(n) + "%");
    for (int z = 0; z < R; ++z) {
      if (state.classGrid(x, z) != tcOpenGround || !ThemeHas(state, state.zoneGrid(x, z), &TTRVGenTheme::grass))
        continue;
      const int chance = state.noiseField(x, z) / (state.elevation(x, z) / 8 + 1) + 10;
      state.grassFlags(x, z) = rng.Int(256) < chance ? 1 : 0;
    }
  }
}
