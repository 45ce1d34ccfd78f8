// The painted ground the bake renders: each sample's colour from its theme's ground layers.
#include <gtest/gtest.h>

#include <cmath>

#include "terrain/sectorbake.h"
#include "tests/world/world_fixture.h"
#include "world/theme.h"

namespace {

struct Rgb {
  int r, g, b;
};

Rgb At(const std::vector<std::uint8_t>& px, int x, int z) {
  const std::size_t i = static_cast<std::size_t>(x * kSectorSide + z) * 4;
  return {px[i], px[i + 1], px[i + 2]};
}

void Set(TTRVSectorGrid& g, int x, int z, std::uint8_t v) { g[static_cast<std::size_t>(x * kSectorSide + z)] = v; }

// Theme 0: grass below height 128, snow above, a road painter and a rock slope layer; theme 1:
// no layer at all, its material 0 brown.
class PaintedGround : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int h = 0; h < 256; ++h) {
      low_[static_cast<std::size_t>(h)] = h < 128 ? 100 : 0;
      high_[static_cast<std::size_t>(h)] = h < 128 ? 0 : 200;
    }
    palettes_.resize(2);
    auto add = [](TTRVGroundPalette& p, std::array<float, 3> colour, std::uint8_t height, std::uint8_t slope,
                  std::uint8_t paints, const std::array<std::uint8_t, 256>* weights) {
      TTRVGroundMaterial m;
      m.colour = colour;
      m.heightLayer = height;
      m.slopeLayer = slope;
      m.paintsClass = paints;
      m.slopeThreshold = 20;
      m.heightWeights = weights;
      p.materials.push_back(m);
    };
    add(palettes_[0], {0, 1, 0}, 1, 0, 0, &low_);
    add(palettes_[0], {1, 1, 1}, 1, 0, 0, &high_);
    add(palettes_[0], {0.4f, 0.4f, 0.4f}, 1, 0, tcRoad, &zero_);
    add(palettes_[0], {0.6f, 0.3f, 0.0f}, 0, 1, 0, nullptr);
    add(palettes_[1], {0.5f, 0.25f, 0}, 0, 0, 0, nullptr);
    heights_.fill(50);
    types_.fill(0);
  }

  std::array<std::uint8_t, 256> low_{}, high_{}, zero_{};
  std::vector<TTRVGroundPalette> palettes_;
  TTRVSectorGrid heights_, types_;
};

TEST_F(PaintedGround, EachSampleTakesItsLayersColours) {
  Set(heights_, 10, 10, 200);                  // snow (and steep: its neighbours are at 50)
  Set(types_, 10, 10, 0);
  Set(types_, 20, 5, tcRoad);                  // a road
  Set(types_, 25, 25, 0x10);                   // theme 1: nothing applies, material 0
  Set(types_, 26, 26, 0x70);                   // a theme the world does not have
  Set(heights_, 1, 15, 200);                   // steep, but outside the slope test's inner part
  const std::vector<std::uint8_t> px = PaintGround(heights_, types_, palettes_);
  const struct {
    const char* what;
    int x, z;
    Rgb want;
  } cases[] = {
      {"grass", 5, 20, {0, 255, 0}},
      // A painter weighs 1024 against the band's weight: grass 100, snow 200.
      {"a road mostly paints over the grass band", 20, 5, {93, 116, 93}},
      {"a steep sample is rock over snow", 10, 10, {170, 106, 42}},
      {"beside the steep sample it is rock over grass", 9, 10, {139, 92, 0}},
      {"no layer: material 0", 25, 25, {128, 64, 0}},
      {"an unknown theme is grey", 26, 26, {128, 128, 128}},
      {"snow near the border, where slopes are not tested", 1, 15, {255, 255, 255}},
  };
  for (const auto& c : cases) {
    const Rgb got = At(px, c.x, c.z);
    EXPECT_NEAR(got.r, c.want.r, 1) << c.what;
    EXPECT_NEAR(got.g, c.want.g, 1) << c.what;
    EXPECT_NEAR(got.b, c.want.b, 1) << c.what;
  }
}

TEST_F(PaintedGround, GroundFallingAwayTowardPlusZIsDarkened) {
  types_.fill(0x10);  // theme 1: brown everywhere, no slope layers
  Set(heights_, 4, 20, 47);   // 3 below (4, 19)
  Set(heights_, 6, 20, 40);   // 10 below: halved
  Set(heights_, 8, 20, 53);   // rising: untouched
  Set(heights_, 3, 1, 10);    // z = 1 is not darkened
  const std::vector<std::uint8_t> px = PaintGround(heights_, types_, palettes_);
  EXPECT_NEAR(At(px, 4, 20).r, 128 * 0.79, 1);
  EXPECT_NEAR(At(px, 6, 20).r, 64, 1);
  EXPECT_NEAR(At(px, 8, 20).r, 128, 1);
  EXPECT_NEAR(At(px, 3, 1).r, 128, 1);
}

TEST(GroundPalette, MaterialsCarryTheirTexturesMeanColour) {
  worldtest::ProgramFolder folder;
  worldtest::WriteTheme(folder.Path(), "Basic", {tcOpenGround, tcSea});
  std::vector<std::unique_ptr<TTRVTheme>> themes;
  themes.push_back(std::make_unique<TTRVTheme>());
  ASSERT_TRUE(themes[0]->LoadThemeFile(folder.Path() / "themes" / "Basic.TRV").ok);
  const std::vector<TTRVGroundPalette> p = BuildGroundPalettes(themes);
  ASSERT_EQ(p.size(), 1u);
  ASSERT_EQ(p[0].materials.size(), 2u);
  EXPECT_NEAR(p[0].materials[1].colour[0], 40 / 255.0f, 1e-3);
  EXPECT_NEAR(p[0].materials[1].colour[1], 90 / 255.0f, 1e-3);
  EXPECT_NEAR(p[0].materials[1].colour[2], 160 / 255.0f, 1e-3);
  EXPECT_EQ(p[0].materials[1].paintsClass, tcSea);
  EXPECT_EQ(p[0].materials[1].heightWeights, &themes[0]->materialInfos[1].heightWeights);
}

TEST(GroundPalette, BakedMaterialNamesJoinTheIndices) {
  EXPECT_EQ(BakedMaterialName(3, 12), "D@3@12");
  EXPECT_EQ(BakedMaterialName(-1, 0), "D@-1@0");
}

}  // namespace
