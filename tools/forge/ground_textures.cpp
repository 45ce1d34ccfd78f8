// The ground layer painters. Every field used tiles, so every texture does.
#include "tools/forge/ground_textures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace forge {

namespace {

constexpr int N = kGroundSize;
constexpr float kTwoPi = 2 * std::numbers::pi_v<float>;

platform::Bitmap Paint(const std::function<Rgb(int x, int y)>& f) {
  Canvas c(N, N);
  c.Each([&](int x, int y, Rgb& colour, float&) { colour = f(x, y); });
  return c.ToBitmap();
}

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

}  // namespace

platform::Bitmap VegetationTexture(std::mt19937& gen, Rgb dark, Rgb light, Rgb bare) {
  const Field patches = Fbm(gen, N, 4, 5, 0.55f);
  const Field tufts = Fbm(gen, N, 32, 3, 0.5f);
  const Field blades = ValueNoise(gen, N, 128);
  const Field bald = Fbm(gen, N, 8, 3, 0.5f);
  return Paint([&](int x, int y) {
    float t = 0.55f * patches.At(x, y) + 0.3f * tufts.At(x, y) + 0.25f * blades.At(x, y) - 0.05f;
    Rgb c = Mix(dark, light, Clamp01(t));
    float spot = Clamp01((bald.At(x, y) - 0.72f) * 6);  // a few worn, bare spots
    return Mix(c, bare, spot * 0.7f);
  });
}

platform::Bitmap SandTexture(std::mt19937& gen, Rgb dark, Rgb light) {
  const Field warp = Fbm(gen, N, 4, 3, 0.5f);
  const Field tone = Fbm(gen, N, 4, 5, 0.5f);
  const Field grain = ValueNoise(gen, N, 128);
  return Paint([&](int x, int y) {
    // Ripples: whole periods across the tile, bent by the warp field.
    float r = 0.5f + 0.5f * std::sin(kTwoPi * (6.0f * y / N + 1.5f * warp.At(x, y)));
    float t = 0.45f * tone.At(x, y) + 0.25f * r + 0.3f * grain.At(x, y);
    return Mix(dark, light, Clamp01(t));
  });
}

platform::Bitmap RockTexture(std::mt19937& gen, Rgb dark, Rgb light) {
  // Every field is bent by one shared warp, so nothing lines up on a grid: the cells of a
  // Voronoi pattern or straight strata read as laid flagstones, not as a rock face.
  const Field warpX = Fbm(gen, N, 3, 4, 0.5f), warpY = Fbm(gen, N, 3, 4, 0.5f);
  const Field tone = Fbm(gen, N, 4, 6, 0.55f);
  // Ridged octaves: folding each octave about its middle gives sharp crests and creases, the
  // weathered relief of stone, and its lit slope is the bump shading below.
  Field relief(N);
  float weight = 1;
  for (int cells : {4, 8, 16, 32, 64}) {
    const Field octave = ValueNoise(gen, N, cells);
    for (std::size_t i = 0; i < relief.values.size(); ++i) {
      float ridge = 1 - std::abs(2 * octave.values[i] - 1);
      relief.values[i] += weight * ridge * ridge;
    }
    weight *= 0.5f;
  }
  relief.Normalise();
  // Cracks: where a warped noise crosses its middle, thin and winding; a wide network and a
  // fine one.
  const Field coarse = Fbm(gen, N, 4, 3, 0.45f), fine = Fbm(gen, N, 10, 2, 0.5f);
  const Field fade = Fbm(gen, N, 3, 3, 0.5f);
  const Field grain = ValueNoise(gen, N, 128);
  return Paint([&](int x, int y) {
    const float wx = x + 28 * (warpX.At(x, y) - 0.5f), wy = y + 28 * (warpY.At(x, y) - 0.5f);
    const float h = relief.Sample(wx, wy);
    // Light from the upper left across the relief's slope.
    const float slope = relief.Sample(wx + 1, wy) - relief.Sample(wx - 1, wy) + relief.Sample(wx, wy + 1) -
                        relief.Sample(wx, wy - 1);
    float t = 0.5f * tone.Sample(wx, wy) + 0.35f * h + 0.15f * grain.At(x, y) - 1.6f * slope;
    Rgb c = Mix(dark, light, Clamp01(t));
    // Both fade out in places, so no crack closes round a stone like the joint of a slab.
    const float crackA = std::pow(1 - std::abs(2 * coarse.Sample(wx, wy) - 1), 22.0f) *
                         Clamp01((fade.At(x, y) - 0.3f) * 3);
    const float crackB = std::pow(1 - std::abs(2 * fine.Sample(wx, wy) - 1), 18.0f) *
                         Clamp01((fade.At(x, y) - 0.45f) * 4);
    return Shade(c, 1 - 0.4f * Clamp01(crackA + 0.7f * crackB));
  });
}

platform::Bitmap SnowTexture(std::mt19937& gen, Rgb shadow, Rgb light) {
  const Field drifts = Fbm(gen, N, 4, 5, 0.5f);
  const Field sparkle = ValueNoise(gen, N, 128);
  return Paint([&](int x, int y) {
    Rgb c = Mix(shadow, light, Clamp01(0.2f + 0.9f * drifts.At(x, y)));
    if (sparkle.At(x, y) > 0.93f) c = Mix(c, RgbOf(255, 255, 255), 0.8f);
    return c;
  });
}

platform::Bitmap GravelTexture(std::mt19937& gen, Rgb base, Rgb stone) {
  const Field tone = Fbm(gen, N, 4, 5, 0.55f);
  const Cellular stones = CellularNoise(gen, N, 24);
  return Paint([&](int x, int y) {
    Rgb c = Shade(base, 0.82f + 0.36f * tone.At(x, y));
    // A pebble where a cell point is near; its own shade by the cell's random value.
    float d = stones.nearest.At(x, y);
    if (d < 3.2f && stones.id.At(x, y) > 0.35f) {
      Rgb s = Shade(stone, 0.75f + 0.5f * stones.id.At(x, y));
      c = Mix(c, s, Clamp01(3.2f - d));
    }
    return c;
  });
}

platform::Bitmap LitterTexture(std::mt19937& gen, Rgb soil, Rgb litter) {
  const Field tone = Fbm(gen, N, 4, 5, 0.55f);
  const Cellular leaves = CellularNoise(gen, N, 32);
  const Field twigs = ValueNoise(gen, N, 64);
  return Paint([&](int x, int y) {
    Rgb c = Shade(soil, 0.8f + 0.4f * tone.At(x, y));
    float d = leaves.nearest.At(x, y);
    if (d < 3.0f) c = Mix(c, Shade(litter, 0.7f + 0.6f * leaves.id.At(x, y)), 0.8f);
    if (twigs.At(x, y) > 0.86f) c = Shade(c, 0.7f);
    return c;
  });
}

platform::Bitmap PavingTexture(std::mt19937& gen, Rgb stone, Rgb mortar) {
  const Cellular cobbles = CellularNoise(gen, N, 12);
  const Field grain = Fbm(gen, N, 32, 3, 0.5f);
  const Field dirt = Fbm(gen, N, 4, 4, 0.5f);
  return Paint([&](int x, int y) {
    float edge = cobbles.second.At(x, y) - cobbles.nearest.At(x, y);
    Rgb s = Shade(stone, 0.78f + 0.4f * cobbles.id.At(x, y) + 0.12f * (grain.At(x, y) - 0.5f));
    // Each stone darkens toward its rim; mortar fills the gaps.
    s = Shade(s, 0.85f + 0.15f * Clamp01(edge / 6));
    Rgb c = edge < 2.2f ? Mix(mortar, s, Clamp01(edge - 1.2f)) : s;
    return Mix(c, Shade(mortar, 0.8f), 0.25f * dirt.At(x, y));
  });
}

platform::Bitmap WaterTexture(std::mt19937& gen, Rgb deep, Rgb crest) {
  const Field swell = Fbm(gen, N, 4, 4, 0.5f);
  const Field chop = Fbm(gen, N, 16, 3, 0.5f);
  return Paint([&](int x, int y) {
    float w = 0.5f + 0.5f * std::sin(kTwoPi * (3.0f * (x + y) / N + 1.2f * swell.At(x, y)));
    float t = 0.45f * swell.At(x, y) + 0.25f * w + 0.3f * chop.At(x, y);
    Rgb c = Mix(deep, crest, Clamp01((t - 0.35f) * 1.4f));
    if (t > 0.8f) c = Mix(c, RgbOf(200, 220, 230), Clamp01((t - 0.8f) * 3));  // foam on crests
    return c;
  });
}

}  // namespace forge
