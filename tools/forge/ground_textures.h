// Tiling ground textures for the climate themes' layers: 256 x 256, seamless in both
// directions, each from fBm, cellular noise and a colour ramp. Colours are given by the caller
// so one painter serves every climate (green grass, dry grass, tundra).
#pragma once

#include <random>

#include "platform/bitmap.h"
#include "tools/forge/texkit.h"

namespace forge {

inline constexpr int kGroundSize = 256;

// Grass or any low vegetation: patches between dark and light, fine blades, a few bare spots.
platform::Bitmap VegetationTexture(std::mt19937& gen, Rgb dark, Rgb light, Rgb bare);
// Sand with wind ripples.
platform::Bitmap SandTexture(std::mt19937& gen, Rgb dark, Rgb light);
// Cracked rock in layers.
platform::Bitmap RockTexture(std::mt19937& gen, Rgb dark, Rgb light);
// Snow or ice: soft drifts, faint blue shadows and sparkles.
platform::Bitmap SnowTexture(std::mt19937& gen, Rgb shadow, Rgb light);
// Gravel, shingle or a dirt track: a base with scattered small stones.
platform::Bitmap GravelTexture(std::mt19937& gen, Rgb base, Rgb stone);
// Forest floor: litter of leaves or needles over dark soil.
platform::Bitmap LitterTexture(std::mt19937& gen, Rgb soil, Rgb litter);
// Paving of a settlement: stones in mortar.
platform::Bitmap PavingTexture(std::mt19937& gen, Rgb stone, Rgb mortar);
// Water: waves over a deep colour (the sea is drawn additively, so keep it dark).
platform::Bitmap WaterTexture(std::mt19937& gen, Rgb deep, Rgb crest);

}  // namespace forge
