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
