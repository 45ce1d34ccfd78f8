// The HUD drawn with the forged HUD theme over a plain scene at 800 x 600 and read back: the
// mini-map and its frame in the bottom-right corner, markers on the map, the cursor with its
// weapons, the side bars along the bottom. The picture is kept as hud.bmp in MORVANE_SHOTS
// (a folder), else in /tmp, for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/bitmap.h"
#include "platform/paths.h"
#include "scene/quadrics.h"
#include "tests/hud/hud_fixture.h"
#include "tests/support/pixels.h"
#include "tests/support/window_fixture.h"
#include "units/entity.h"
#include "world/world.h"

namespace {

// No strike ring is asked for where these cases look; the game decides the point.
const TAffineVector kNoStrike(0, 0, 0);

namespace fs = std::filesystem;
using testpixels::At;
using testpixels::Rgb;

constexpr int kW = 800, kH = 600;
constexpr Rgb kSky{0, 0, 64};

// An island picture for the map: sea blue round a green square with a road across it.
void AddMapPicture(TTRVWorld& world) {
  platform::Bitmap image(64, 64, 24);
  image.FillRect(0, 0, 64, 64, platform::MakeColor(30, 60, 140));
  image.FillRect(8, 8, 56, 56, platform::MakeColor(60, 150, 60));
  image.FillRect(8, 30, 56, 34, platform::MakeColor(200, 190, 150));
  TGLLibMaterial* lib = world.hudMaterials.AddTextureMaterial("HUDMap", image);
  lib->Material.MaterialOptions = moNoLighting;
  UseCutOutPicture(lib->Material, bmTransparency);
}

bool Differs(Rgb a, Rgb b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 30; }

class HudWindowTest : public testwindow::SceneWindowTest {
 protected:
  HudWindowTest() : SceneWindowTest(kW, kH, 500) {}
};

TEST_F(HudWindowTest, TheHudDrawsOverThePlainScene) {
  const fs::path forged = platform::ProgramFolder().parent_path() / "game" / "themes" / "HUD.TRV";
  if (!fs::is_regular_file(forged)) GTEST_SKIP() << forged << " missing; build the game-data target";

  TGLCamera* camera = camera_;
  camera->Position.SetPoint(32, 30, 0);

  hudtest::HudOptions options;
  options.theme = false;
  options.scene = &scene_;
  options.camera = camera;
  options.width = kW;
  options.height = kH;
  // The HUD reads the forged theme; the rest of the world stays the unit tests' island.
  hudtest::HudWorld f(options);
  TTRVWorld& world = f.World();
  fs::copy_file(forged, world.Context().programFolder / "themes" / "HUD.TRV", fs::copy_options::overwrite_existing);
  f.hud->Free();
  f.hud = world.worldRoot->AddNewChild<TTRVHUD>(world);
  ASSERT_TRUE(f.hud->themeError.empty()) << f.hud->themeError;
  AddMapPicture(world);
  world.hudVisible = true;

  camera->TargetObject = &f.units.cameraTarget;

  f.units.cameraTarget.Position.SetPoint(32, 0, 32);
  TTRVEntity& player = f.Add(utTank, {32, 2, 32}, 0, true);
  f.Add(utTank, {36, 2, 38}, 0);
  TTRVEntity& enemy = f.Add(utTank, {26, 2, 42}, 1);
  f.Add(utHeli, {40, 9, 44}, 1);
  f.Add(utTurret, {22, 2, 24}, 1);
  world.sides[1].basePosition = {22, 0, 26};
  world.sides[1].victoryLosses = {1, 2, -1, 1};
  world.airStrikeTimer = -1;
  f.timeAccel = true;
  player.target = &enemy;
  f.mouseX = 300;
  f.mouseY = 250;
  f.hud->BuildMarkers();
  f.hud->Layout(true);

  TTRVHUDReadout r;
  r.unit = &player;
  r.machineGun = TTRVHUDReadout::Selected;
  r.gun = TTRVHUDReadout::Available;
  r.rockets = TTRVHUDReadout::Available;
  r.machineGunReady = 1;
  r.gunReady = 0.5f;
  r.rocketReady = 1;
  f.hud->UpdateHUD(r, kNoStrike);
  f.Progress(1.0f);  // bars faded in to half
  f.hud->UpdateHUD(r, kNoStrike);

  platform::Bitmap shot = viewer_->CreateSnapshotBitmap();
  std::string error;
  const char* dir = std::getenv("MORVANE_SHOTS");
  shot.SaveBmp(std::string(dir ? dir : "/tmp") + "/hud.bmp", error);
  ASSERT_EQ(shot.Width(), kW);

  // The map's centre shows the island picture, not the sky behind it.
  const float mx = f.hud->mapSprite->Position.X(), my = f.hud->mapSprite->Position.Y();
  EXPECT_TRUE(Differs(At(shot, static_cast<int>(mx) + 20, static_cast<int>(my) + 20), kSky));
  // The player's own marker covers the map's centre.
  EXPECT_TRUE(Differs(At(shot, static_cast<int>(mx), static_cast<int>(my)), At(shot, static_cast<int>(mx) + 20, static_cast<int>(my) + 20)));
  // The frame round it, on the upper-left of the ring.
  const float ring = f.hud->mapSprite->Width * 0.6f;
  EXPECT_TRUE(Differs(At(shot, static_cast<int>(mx - ring * 0.7071f), static_cast<int>(my - ring * 0.7071f)), kSky));
  // Sky well away from everything.
  EXPECT_TRUE(testpixels::NearRgb(At(shot, 400, 20), kSky, 8));
  // The machine-gun icon under the cursor, and the gun's half bar in red.
  EXPECT_TRUE(Differs(At(shot, 300, 250 + 20), kSky));
  const Rgb gunBar = At(shot, 300 - 16 - 2, 250 + 20 + 8);
  EXPECT_GT(gunBar.r, 200);
  EXPECT_LT(gunBar.g, 60);
}

}  // namespace
