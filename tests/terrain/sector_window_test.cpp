// Sectors drawn for real: the bake's picture holds the sector's ground and water and nothing
// standing over it; the coarse levels wear that picture on screen.
#include <gtest/gtest.h>

#include "tests/support/pixels.h"
#include "tests/support/window_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/bitmap.h"
#include "platform/window.h"
#include "scene/quadrics.h"
#include "scene/viewer.h"
#include "terrain/sector.h"
#include "terrain/sectorbake.h"
#include "terrain/sectorstream.h"
#include "tests/world/world_fixture.h"

namespace {

using namespace worldtest;

using testpixels::At;
using testpixels::Of;
using testpixels::Rgb;

::testing::AssertionResult Near(Rgb got, Rgb want, int tolerance = 10) {
  return testpixels::NearRgb(got, want, tolerance);
}

constexpr Rgb kGrass{60, 170, 60};
// Ground layers, like the sea, are modulated by their material's white-grey diffuse (0.8).
constexpr Rgb kGrassDrawn{48, 136, 48};
constexpr Rgb kSea{20, 40, 200};

std::vector<std::uint8_t> SolidBmp(Rgb c) {
  platform::Bitmap b(8, 8, 24);
  b.FillRect(0, 0, 8, 8, platform::MakeColor(c.r, c.g, c.b));
  return b.EncodeBmp();
}

// A ground material of the colour over every height and, when asked, a material painting the
// class in its own colour.
struct Painter {
  std::uint8_t terrainClass;
  Rgb colour;
};
void WriteColourTheme(const ProgramFolder& folder, Rgb groundColour, std::optional<Painter> painter) {
  TTRVThemeFileData d;
  d.themeName = "Basic";
  TTRVMaterialRecord ground;
  ground.materialName = "Grass";
  ground.heightLayer = 1;
  ground.bandLow = 0;
  ground.bandPeak = 1;
  ground.bandHigh = 255;
  ground.bmp = SolidBmp(groundColour);
  d.materials.push_back(ground);
  if (painter) {
    TTRVMaterialRecord paint;
    paint.materialName = "Paint";
    paint.heightLayer = 1;
    paint.paintsClass = painter->terrainClass;
    paint.bmp = SolidBmp(painter->colour);
    d.materials.push_back(paint);
  }
  const std::vector<std::uint8_t> bytes = WriteThemeFile(d);
  FILE* f = std::fopen((folder.Path() / "themes" / "Basic.TRV").c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// A ground material over every height and, when asked, a sea painter.
void WriteColourTheme(const ProgramFolder& folder, bool withSea) {
  WriteColourTheme(folder, kGrass, withSea ? std::optional<Painter>(Painter{tcSea, kSea}) : std::nullopt);
}

class SectorWindow : public testwindow::SceneWindowTest {
 protected:
  SectorWindow() : SceneWindowTest(320, 240, 500) {}
  void SetUp() override {
    SceneWindowTest::SetUp();
    if (IsSkipped()) return;
    viewer_->Buffer.BackgroundColor = 0;
  }
  void TearDown() override {
    world_.reset();
    SceneWindowTest::TearDown();
  }

  // Sector (1, 1): land on the cells with local x below 16, sea beyond.
  void LoadHalfIsland(bool withSea, bool procedural = true) {
    WriteColourTheme(folder_, withSea);
    Island island(4, 4);
    island.Fill(32, 32, 48, 65, tcOpenGround, 50);
    island.Save(folder_.Path(), "Half");
    TTRVWorldContext c = Context(folder_, &scene_);
    c.settings.ViewDistance = 1;
    c.settings.ProceduralGroundTextures = procedural;
    c.camera = camera_;
    std::string error;
    world_ = CreateLoadedWorld(c, "Half", true, nullptr, error);
    ASSERT_TRUE(world_) << error;
    PrepareSectors(*world_);
    sector_ = GetOrCreateSector(*world_, 1, 1);
    ASSERT_NE(sector_, nullptr);
  }

  ProgramFolder folder_;
  std::unique_ptr<TTRVWorld> world_;
  TTRVSector* sector_ = nullptr;
};

TEST_F(SectorWindow, TheBakeShowsTheGroundAndWaterNotAUnitStandingOverIt) {
  LoadHalfIsland(true);
  // A red unit hovering over the land half, and grass-like clutter the bake must not see.
  auto* side = world_->sideRoot->AddNewChild<TGLDummyCube>();
  auto* unit = side->AddNewChild<TGLSphere>();
  unit->Radius = 6;
  unit->Position.SetPoint(40, 8, 48);
  unit->Material.MaterialOptions = moNoLighting;
  unit->Material.FrontProperties.Diffuse.SetColor(1, 0, 0);

  ASSERT_EQ(BakePendingSectors(*world_), 1);
  const platform::Bitmap top = world_->bakeViewer->CaptureBitmap();
  ASSERT_EQ(top.Width(), 64);
  // Seen from above with +Z up the picture, +X runs to the left: local x 8 is at column 48.
  EXPECT_TRUE(Near(At(top, 48, 32), kGrassDrawn)) << "under the unit";
  EXPECT_TRUE(Near(At(top, 60, 5), kGrassDrawn));
  // The sea material is modulated by its white-grey diffuse (0.8).
  EXPECT_TRUE(Near(At(top, 12, 32), {16, 32, 160}));
  const TGLLibMaterial* baked = world_->materialLibrary.GetLibMaterialByName("D@1@1");
  ASSERT_NE(baked, nullptr);
  EXPECT_NE(baked->Material.Texture.Handle(), 0u);
  EXPECT_EQ(baked->Material.MaterialOptions, moNoLighting);
  EXPECT_EQ(baked->Material.Texture.TextureMode, tmDecal);
}

TEST_F(SectorWindow, WithoutASeaMaterialWaterIsThePlainDefault) {
  LoadHalfIsland(false);
  ASSERT_FALSE(world_->seaMaterial.Valid());
  ASSERT_EQ(BakePendingSectors(*world_), 1);
  const platform::Bitmap top = world_->bakeViewer->CaptureBitmap();
  EXPECT_TRUE(Near(At(top, 12, 32), {31, 64, 115}));
  EXPECT_TRUE(Near(At(top, 48, 32), kGrassDrawn));
}

TEST_F(SectorWindow, EveryLevelShowsTheGroundOnScreen) {
  for (bool procedural : {true, false}) {
    SCOPED_TRACE(procedural ? "painted full detail" : "baked full detail");
    LoadHalfIsland(true, procedural);
    BakePendingSectors(*world_);
    // Looking straight down at the land half of the sector from 30 above.
    camera_->Position.SetPoint(40, 30, 48);
    camera_->Up.SetVector(0, 0, 1);
    camera_->Direction.SetVector(0, -1, 0);
    for (int level : {0, 1, 2, 3}) {
      sector_->SetDetailLevel(level);
      const platform::Bitmap shot = viewer_->CreateSnapshotBitmap();
      EXPECT_TRUE(Near(At(shot, 160, 120), kGrassDrawn)) << "level " << level;
    }
    // Over the sea half the water shows, at full detail and as the flat plane of the coarse
    // levels (near enough: the sector's corner within 40 of the camera).
    camera_->Position.SetPoint(58, 20, 48);
    for (int level : {0, 2}) {
      sector_->SetDetailLevel(level);
      const platform::Bitmap shot = viewer_->CreateSnapshotBitmap();
      EXPECT_TRUE(Near(At(shot, 160, 120), {16, 32, 160}, 24)) << "level " << level;
    }
    world_.reset();
    camera_->Up.SetVector(0, 1, 0);
    camera_->Direction.SetVector(0, 0, 1);
  }
}

// Two layers meeting on flat ground: red grass everywhere, a blue road painted over the half
// of sector (1, 1) with local x below 16.
class TwoLayers : public SectorWindow {
 protected:
  void Load() {
    WriteColourTheme(folder_, {220, 0, 0}, Painter{tcRoad, {0, 0, 220}});
    Island island(4, 4);
    island.Fill(32, 32, 48, 65, tcRoad, 50);
    island.Fill(48, 32, 65, 65, tcOpenGround, 50);
    island.Save(folder_.Path(), "Road");
    TTRVWorldContext c = Context(folder_, &scene_);
    c.settings.ViewDistance = 1;
    c.camera = camera_;
    std::string error;
    world_ = CreateLoadedWorld(c, "Road", true, nullptr, error);
    ASSERT_TRUE(world_) << error;
    PrepareSectors(*world_);
    sector_ = GetOrCreateSector(*world_, 1, 1);
    ASSERT_NE(sector_, nullptr);
    // Straight down over the edge of the road, at world x = 47 .. 48.
    camera_->Position.SetPoint(48, 12, 48);
    camera_->Up.SetVector(0, 0, 1);
    camera_->Direction.SetVector(0, -1, 0);
  }
};

TEST_F(TwoLayers, WhereTheirWeightsMeetTheLayersSumToTheBlend) {
  Load();
  // The road covers half the sector: the grass takes it into its own pass.
  ASSERT_EQ(sector_->GroundLayers().passes.size(), 1u);
  EXPECT_TRUE(sector_->GroundLayers().passes[0].Paired());
  const platform::Bitmap shot = viewer_->CreateSnapshotBitmap();
  EXPECT_EQ(sector_->groundPasses, 1);
  // Both materials are modulated by their white-grey diffuse (0.8): red and blue together
  // always make 176, whatever their shares, on the road, on the open ground and between.
  int reds = 0, blues = 0;
  for (int x = 40; x < 280; ++x) {
    const Rgb c = At(shot, x, 120);
    ASSERT_NEAR(c.r + c.b, 176, 6) << "column " << x << ": (" << c.r << ", " << c.g << ", " << c.b << ")";
    ASSERT_LE(c.g, 2);
    if (c.r > 170) ++reds;
    if (c.b > 140) ++blues;
  }
  // +X runs to the left: open ground (all grass) there, the road (a little grass in it) right.
  EXPECT_TRUE(Near(At(shot, 40, 120), {176, 0, 0}, 4));
  EXPECT_TRUE(Near(At(shot, 279, 120), {29, 0, 147}, 4));
  EXPECT_GT(reds, 20);
  EXPECT_GT(blues, 20);
}

TEST_F(TwoLayers, FogCoversTheLayersOnce) {
  Load();
  viewer_->Buffer.FogEnable = true;
  viewer_->Buffer.FogEnvironment.FogColor.SetColor(0.25f, 0.25f, 0.25f);
  viewer_->Buffer.FogEnvironment.FogStart = 0;
  viewer_->Buffer.FogEnvironment.FogEnd = 1;
  const platform::Bitmap shot = viewer_->CreateSnapshotBitmap();
  for (int x : {40, 160, 279}) EXPECT_TRUE(Near(At(shot, x, 120), {64, 64, 64}, 3)) << "column " << x;
}

TEST_F(SectorWindow, ASectorOutOfViewDrawsNothing) {
  LoadHalfIsland(true);
  BakePendingSectors(*world_);
  sector_->SetDetailLevel(1);
  camera_->Position.SetPoint(40, 100, 48);
  camera_->Up.SetVector(0, 0, 1);
  camera_->Direction.SetVector(0, 1, 0);  // looking up, away from the ground
  viewer_->CreateSnapshotBitmap();
  EXPECT_FALSE(sector_->inView);
  EXPECT_FALSE(sector_->detailRoot->Visible);
  camera_->Direction.SetVector(0, -1, 0);
  viewer_->CreateSnapshotBitmap();
  EXPECT_TRUE(sector_->inView);
}

}  // namespace
