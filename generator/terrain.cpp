// Terraces and rivers.
#include "generator/terrain.h"

#include <algorithm>
#include <cmath>

#include "generator/elevation.h"
#include "world/worldfile.h"

namespace {

constexpr int kTerraceMargin = 64;
constexpr int kRiverAttempts = 101;
constexpr int kRiverSteps = 10001;
constexpr int kRiverValidSteps = 10000;

// Largest k with k * k <= n, for n >= 0.
int ISqrt(int n) {
  int k = static_cast<int>(std::sqrt(static_cast<double>(n)));
  while (k * k > n) --k;
  while ((k + 1) * (k + 1) <= n) ++k;
  return k;
}

}  // namespace

void RampTerraces(TTRVGrid<std::uint8_t>& t) {
  const int L = t.SizeX(), R = t.SizeZ();
  for (bool changed = true; changed;) {
    changed = false;
    for (int cx = 1; cx <= L - 3; ++cx)
      for (int cz = 1; cz <= R - 3; ++cz) {
        const int top = t(cx, cz);
        for (const TTRVCell& n : {TTRVCell{cx + 1, cz}, {cx, cz + 1}, {cx - 1, cz}, {cx, cz - 1}}) {
          std::uint8_t& v = t(n.x, n.z);
          if (v > top + 2) {
            v = static_cast<std::uint8_t>(v - 2);
            changed = true;
            break;
          }
        }
      }
  }
}

int TerraceRaise(int terrace, int elevation) {
  const int raise = terrace - elevation / (terrace + 1);
  return raise >= 1 ? raise : 0;
}

std::string RaiseTerraces(TTRVGenState& state, platform::RandomGenerator& rng, TTRVGenProgress& progress) {
  progress.Report(TextId::GenTerraces, 100);
  const TTRVWorldParams& p = state.params;
  TTRVGrid<std::uint8_t>& elevation = state.elevation;
  const int L = state.Length(), R = state.RowLength();

  // A centre is a land vertex of the inner area, all of them equally likely. Drawing from the
  // list is the same as drawing cells until one has land, but cannot run forever.
  std::vector<TTRVCell> centres;
  const int spanX = std::max(1, p.mapWidth * 32 - 2 * kTerraceMargin);
  const int spanZ = std::max(1, p.mapHeight * 32 - 2 * kTerraceMargin);
  for (int x = kTerraceMargin; x < kTerraceMargin + spanX && x < L; ++x)
    for (int z = kTerraceMargin; z < kTerraceMargin + spanZ && z < R; ++z)
      if (elevation(x, z) != 0) centres.push_back({x, z});
  if (centres.empty())
    return "the island has no land " + std::to_string(kTerraceMargin) + " cells inside the map edges";

  TTRVGrid<std::uint8_t> terraces(L, R, 0);
  const long long patches = static_cast<long long>(p.mapWidth) * p.mapHeight * p.landPercent + 1;
  const int size = p.landPercent / 5;
  for (long long n = 0; n < patches; ++n) {
    const auto height = static_cast<std::uint8_t>(10 + rng.Int(20));
    const TTRVCell c = centres[static_cast<std::size_t>(rng.Int(static_cast<int>(centres.size())))];
    const int a = rng.Int(size), b = rng.Int(size), w = rng.Int(size), d = rng.Int(size);
    const int x0 = std::max(1, c.x - a), x1 = std::min(L - 2, c.x - a + w);
    const int z0 = std::max(1, c.z - b), z1 = std::min(R - 2, c.z - b + d);
    for (int x = x0; x <= x1; ++x)
      for (int z = z0; z <= z1; ++z) terraces(x, z) = height;
  }
  RampTerraces(terraces);

  MakeField(state.noiseField, p.mapWidth, p.mapHeight, p.featureSize, nullptr, rng);
  for (int x = 0; x < L; ++x)
    for (int z = 0; z < R; ++z) {
      const int e = elevation(x, z);
      int v = std::min(255, e + TerraceRaise(terraces(x, z), e));
      if (v < state.noiseField(x, z) / 40 + 4) v = 0;
      elevation(x, z) = static_cast<std::uint8_t>(v);
    }
  return {};
}

std::vector<TTRVCell> WalkRiver(const TTRVGrid<std::uint8_t>& elevation, TTRVCell spring,
                                TTRVGrid<std::uint32_t>& stamp, std::uint32_t walk, platform::RandomGenerator& rng) {
  std::vector<TTRVCell> path{spring};
  if (!elevation.Inside(spring.x, spring.z) || elevation(spring.x, spring.z) < kRiverSpringHeight) return {};
  const int L = elevation.SizeX(), R = elevation.SizeZ();
  stamp(spring.x, spring.z) = walk;

  // The moves a step may take from a cell, in the order of the draw 0..3; draw 4 stays put.
  auto target = [&](const TTRVCell& c, int r, TTRVCell& to) {
    switch (r) {
      case 0: to = {c.x, c.z - 1}; return c.z >= 2;
      case 1: to = {c.x + 1, c.z}; return c.x + 1 < L - 1;
      case 2: to = {c.x, c.z + 1}; return c.z + 1 < R - 1;
      case 3: to = {c.x - 1, c.z}; return c.x >= 2;
      default: return false;
    }
  };
  auto takes = [&](const TTRVCell& from, const TTRVCell& to) {
    return stamp(to.x, to.z) != walk && elevation(to.x, to.z) <= elevation(from.x, from.z);
  };

  int steps = 0;
  for (; steps < kRiverSteps; ++steps) {
    const TTRVCell last = path.back();
    if (elevation(last.x, last.z) < 2) break;
    TTRVCell to;
    if (target(last, rng.Int(5), to) && takes(last, to)) {
      path.push_back(to);
      stamp(to.x, to.z) = walk;
      continue;
    }
    // Nothing changes once every way out is higher or walked already: the walk would only
    // mark time until it runs out of steps, so it is given up now.
    bool open = false;
    for (int r = 0; r < 4 && !open; ++r) open = target(last, r, to) && takes(last, to);
    if (!open) return {};
  }
  if (steps >= kRiverValidSteps || static_cast<int>(path.size()) < kRiverMinCells) return {};
  return path;
}

TTRVRiverCarve::TTRVRiverCarve(int sizeX, int sizeZ) : runs_(sizeX, sizeZ + 1, 0) {}

void TTRVRiverCarve::AddDisc(int cx, int cz, int q, std::int64_t value) {
  if (q <= 0 || value == 0) return;
  const int L = runs_.SizeX(), R = runs_.SizeZ() - 1;
  for (int j = -q + 1; j <= q - 1; ++j) {
    const int x = cx + j;
    if (x < 1 || x > L - 2) continue;
    const int half = ISqrt(q * q - j * j - 1);
    const int z0 = std::max(1, cz - half), z1 = std::min(R - 2, cz + half);
    if (z0 > z1) continue;
    runs_(x, z0) += value;
    runs_(x, z1 + 1) -= value;
  }
}

void TTRVRiverCarve::AddRiver(const std::vector<TTRVCell>& path, TTRVGrid<std::uint8_t>& classes) {
  const int n = static_cast<int>(path.size());
  for (int i = 0; i < n; ++i) {
    const TTRVCell& c = path[static_cast<std::size_t>(i)];
    classes.Set(c.x, c.z, tcRiver);
    const std::int64_t rem = n - i - 1, times = rem + 1;
    // Each disc is laid rem + 1 times in a row: once, multiplied.
    AddDisc(c.x, c.z, i / 8, rem / 3 * times);
    AddDisc(c.x, c.z, i / 4, rem / 5 * times);
    AddDisc(c.x, c.z, i / 2, rem / 8 * times);
  }
}

std::int64_t TTRVRiverCarve::At(int x, int z) const {
  std::int64_t sum = 0;
  for (int k = 0; k <= z; ++k) sum += runs_(x, k);
  return sum;
}

void TTRVRiverCarve::Apply(TTRVGrid<std::uint8_t>& elevation, TTRVGrid<std::uint8_t>& classes) const {
  const int L = elevation.SizeX(), R = elevation.SizeZ();
  for (int x = 1; x <= L - 2; ++x) {
    std::int64_t carve = runs_(x, 0);
    for (int z = 1; z <= R - 2; ++z) {
      carve += runs_(x, z);
      const int c = static_cast<int>(std::min<std::int64_t>(255, std::max<std::int64_t>(0, carve / 128)));
      elevation(x, z) = static_cast<std::uint8_t>(std::max(0, elevation(x, z) - c));
      bool flat = true;
      for (int dx = -1; dx <= 1 && flat; ++dx)
        for (int dz = -1; dz <= 1 && flat; ++dz) flat = elevation(x + dx, z + dz) == 0;
      if (flat) classes(x, z) = tcSea;
    }
  }
}

void CarveRivers(TTRVGenState& state, platform::RandomGenerator& rng, TTRVGenProgress& progress) {
  const TTRVWorldParams& p = state.params;
  TTRVGrid<std::uint32_t> stamp(state.Length(), state.RowLength(), 0);
  TTRVRiverCarve carve(state.Length(), state.RowLength());
  std::uint32_t walk = 0;
  for (int sx = 0; sx < p.mapWidth; ++sx) {
    const int n = p.mapWidth > 1 ? sx * 100 / (p.mapWidth - 1) : 100;
    progress.Report(TextId::GenRivers, 200 + n, std::to_string(n) + "%");
    for (int sz = 0; sz < p.mapHeight; ++sz)
      for (int attempt = 0; attempt < kRiverAttempts; ++attempt) {
        const int x = sx * 32 + rng.Int(32);
        const int z = sz * 32 + rng.Int(32);
        const std::vector<TTRVCell> path = WalkRiver(state.elevation, {x, z}, stamp, ++walk, rng);
        if (path.empty()) continue;
        // Rivers never cross: one that meets an earlier river is tried again elsewhere.
        const bool meets = std::ranges::any_of(path, [&](const TTRVCell& c) { return state.classGrid(c.x, c.z) == tcRiver; });
        if (meets) continue;
        carve.AddRiver(path, state.classGrid);
        break;
      }
  }
  carve.Apply(state.elevation, state.classGrid);
}
