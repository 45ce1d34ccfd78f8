// The cloud sky: its size, its blue border, its colours and its material.
#include <gtest/gtest.h>

#include "platform/random.h"
#include "scene/material.h"
#include "scene/quadrics.h"
#include "world/sky.h"

namespace {

TEST(Sky, TextureSideIsClampedThenRoundedUpToAPowerOfTwo) {
  const struct {
    int setting, side;
  } cases[] = {{300, 512}, {512, 512}, {65, 128}, {64, 64}, {10, 64}, {0, 64}, {-7, 64}, {2048, 2048}, {5000, 2048}, {1 << 30, 2048}};
  for (const auto& c : cases) EXPECT_EQ(SkyTextureSide(c.setting), c.side) << c.setting;
}

TEST(Sky, BorderIsPureBlueAndCloudsAreWhiteOnBlue) {
  platform::RandomGenerator random(7);
  const int n = 64;
  const std::vector<std::uint8_t> grid = PaintCloudGrid(n, random);
  ASSERT_EQ(grid.size(), static_cast<std::size_t>(n * n));
  const platform::Bitmap bmp = CloudBitmap(grid, n);
  ASSERT_EQ(bmp.Width(), n);
  for (int k = 0; k < n; ++k)
    for (auto [x, y] : {std::pair{k, 0}, std::pair{k, n - 1}, std::pair{0, k}, std::pair{n - 1, k}})
      EXPECT_EQ(bmp.Pixel(x, y), platform::MakeColor(0, 0, 255)) << x << ", " << y;

  int clouded = 0;
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y) {
      const int g = grid[static_cast<std::size_t>(x * n + y)];
      const int w = std::min(2 * g, 255);
      ASSERT_EQ(bmp.Pixel(x, y), platform::MakeColor(w, w, 255)) << x << ", " << y;
      clouded += g > 0;
    }
  EXPECT_GT(clouded, n * n / 10) << "the refinement spreads the coarse lattice into clouds";
}

TEST(Sky, TwoGamesInARowGetDifferentSkies) {
  platform::RandomGenerator random(11);
  EXPECT_NE(PaintCloudGrid(128, random), PaintCloudGrid(128, random));
}

TEST(Sky, MaterialIsUnlitFogFreeAndOnTheInsideOutDome) {
  platform::RandomGenerator random(3);
  TGLMaterialLibrary library;
  TGLSphere dome;
  TGLLibMaterial* sky = BuildSky(library, 300, &dome, random);
  ASSERT_NE(sky, nullptr);
  EXPECT_EQ(sky->Name, "sky");
  const TGLMaterial& m = sky->Material;
  EXPECT_EQ(m.Texture.Width(), 512);
  EXPECT_EQ(m.Texture.Height(), 512);
  EXPECT_FALSE(m.Texture.Disabled);
  EXPECT_EQ(m.Texture.TextureMode, tmModulate);
  EXPECT_EQ(m.Texture.TextureWrap, twBoth);
  EXPECT_EQ(m.BlendingMode, bmOpaque);
  EXPECT_EQ(m.MaterialOptions, moIgnoreFog | moNoLighting);
  EXPECT_EQ(m.FaceCulling, fcNoCull);
  EXPECT_EQ(dome.NormalDirection, ndInside);
  EXPECT_EQ(&dome.Material.Resolved(), &sky->Material);

  // A new game repaints the same material rather than adding a second one.
  BuildSky(library, 64, &dome, random);
  EXPECT_EQ(library.Count(), 1);
  EXPECT_EQ(library.Materials(0)->Material.Texture.Width(), 64);
}

}  // namespace
