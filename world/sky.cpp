// Painting the cloud sky.
#include "world/sky.h"

#include <algorithm>

#include "platform/random.h"
#include "scene/material.h"
#include "scene/quadrics.h"
#include "scene/vectorgeometry.h"

int SkyTextureSide(int setting) {
  return RoundUpToPowerOf2(std::clamp(setting, kMinSkyTextureSize, kMaxSkyTextureSize));
}

std::vector<std::uint8_t> PaintCloudGrid(int n, platform::RandomGenerator& random) {
  n = SkyTextureSide(n);
  const auto at = [n](int x, int y) { return static_cast<std::size_t>(x) * static_cast<std::size_t>(n) + static_cast<std::size_t>(y); };
  std::vector<std::uint8_t> g(static_cast<std::size_t>(n) * static_cast<std::size_t>(n), 0);

  const int s = n / 4;
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) g[at(s * i, s * j)] = static_cast<std::uint8_t>(random.Int(256));

  // Roughness: how wild the clouds are in each 32 x 32 block.
  const int rn = n / 32;
  std::vector<std::uint8_t> rough(static_cast<std::size_t>(rn) * static_cast<std::size_t>(rn));
  for (std::uint8_t& r : rough) r = static_cast<std::uint8_t>(64 + random.Int(128));

  const auto clamp255 = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
  int b = n / 2;
  do {
    b /= 2;
    const int last = (n - 1) / b - 1;
    for (int i = 1; i <= last; ++i)
      for (int j = 1; j <= last; ++j) {
        const int ib = i * b, jb = j * b, h = b / 2;
        const int level = rough[static_cast<std::size_t>(ib / 32) * static_cast<std::size_t>(rn) + static_cast<std::size_t>(jb / 32)] + g[at(ib, jb)] / 4;
        const int amplitude = b * level / 64, bias = b * level / 100;
        const int c00 = g[at(ib, jb)], c10 = g[at(ib + b, jb)], c01 = g[at(ib, jb + b)], c11 = g[at(ib + b, jb + b)];
        g[at(ib + h, jb)] = clamp255(random.Int(amplitude) + (c00 + c10) / 2 - bias);
        g[at(ib, jb + h)] = clamp255(random.Int(amplitude) + (g[at(ib, jb)] + c01) / 2 - bias);
        g[at(ib + h, jb + h)] = clamp255(random.Int(amplitude) + (g[at(ib, jb)] + c01 + c10 + c11) / 4 - bias);
      }
  } while (b >= 2);
  return g;
}

platform::Bitmap CloudBitmap(const std::vector<std::uint8_t>& grid, int n) {
  platform::Bitmap bmp(n, n, 24);
  if (bmp.Empty() || grid.size() < static_cast<std::size_t>(n) * static_cast<std::size_t>(n)) return bmp;
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y) {
      const int w = std::min(2 * grid[static_cast<std::size_t>(x) * static_cast<std::size_t>(n) + static_cast<std::size_t>(y)], 255);
      bmp.SetPixel(x, y, platform::MakeColor(w, w, 255));
    }
  return bmp;
}

TGLLibMaterial* BuildSky(TGLMaterialLibrary& library, int skyTextureSizeSetting, TGLSphere* dome,
                         platform::RandomGenerator& random) {
  const int n = SkyTextureSide(skyTextureSizeSetting);
  const platform::Bitmap image = CloudBitmap(PaintCloudGrid(n, random), n);

  TGLLibMaterial* sky = library.GetLibMaterialByName("sky");
  if (!sky) sky = library.Add("sky");
  TGLMaterial& m = sky->Material;
  m.BlendingMode = bmOpaque;
  m.MaterialOptions = moIgnoreFog | moNoLighting;
  m.FaceCulling = fcNoCull;
  m.FrontProperties.Diffuse.SetColor(1, 1, 1, 1);
  m.Texture.TextureMode = tmModulate;
  m.Texture.TextureWrap = twBoth;
  sky->TextureScale = {1, 1, 1};
  m.Texture.AssignBitmap(image);
  m.Texture.Disabled = false;

  if (dome) {
    dome->NormalDirection = ndInside;
    dome->Material.MaterialLibrary = &library;
    dome->Material.LibMaterialName = "sky";
  }
  return sky;
}
