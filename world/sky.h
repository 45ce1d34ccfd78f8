// The cloud sky: a cloud image painted anew for every game by midpoint displacement, put on
// the world's "sky" material for the inside-out dome around the camera. No GL here: the
// texture uploads when the dome is first drawn.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/bitmap.h"

namespace platform {
class RandomGenerator;
}
class TGLMaterialLibrary;
class TGLLibMaterial;
class TGLSphere;

inline constexpr int kMinSkyTextureSize = 64;
inline constexpr int kMaxSkyTextureSize = 2048;

// The side of the cloud image for a SkyTextureSize setting: clamped to 64 .. 2048 (a hand-edited
// settings file must not ask for a gigabyte image or one too small for the roughness grid),
// then rounded up to a power of two.
int SkyTextureSide(int setting);

// The cloud grid G, n x n bytes indexed [x][y] with x outer (n a power of two, 64 .. 2048).
// Only the three-by-three coarse lattice is seeded; the border rows and columns stay 0.
std::vector<std::uint8_t> PaintCloudGrid(int n, platform::RandomGenerator& random);

// White clouds on a blue sky: pixel (x, y) is (min(2G, 255), min(2G, 255), 255).
platform::Bitmap CloudBitmap(const std::vector<std::uint8_t>& grid, int n);

// Paints a new sky of the setting's size into the library's "sky" material (made when missing,
// repainted when present) and gives it to the dome, which turns its normals inside.
TGLLibMaterial* BuildSky(TGLMaterialLibrary& library, int skyTextureSizeSetting, TGLSphere* dome,
                         platform::RandomGenerator& random);
