// The layered ground in a real GL context: a pass that sums two layers at once draws what
// two passes draw, and both sum the layers as their weights say.
#include <array>
#include <cmath>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scene/gl.h"
#include "scene/material.h"
#include "scene/rendercontext.h"
#include "terrain/grounddraw.h"
#include "tests/support/window_fixture.h"

namespace {

constexpr int kSize = 64;  // two pixels a cell
constexpr std::array<std::array<int, 3>, 3> kColours{{{200, 0, 0}, {0, 200, 0}, {0, 0, 200}}};

// Red everywhere underneath; green rising from nothing at x = 0 to all at x = 32; blue at 100
// on a square in the middle.
std::uint8_t WeightOf(int material, int x, int z) {
  const int green = static_cast<int>(std::lround(255.0 * x / kSectorCells));
  const int blue = x >= 10 && x <= 20 && z >= 10 && z <= 20 ? 100 : 0;
  const int values[] = {std::max(0, 255 - green - blue), std::min(green, 255 - blue), blue};
  return static_cast<std::uint8_t>(values[material]);
}

class GroundDrawTest : public testwindow::WindowTest {
 protected:
  GroundDrawTest() : WindowTest(kSize, kSize, false) {}
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped()) return;
    glViewport(0, 0, kSize, kSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kSectorCells, 0, kSectorCells, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);

    TTRVSectorMatInfo info;
    info.drawCells.assign(3 * static_cast<std::size_t>(kSectorSamples), 0);
    std::vector<std::uint8_t> weights(3 * static_cast<std::size_t>(kSectorSamples), 0);
    for (int m = 0; m < 3; ++m) {
      info.usedMaterials.set(static_cast<std::size_t>(m));
      for (int x = 0; x < kSectorSide; ++x)
        for (int z = 0; z < kSectorSide; ++z)
          weights[static_cast<std::size_t>(m * kSectorSamples + x * kSectorSide + z)] = WeightOf(m, x, z);
      for (int x = 0; x < kSectorCells; ++x)
        for (int z = 0; z < kSectorCells; ++z)
          for (int dx : {0, 1})
            for (int dz : {0, 1})
              if (WeightOf(m, x + dx, z + dz)) info.drawCells[static_cast<std::size_t>(m * kSectorSamples + x * kSectorSide + z)] = 1;
    }
    layers_.themeSlots.fill(0);
    layers_.matInfos = {info};
    layers_.weights = {weights};
    heights_.fill(10);
    // The grid stands in the screen's plane: x across, z up.
    for (int x = 0; x < kSectorSide; ++x)
      for (int z = 0; z < kSectorSide; ++z) positions_.insert(positions_.end(), {static_cast<float>(x), static_cast<float>(z), 0.0f});
  }

  TTRVGroundLayerMesh Plan(bool pairing) {
    TTRVGroundLayerMesh mesh =
        PlanGroundPasses(layers_, heights_, pairing ? TTRVLayerPairing([](int, int, int, int) { return true; }) : TTRVLayerPairing{});
    for (int m = 0; m < 3; ++m) {
      TGLLibMaterial* look = library_.Add("look" + std::to_string(m));
      const std::array<std::uint8_t, 4> texel{static_cast<std::uint8_t>(kColours[m][0]), static_cast<std::uint8_t>(kColours[m][1]),
                                              static_cast<std::uint8_t>(kColours[m][2]), 255};
      std::vector<std::uint8_t> image;
      for (int i = 0; i < 16; ++i) image.insert(image.end(), texel.begin(), texel.end());
      look->Material.Texture.SetImage(4, 4, image.data());
      look->Material.FrontProperties.Diffuse.SetColor(1, 1, 1);
      looks_[m] = look;
    }
    for (TTRVGroundPass& pass : mesh.passes) {
      const auto of = [&](int m) {
        return std::span<const std::uint8_t>(layers_.weights[0].data() + static_cast<std::size_t>(m) * kSectorSamples, kSectorSamples);
      };
      pass.look = looks_[pass.material];
      pass.pairLook = pass.Paired() ? looks_[pass.pairMaterial] : nullptr;
      TGLLibMaterial* w = library_.Add("weights" + std::to_string(library_.Count()));
      const std::vector<std::uint8_t> image = pass.Paired() ? WeightImage(of(pass.material), of(pass.pairMaterial)) : WeightImage(of(pass.material));
      w->Material.Texture.SetImage(kSectorSide, kSectorSide, image.data());
      w->Material.Texture.TextureWrap = twNone;
      w->Material.Texture.MinFilter = miLinear;
      pass.weights = w;
    }
    return mesh;
  }

  std::vector<std::uint8_t> Draw(const TTRVGroundLayerMesh& mesh, bool onePass, int& passes) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    TRenderContext rci;
    rci.lighting = false;
    passes = DrawGroundLayers(rci, positions_.data(), mesh, onePass);
    glDisableClientState(GL_VERTEX_ARRAY);
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kSize * kSize * 4));
    glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
  }

  TTRVGroundLayers layers_;
  TTRVSectorGrid heights_{};
  std::vector<float> positions_;
  TGLMaterialLibrary library_;
  std::array<TGLLibMaterial*, 3> looks_{};
};

}  // namespace

TEST_F(GroundDrawTest, PairedLayersDrawTheBlendTheirWeightsDescribeInOnePassOrTwo) {
  const TTRVGroundLayerMesh separate = Plan(false), paired = Plan(true);
  ASSERT_EQ(separate.passes.size(), 3u);
  ASSERT_EQ(paired.passes.size(), 2u) << "red and green cover the sector together; blue, a square, goes alone";
  EXPECT_TRUE(paired.passes[0].Paired());
  EXPECT_EQ(paired.passes[0].pairMaterial, 1);

  int passes = 0;
  const std::vector<std::uint8_t> reference = Draw(separate, true, passes);
  EXPECT_EQ(passes, 3);
  // Each pixel against the weights at its place, blended along x as the texture filter does.
  for (int py = 1; py < kSize - 1; py += 5)
    for (int px = 1; px < kSize - 1; px += 3) {
      const float x = (px + 0.5f) / 2, z = (py + 0.5f) / 2;
      const int x0 = static_cast<int>(x), z0 = static_cast<int>(z);
      // Off the blue square's soft edge, where the weights are linear in x.
      if (x0 >= 8 && x0 <= 21 && z0 >= 8 && z0 <= 21) continue;
      const float green = 200 * (x / kSectorCells);
      const std::uint8_t* p = &reference[static_cast<std::size_t>((py * kSize + px) * 4)];
      EXPECT_NEAR(p[0], 200 - green, 4) << px << ", " << py;
      EXPECT_NEAR(p[1], green, 4) << px << ", " << py;
      EXPECT_LE(p[2], 1) << px << ", " << py;
    }

  for (bool onePass : {true, false}) {
    const std::vector<std::uint8_t> shot = Draw(paired, onePass, passes);
    EXPECT_EQ(passes, onePass ? 2 : 3);
    int worst = 0;
    for (std::size_t i = 0; i < shot.size(); ++i)
      if (i % 4 != 3) worst = std::max(worst, std::abs(shot[i] - reference[i]));
    EXPECT_LE(worst, 3) << (onePass ? "one pass a pair" : "a pass a layer");
  }
}
