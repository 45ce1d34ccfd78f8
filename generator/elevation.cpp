// Midpoint displacement and the outline sketch.
#include "generator/elevation.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

std::uint8_t Clamp255(int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); }

int SeedSpacing(int featureSize) {
  return static_cast<int>(std::bit_ceil(static_cast<unsigned>(std::max(featureSize, 2)))) / 2;
}

constexpr int kMarginPoints = 32;  // cells between the margin's random points
constexpr int kMarginSpread = 16;  // how far the margin wanders
constexpr int kMarginFade = 8;     // cells over which the land rises out of the margin

// `length` values in lo..hi that wander like a coast: random points every kMarginPoints
// cells, the cells between by midpoint displacement. Every level jitters by at least one
// cell, and a value pushed past a bound is turned back rather than cut off there, so no
// stretch of the line runs straight.
std::vector<int> WanderingLine(int length, int lo, int hi, platform::RandomGenerator& rng) {
  const int size = (length + kMarginPoints - 1) / kMarginPoints * kMarginPoints + 1;
  std::vector<int> v(static_cast<std::size_t>(size));
  for (int i = 0; i < size; i += kMarginPoints) v[static_cast<std::size_t>(i)] = lo + rng.Int(hi - lo + 1);
  for (int step = kMarginPoints; step > 1; step /= 2) {
    const int jitter = std::max(1, step / 4);
    for (int i = 0; i + step < size; i += step) {
      int mid = (v[static_cast<std::size_t>(i)] + v[static_cast<std::size_t>(i + step)]) / 2;
      mid += rng.Int(2 * jitter + 1) - jitter;
      if (mid < lo) mid = 2 * lo - mid;
      if (mid > hi) mid = 2 * hi - mid;
      v[static_cast<std::size_t>(i + step / 2)] = std::clamp(mid, lo, hi);
    }
  }
  v.resize(static_cast<std::size_t>(std::max(length, 0)));
  return v;
}

// The coarse levels never raise the lines h / 2 cells inside the low edges (nor their
// counterparts before the far edges), so they stay at 0 until the last level. When the
// sketch puts land on the first seed line beside them, the field climbs from such a line in
// a straight ramp and the coast would follow the line like a ruler. A sea margin that wanders
// beyond those lines along every edge, with the land rising out of it, gives the outer coast
// the same ragged shape as the rest and keeps the border and the corner open sea.
void FadeIntoMargins(TTRVGrid<std::uint8_t>& field, int h, platform::RandomGenerator& rng) {
  const int L = field.SizeX(), R = field.SizeZ();
  const int lo = std::max(8, h / 2 + 8), hi = lo + kMarginSpread;
  auto fade = [&](int x, int z, int distance, int margin) {
    const int t = std::clamp(distance - margin, 0, kMarginFade);
    field(x, z) = static_cast<std::uint8_t>(field(x, z) * t / kMarginFade);
  };
  // The edges x = 0 and x = L - 1, then z = 0 and z = R - 1; d counts cells in from the edge.
  for (const bool zEdge : {false, true}) {
    const int along = zEdge ? L : R, depth = zEdge ? R : L;
    for (const bool far : {false, true}) {
      const std::vector<int> margin = WanderingLine(along, lo, hi, rng);
      for (int a = 0; a < along; ++a) {
        const int m = margin[static_cast<std::size_t>(a)];
        for (int d = 0; d < std::min(depth, m + kMarginFade); ++d) {
          const int in = far ? depth - 1 - d : d;
          if (zEdge) fade(a, in, d, m);
          else fade(in, a, d, m);
        }
      }
    }
  }
}

}  // namespace

std::vector<int> FieldSeedLines(int cells, int featureSize) {
  const int h = SeedSpacing(featureSize);
  std::vector<int> lines;
  for (int i = 1; i <= (cells - 32) / h; ++i) lines.push_back(h * i);
  return lines;
}

void MakeField(TTRVGrid<std::uint8_t>& field, int mapWidth, int mapHeight, int featureSize,
               const TTRVGrid<std::uint8_t>* sketch, platform::RandomGenerator& rng) {
  const int h = SeedSpacing(featureSize), s = 2 * h;
  field.Reset(mapWidth * 32, mapHeight * 32, 0);
  const int L = field.SizeX(), R = field.SizeZ();
  if (L == 0) return;
  const bool useSketch = sketch && !sketch->Empty();

  const std::vector<int> seedsX = FieldSeedLines(L, featureSize), seedsZ = FieldSeedLines(R, featureSize);
  for (int x : seedsX)
    for (int z : seedsZ)
      field(x, z) = useSketch ? sketch->At(x / 32, z / 32) : static_cast<std::uint8_t>(rng.Int(256));

  TTRVGrid<std::uint8_t> roughness(mapWidth + 1, mapHeight + 1, 0);
  for (int a = 0; a < mapWidth; ++a)
    for (int b = 0; b < mapHeight; ++b)
      if (!useSketch || sketch->At(a, b) != 0) roughness(a, b) = static_cast<std::uint8_t>(64 + rng.Int(128));

  std::uint8_t* F = field.Cells().data();
  auto at = [F, R](int r, int c) -> std::uint8_t& { return F[static_cast<std::size_t>(r) * R + c]; };
  int step = s;
  do {
    step /= 2;
    const int d = step / 2;
    for (int i = 1; i <= (L - 1) / step - 1; ++i) {
      const int r = i * step;
      for (int j = 1; j <= (R - 1) / step - 1; ++j) {
        const int c = j * step;
        const int K = roughness(r / 32, c / 32) + at(r, c) / 4;
        const int spread = step * K / 64, pull = step * K / 100;
        int noise = rng.Int(spread);
        at(r + d, c) = Clamp255(noise + (at(r, c) + at(r + step, c)) / 2 - pull);
        noise = rng.Int(spread);
        at(r, c + d) = Clamp255(noise + (at(r, c) + at(r, c + step)) / 2 - pull);
        noise = rng.Int(spread);
        at(r + d, c + d) =
            Clamp255(noise + (at(r, c) + at(r, c + step) + at(r + step, c) + at(r + step, c + step)) / 4 - pull);
      }
    }
  } while (step > 1);
  if (useSketch) FadeIntoMargins(field, h, rng);
}

int SketchLandShare(int landPercent) { return std::clamp(landPercent, 10, 90); }

int GrowSketch(TTRVGrid<std::uint8_t>& sketch, int share, platform::RandomGenerator& rng) {
  const int w = sketch.SizeX(), h = sketch.SizeZ();
  const long long pixels = static_cast<long long>(w) * h;
  if (pixels == 0) return -1;
  long long land = 0;
  for (std::uint8_t v : sketch.Cells()) land += v != 0;
  auto done = [&] { return land * 100 / pixels > share; };
  if (done()) return static_cast<int>(land);
  // Growth from a single seed fills a sketch in about pixels * ln(pixels) draws; the bound
  // is far above that and only ends a sketch that cannot grow (no seed, or one pixel).
  const long long bound = 200 * pixels * (1 + std::bit_width(static_cast<unsigned long long>(pixels)));
  for (long long draw = 0; draw < bound; ++draw) {
    const int y = rng.Int(h), x = rng.Int(w);
    const bool grows = sketch.At(x - 1, y) != 0 || sketch.At(x + 1, y) != 0 || sketch.At(x, y - 1) != 0 ||
                       sketch.At(x, y + 1) != 0;
    if (!grows) continue;
    if (sketch(x, y) == 0) ++land;
    sketch(x, y) = static_cast<std::uint8_t>(16 + rng.Int(17));
    if (done()) return static_cast<int>(land);
  }
  return -1;
}

bool DrawSketch(TTRVGrid<std::uint8_t>& sketch, int mapWidth, int mapHeight, int landPercent, bool multiSeed,
                platform::RandomGenerator& rng, std::string& error) {
  if (mapWidth <= 0 || mapHeight <= 0) return true;
  sketch.Reset(mapWidth, mapHeight, 0);
  const int share = SketchLandShare(landPercent);
  // Maps under 10 sectors would get no seed at all and never grow.
  const int seeds = multiSeed ? std::max(1, (mapWidth / 10) * (mapHeight / 10)) : 1;
  for (int k = 0; k < seeds; ++k) {
    const int y = rng.Int(mapHeight), x = rng.Int(mapWidth);
    sketch(x, y) = static_cast<std::uint8_t>(5 + rng.Int(20));
  }
  if (GrowSketch(sketch, share, rng) < 0) {
    error = "the outline sketch of " + std::to_string(mapWidth) + " x " + std::to_string(mapHeight) +
            " sectors cannot grow to " + std::to_string(share) + " % land";
    return false;
  }
  auto land = [&](int x, int y) { return sketch(x, y) != 0; };
  for (int x = 1; x <= mapWidth - 2; ++x)
    for (int z = 1; z <= mapHeight - 2; ++z) {
      if (!(land(x, z) && land(x - 1, z) && land(x + 1, z) && land(x, z - 1) && land(x, z + 1))) continue;
      sketch(x, z) = static_cast<std::uint8_t>(96 + rng.Int(32));
      if (land(x - 1, z - 1) && land(x + 1, z - 1) && land(x - 1, z + 1) && land(x + 1, z + 1))
        sketch(x, z) = static_cast<std::uint8_t>(200 + rng.Int(55));
    }
  for (int x = 0; x < mapWidth; ++x) sketch(x, 0) = sketch(x, mapHeight - 1) = 0;
  for (int z = 0; z < mapHeight; ++z) sketch(0, z) = sketch(mapWidth - 1, z) = 0;
  return true;
}
