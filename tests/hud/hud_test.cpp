// The HUD as the player sees it, without a window: sizes and places, cursors and markers,
// reload bars, the mini-map's markers, zoom and drags, the side bars, the mission shield and
// the side-coloured icons.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <functional>
#include <utility>

#include "platform/bitmap.h"
#include "tests/hud/hud_fixture.h"
#include "units/entity.h"
#include "world/world.h"

namespace {

// No strike ring is asked for where these cases look; the game decides the point.
const TAffineVector kNoStrike(0, 0, 0);

using hudtest::HudOptions;
using hudtest::HudWorld;

std::string MaterialOf(const TGLHUDSprite& sprite) { return sprite.Material.LibMaterialName; }

TTRVHUDReadout Readout(TTRVEntity& unit) {
  TTRVHUDReadout r;
  r.unit = &unit;
  r.machineGun = TTRVHUDReadout::Selected;
  r.gun = TTRVHUDReadout::Available;
  r.rockets = TTRVHUDReadout::Available;
  r.machineGunReady = r.gunReady = r.rocketReady = 1;
  return r;
}

// --- Build and layout ---

TEST(HudLayout, At800PixelsIconsAre16AndEverythingFollows) {
  HudWorld f;
  TTRVEntity& player = f.Add(utHeli, {10, 7, 10}, 0, true);
  f.hud->Layout(true);
  f.hud->UpdateHUD(Readout(player), kNoStrike);
  EXPECT_EQ(f.hud->IconSize(), 16);
  EXPECT_EQ(f.hud->cursor->Width, 32);
  EXPECT_EQ(f.hud->targetMarker->Width, 32);
  for (TGLHUDSprite* icon : {f.hud->mgIcon, f.hud->gunIcon, f.hud->rocketIcon}) EXPECT_EQ(icon->Width, 8);
  for (TGLHUDSprite* bar : {f.hud->mgBar, f.hud->gunBar, f.hud->rocketBar}) EXPECT_NEAR(bar->Height, 2.67f, 0.01f);
  EXPECT_EQ(f.hud->timeAccelSign->Position.X(), 80);
  EXPECT_EQ(f.hud->strikeReadySign->Position.X(), 32);
}

TEST(HudLayout, TheMapSitsInTheBottomRightCornerAndItsScaleFollowsTheNewSize) {
  HudWorld f;
  f.mapSize = 0.3f;
  f.mapZoom = 2;
  f.hud->Layout(false);
  const TGLHUDSprite& map = *f.hud->mapSprite;
  EXPECT_FLOAT_EQ(map.Width, 240);
  EXPECT_FLOAT_EQ(map.Position.X() + map.Width / 2, 800);
  EXPECT_FLOAT_EQ(map.Position.Y() + map.Height / 2, 600);
  EXPECT_FLOAT_EQ(f.hud->mapScale, 240.0f / 64 * 2);  // from the new width, not the 160 before
  EXPECT_NEAR(f.hud->maskSprite->Width, 240 * 1.418f, 1e-3f);
  EXPECT_EQ(f.hud->armourGauge->Position.X(), map.Position.X());
}

TEST(HudLayout, ZoomAndSizeAreClamped) {
  struct Case { float zoom, size, wantZoom, wantSize; };
  const Case cases[] = {
      {10, 1, 3, 0.39f},
      {0.1f, 0, 0.5f, 0.05f},
      {NAN, NAN, 1, 0.2f},  // a broken value starts over rather than spreading
      {1.5f, 0.25f, 1.5f, 0.25f},
  };
  for (const Case& c : cases) {
    HudWorld f;
    f.mapZoom = c.zoom;
    f.mapSize = c.size;
    f.hud->Layout(false);
    EXPECT_FLOAT_EQ(f.mapZoom, c.wantZoom) << c.zoom;
    EXPECT_FLOAT_EQ(f.mapSize, c.wantSize) << c.size;
  }
}

TEST(HudBuild, StartsWithNothingMarkedAndSurvivesAMissingTheme) {
  HudOptions o;
  o.theme = false;
  HudWorld f(o);
  EXPECT_FALSE(f.hud->themeError.empty());
  EXPECT_FALSE(f.hud->Visible);  // until the game shows it
  EXPECT_FALSE(f.hud->targetMarker->Visible);
  EXPECT_FALSE(f.hud->strikeMarker->Visible);
  TTRVEntity& player = f.Add(utTank, {10, 2, 10}, 0, true);
  f.Add(utTank, {12, 2, 10}, 1).state.armour = 0;
  player.target = nullptr;
  f.hud->BuildMarkers();
  f.hud->Layout(true);
  f.Progress(0.02f);
  f.hud->UpdateHUD(Readout(player), kNoStrike);
  EXPECT_EQ(f.World().sides[0].aliveCounts[utTank], 1);
  EXPECT_EQ(f.hud->iconLibrary.Count(), 0);  // no coloured icons: the markers show no texture
  f.World().hudVisible = true;
  f.Progress(0.02f);
  EXPECT_TRUE(f.hud->Visible);
}

// --- Cursor, target marker, weapons ---

TEST(HudTarget, FriendSteadyEnemyPulsing) {
  TGLCamera camera;  // at the origin, looking along +Z at them all
  HudOptions o;
  o.camera = &camera;
  HudWorld f(o);
  TTRVEntity& player = f.Add(utHeli, {10, 7, 10}, 0, true);
  TTRVEntity& friendly = f.Add(utTank, {14, 2, 10}, 0);
  TTRVEntity& enemy = f.Add(utTank, {20, 2, 16}, 1);
  f.hud->BuildMarkers();
  player.controls.aimPoint = TVector(1, 2, 3, 1);

  auto sizesAtTwoPhases = [&](std::string& cursor, std::string& marker) {
    float sizes[2];
    for (int i = 0; i < 2; ++i) {
      f.World().wavePhaseA = i == 0 ? 0.0f : 0.08f;
      f.hud->UpdateHUD(Readout(player), kNoStrike);
      sizes[i] = f.hud->targetMarker->Width;
    }
    cursor = MaterialOf(*f.hud->cursor);
    marker = MaterialOf(*f.hud->targetMarker);
    return std::pair(sizes[0], sizes[1]);
  };
  std::string cursor, marker;

  player.target = &friendly;
  auto [a, b] = sizesAtTwoPhases(cursor, marker);
  EXPECT_EQ(cursor, "HUDcursorNoFire");
  EXPECT_EQ(marker, "HUDtargetNoFire0");
  EXPECT_EQ(a, 32);
  EXPECT_EQ(b, 32);
  EXPECT_TRUE(f.hud->targetMarker->Visible);
  EXPECT_EQ(f.hud->targetUnit, &friendly);

  player.target = &enemy;
  auto [c, d] = sizesAtTwoPhases(cursor, marker);
  EXPECT_EQ(cursor, "HUDcursorFire");
  EXPECT_EQ(marker, "HUDtargetFire1");
  EXPECT_NE(c, d);
  EXPECT_NEAR(d, (0.2f * std::sin(20 * 0.08f) + 2) * 16, 1e-3f);

  player.target = nullptr;
  f.hud->UpdateHUD(Readout(player), kNoStrike);
  EXPECT_EQ(MaterialOf(*f.hud->cursor), "HUDcursorUnknownFire");
  EXPECT_FALSE(f.hud->targetMarker->Visible);
  EXPECT_EQ(f.hud->targetUnit, nullptr);
}

TEST(HudTarget, TheEnemyMarkerKeepsPulsingThroughTheAutoZoomAndTheMapDrags) {
  TGLCamera camera;
  HudOptions o;
  o.camera = &camera;
  o.autoZoom = true;  // the default: the zoom lays the HUD out again every step
  HudWorld f(o);
  TTRVEntity& player = f.Add(utHeli, {10, 7, 10}, 0, true);
  player.target = &f.Add(utTank, {20, 2, 16}, 1);
  f.hud->BuildMarkers();
  f.hud->Layout(true);
  f.Progress(0.1f);
  const float cx = f.hud->mapSprite->Position.X(), cy = f.hud->mapSprite->Position.Y();
  for (const bool dragging : {false, true}) {
    SCOPED_TRACE(dragging ? "dragging the map's zoom" : "pointer over the view");
    f.mouseX = dragging ? static_cast<int>(cx) : 300;
    f.mouseY = dragging ? static_cast<int>(cy) : 200;
    player.controls.secondary = dragging;
    player.controls.mouseDY = dragging ? -2 : 0;
    for (const float phase : {0.08f, 0.16f}) {
      f.World().wavePhaseA = phase;
      f.hud->UpdateHUD(Readout(player), kNoStrike);
      f.Progress(0.02f);
      EXPECT_NEAR(f.hud->targetMarker->Width, (0.2f * std::sin(20 * phase) + 2) * 16, 1e-3f) << "phase " << phase;
    }
  }
}

TEST(HudTarget, TheMarkerSitsOnTheTargetOnScreenAndHidesBehindTheEye) {
  TGLCamera camera;
  camera.FocalLength = 50;
  camera.DepthOfView = 500;
  camera.Position.SetPoint(0, 0, 0);  // looking along +Z
  HudOptions o;
  o.camera = &camera;
  HudWorld f(o);
  TTRVEntity& player = f.Add(utHeli, {0, 7, -20}, 0, true);
  TTRVEntity& enemy = f.Add(utTank, {0, 2, 30}, 1);
  player.target = &enemy;
  f.hud->UpdateHUD(Readout(player), kNoStrike);
  ASSERT_TRUE(f.hud->targetMarker->Visible);
  EXPECT_NEAR(f.hud->targetMarker->Position.X(), 400, 0.5f);  // straight ahead: the middle
  EXPECT_LT(f.hud->targetMarker->Position.Y(), 300);        // above the eye: upper half

  // Without a view there is no place for it.
  HudWorld blind;
  TTRVEntity& p2 = blind.Add(utHeli, {0, 7, -20}, 0, true);
  p2.target = &blind.Add(utTank, {0, 2, 30}, 1);
  blind.hud->UpdateHUD(Readout(p2), kNoStrike);
  EXPECT_FALSE(blind.hud->targetMarker->Visible);
  EXPECT_EQ(MaterialOf(*blind.hud->cursor), "HUDcursorFire");

  enemy.Position.SetPoint(0, 2, -30);
  f.hud->UpdateHUD(Readout(player), kNoStrike);
  EXPECT_FALSE(f.hud->targetMarker->Visible);
}

TEST(HudWeapons, ReloadBarsGrowFromTheLeftAndNeverPastFull) {
  struct Case { float ready; bool aimed; float wantWidth; float r, g, b; };
  const Case cases[] = {
      {0.5f, true, 4, 1, 0, 0},   // reloading: red
      {1.7f, true, 8, 0, 1, 0},   // past full: a full bar, green when aimed
      {1, false, 8, 1, 1, 0},     // loaded but not aimed: yellow
      {-1, true, 0, 1, 0, 0},     // nothing to draw
  };
  HudWorld f;
  TTRVEntity& player = f.Add(utHeli, {10, 7, 10}, 0, true);
  for (const Case& c : cases) {
    TTRVHUDReadout r = Readout(player);
    r.gunReady = c.ready;
    r.gunAimed = c.aimed;
    f.hud->UpdateHUD(r, kNoStrike);
    const TGLHUDSprite& bar = *f.hud->gunBar;
    EXPECT_FLOAT_EQ(bar.Width, c.wantWidth) << c.ready;
    // The left edge stays put: the icon's centre minus a quarter icon.
    EXPECT_FLOAT_EQ(bar.Position.X() - bar.Width / 2, f.hud->gunIcon->Position.X() - 4) << c.ready;
    const TGLColor& colour = bar.Material.FrontProperties.Diffuse;
    EXPECT_EQ(colour.Red, c.r) << c.ready;
    EXPECT_EQ(colour.Green, c.g) << c.ready;
    EXPECT_EQ(colour.Blue, c.b) << c.ready;
  }
  EXPECT_EQ(f.hud->gunIcon->Position.X(), f.hud->cursor->Position.X() - 16);
  EXPECT_EQ(f.hud->rocketIcon->Position.X(), f.hud->cursor->Position.X() + 16);
  EXPECT_EQ(MaterialOf(*f.hud->mgIcon), "HUDselectMachinegun");
  EXPECT_EQ(MaterialOf(*f.hud->gunIcon), "HUDiconGun");
}

TEST(HudWeapons, WithTheAirStrikeSelectedNoWeaponShowsAndTheRingDoes) {
  HudWorld f;
  TTRVEntity& player = f.Add(utHeli, {10, 7, 10}, 0, true);
  TTRVHUDReadout r = Readout(player);
  r.airStrikeSelected = true;
  f.hud->UpdateHUD(r, TAffineVector(30, 2, 40));
  for (TGLHUDSprite* s : {f.hud->mgIcon, f.hud->gunIcon, f.hud->rocketIcon, f.hud->mgBar, f.hud->gunBar, f.hud->rocketBar})
    EXPECT_FALSE(s->Visible);
  EXPECT_EQ(MaterialOf(*f.hud->cursor), "HUDArtillery");
  EXPECT_TRUE(f.hud->strikeMarker->Visible);
  EXPECT_EQ(f.hud->strikeMarker->Position.AsAffineVector(), TAffineVector(30, 2, 40)) << "the game's point, at once";

  r.airStrikeSelected = false;
  r.rockets = TTRVHUDReadout::Hidden;
  f.hud->UpdateHUD(r, kNoStrike);
  EXPECT_FALSE(f.hud->strikeMarker->Visible);
  EXPECT_TRUE(f.hud->mgIcon->Visible);
  EXPECT_FALSE(f.hud->rocketIcon->Visible);
  EXPECT_FALSE(f.hud->rocketBar->Visible);
}

TEST(HudArmour, TheGaugeTurnsWithArmourLeftAndAZeroDifficultyDividesByNothing) {
  struct Case { int difficulty; float armourShare; float wantRotation; };
  const Case cases[] = {
      {100, 1, 0},
      {100, 0.5f, 90},
      {100, 0, 180},
      {0, 1, 0},  // no full measure: alive shows full
  };
  for (const Case& c : cases) {
    HudOptions o;
    o.difficulty = c.difficulty;
    HudWorld f(o);
    TTRVEntity& player = f.Add(utTank, {10, 2, 10}, 0, true);
    const TTRVUnitTypeInfo& info = player.TypeInfo();
    const float full = static_cast<float>(c.difficulty) * info.baseArmour * info.playerArmourFactor;
    player.state.armour = full > 0 ? full * c.armourShare : 1;
    f.hud->UpdateHUD(Readout(player), kNoStrike);
    EXPECT_TRUE(std::isfinite(f.hud->armourGauge->Rotation));
    EXPECT_NEAR(f.hud->armourGauge->Rotation, c.wantRotation, 1e-3f) << c.difficulty << " " << c.armourShare;
  }
}

// --- Mini-map ---

TEST(HudMap, ADestroyedUnitLeavesTheMapAndTheCountAtOnce) {
  HudWorld f;
  f.Add(utHeli, {0, 7, 0}, 0, true);
  TTRVEntity& enemy = f.Add(utTank, {5, 2, 5}, 1);
  f.Add(utTank, {5, 2, 9}, 1);
  f.hud->BuildMarkers();
  f.Progress(0.02f);
  EXPECT_TRUE(f.Marker(1, 0).Visible);
  EXPECT_EQ(f.World().sides[1].aliveCounts[utTank], 2);

  enemy.state.armour = 0;
  f.Progress(0.02f);
  EXPECT_FALSE(f.Marker(1, 0).Visible);
  EXPECT_TRUE(f.Marker(1, 1).Visible);
  EXPECT_EQ(f.World().sides[1].aliveCounts[utTank], 1);
  EXPECT_EQ(f.World().sides[0].aliveCounts[utHeli], 1);
}

TEST(HudMap, MarkersSitWhereTheUnitsAreAndOnlyInsideTheCircle) {
  HudWorld f;
  f.hud->playerX = 0;
  f.hud->playerZ = 0;
  f.Add(utTank, {4, 2, 0}, 1);    // on the camera's left (+X seen looking along +Z)
  f.Add(utTank, {0, 2, 8}, 1);    // ahead
  f.Add(utTank, {0, 2, 40}, 1);   // 40 units: past the map's 32-unit radius
  f.hud->BuildMarkers();
  f.Progress(0.02f);
  const float cx = f.hud->mapSprite->Position.X(), cy = f.hud->mapSprite->Position.Y();
  const float scale = f.hud->mapScale;  // 160 / 64
  EXPECT_FLOAT_EQ(scale, 2.5f);
  EXPECT_NEAR(f.Marker(1, 0).Position.X(), cx - 4 * scale, 1e-3f);
  EXPECT_NEAR(f.Marker(1, 0).Position.Y(), cy, 1e-3f);
  EXPECT_NEAR(f.Marker(1, 1).Position.X(), cx, 1e-3f);
  EXPECT_NEAR(f.Marker(1, 1).Position.Y(), cy - 8 * scale, 1e-3f);
  EXPECT_FALSE(f.Marker(1, 2).Visible);
  EXPECT_EQ(f.World().sides[1].aliveCounts[utTank], 3);  // out of sight still counts
}

TEST(HudMap, ABaseShowsOnlyWhileItsSideHasTurrets) {
  HudWorld f;
  f.World().sides[1].basePosition = {6, 0, 6};
  TTRVEntity& turret = f.Add(utTurret, {6, 2, 6}, 1);
  f.hud->BuildMarkers();
  auto base = [&] { return f.hud->baseMarkerRoot->Children(1)->Visible; };
  f.Progress(0.02f);
  EXPECT_TRUE(base());
  EXPECT_FALSE(f.hud->baseMarkerRoot->Children(0)->Visible);  // side 0 has no turret at all
  turret.state.armour = 0;
  f.Progress(0.02f);
  EXPECT_FALSE(base());
}

TEST(HudMap, AutoZoomOutWithNoEnemyNearAndInWithSeveral) {
  HudOptions o;
  o.autoZoom = true;
  {
    HudWorld f(o);
    f.Add(utHeli, {0, 7, 0}, 0, true);
    f.Add(utTank, {0, 2, 60}, 1);  // far off the map
    f.hud->BuildMarkers();
    for (int i = 0; i < 2000; ++i) f.Progress(0.02f);  // 40 s at 0.05 a second: well past 0.5
    EXPECT_FLOAT_EQ(f.mapZoom, 0.5f);
  }
  {
    HudWorld f(o);
    f.Add(utTank, {3, 2, 3}, 1);
    f.Add(utTank, {3, 2, 6}, 1);
    f.hud->BuildMarkers();
    f.Progress(1);
    EXPECT_FLOAT_EQ(f.mapZoom, 1.05f);
  }
}

// Screen offset of a picture point turned as a HUD sprite turns its quad (Y down, the quad
// turned by -Rotation about the viewer's Z).
std::pair<float, float> Turned(float x, float y, float rotationDegrees) {
  const float a = -rotationDegrees * std::numbers::pi_v<float> / 180;
  return {x * std::cos(a) - y * std::sin(a), x * std::sin(a) + y * std::cos(a)};
}

TEST(HudMap, WithTheCameraTurnedTheMarkersTurnWithThePicture) {
  struct Case {
    const char* name;
    TAffineVector facing;
    float mapRotation;
  };
  const Case cases[] = {{"north (+Z)", {0, 0, 1}, 0},
                        {"east (+X)", {1, 0, 0}, -90},
                        {"west (-X)", {-1, 0, 0}, 90},
                        {"south (-Z)", {0, 0, -1}, -180}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HudWorld f;
    f.units.cameraTarget.Direction.SetVector(c.facing);
    TTRVEntity& player = f.Add(utHeli, {0, 7, 0}, 0, true);
    // Ahead of the camera, on its left (Up x Direction), and one at an odd offset.
    const TAffineVector left = VectorCrossProduct(TAffineVector(0, 1, 0), c.facing);
    const TAffineVector offsets[] = {c.facing * 8.0f, left * 4.0f, TAffineVector(5, 0, -3)};
    for (const TAffineVector& d : offsets) f.Add(utTank, d + TAffineVector(0, 2, 0), 1);
    // The first enemy faces the camera's way, the second the camera's right.
    f.hud->BuildMarkers();
    TTRVEntity& ahead = *static_cast<TTRVEntity*>(f.World().sideRoot->Children(1)->Children(0));
    TTRVEntity& onLeft = *static_cast<TTRVEntity*>(f.World().sideRoot->Children(1)->Children(1));
    ahead.Direction.SetVector(c.facing);
    onLeft.Direction.SetVector(-left);
    f.hud->UpdateHUD(Readout(player), kNoStrike);
    f.Progress(0.02f);

    EXPECT_NEAR(f.hud->mapSprite->Rotation, c.mapRotation, 1e-3f);
    const float cx = f.hud->mapSprite->Position.X(), cy = f.hud->mapSprite->Position.Y();
    const float scale = f.hud->mapScale;
    EXPECT_NEAR(f.Marker(1, 0).Position.X(), cx, 1e-3f) << "ahead is straight up";
    EXPECT_NEAR(f.Marker(1, 0).Position.Y(), cy - 8 * scale, 1e-3f);
    EXPECT_NEAR(f.Marker(1, 1).Position.X(), cx - 4 * scale, 1e-3f) << "left is left";
    EXPECT_NEAR(f.Marker(1, 1).Position.Y(), cy, 1e-3f);
    // Every marker lies on its unit's spot of the turned picture, which shows -X to the right
    // and +Z up before it turns.
    for (int k = 0; k < 3; ++k) {
      const TAffineVector& d = offsets[k];
      const auto [x, y] = Turned(-d.x * scale, -d.z * scale, f.hud->mapSprite->Rotation);
      EXPECT_NEAR(f.Marker(1, k).Position.X() - cx, x, 1e-3f) << "marker " << k;
      EXPECT_NEAR(f.Marker(1, k).Position.Y() - cy, y, 1e-3f) << "marker " << k;
    }
    // A unit's icon points the way it faces on the turned map: up along the camera, right
    // (the quad turned by -90) for the camera's right.
    EXPECT_NEAR(std::remainder(f.Marker(1, 0).Rotation, 360.0f), 0, 1e-3f);
    EXPECT_NEAR(std::remainder(f.Marker(1, 1).Rotation + 90, 360.0f), 0, 1e-3f);
  }
}

TEST(HudMap, ThePictureScrollsWithThePlayerAndZoomsAboutThem) {
  struct Case {
    const char* name;
    TAffineVector player;
    float zoom;
  };
  const Case cases[] = {{"near a corner, zoom 1", {10, 7, 50}, 1},
                        {"mid-island, zoomed in", {32, 7, 20}, 2},
                        {"zoomed out", {40, 7, 40}, 0.5f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HudWorld f;
    f.World().hudMaterials.AddTextureMaterial("HUDMap", platform::Bitmap(4, 4, 24));
    f.mapZoom = c.zoom;
    f.hud->Layout(true);
    TTRVEntity& player = f.Add(utHeli, c.player, 0, true);
    f.hud->UpdateHUD(Readout(player), kNoStrike);
    const TGLLibMaterial& map = *f.World().hudMaterials.GetLibMaterialByName("HUDMap");
    // The picture runs one texel per cell, X mirrored (u = 1 - x / width), Z upward.
    auto worldAt = [&](float s, float t) {
      const float u = map.TextureOffset.x + s * map.TextureScale.x, v = map.TextureOffset.y + t * map.TextureScale.y;
      return std::pair((1 - u) * f.World().mapWidth, v * f.World().mapHeight);
    };
    const auto [x, z] = worldAt(0.5f, 0.5f);
    EXPECT_NEAR(x, c.player.x, 1e-3f) << "the player is at the map's centre";
    EXPECT_NEAR(z, c.player.z, 1e-3f);
    // The edges lie as far off as the markers are placed: half the map's width in map pixels.
    const float reach = f.hud->mapSprite->Width / 2 / f.hud->mapScale;
    EXPECT_NEAR(reach, 32 / c.zoom, 1e-3f);
    EXPECT_NEAR(worldAt(1, 0.5f).first, c.player.x - reach, 1e-3f) << "the right edge is -X";
    EXPECT_NEAR(worldAt(0.5f, 1).second, c.player.z + reach, 1e-3f) << "the top edge is +Z";
  }
}

TEST(HudMap, RightDragInsideZoomsAndOnTheUpperLeftFrameResizes) {
  HudWorld f;
  TTRVEntity& player = f.Add(utHeli, {0, 7, 0}, 0, true);
  f.Progress(0.1f);  // the last frame time the drags use
  const float cx = f.hud->mapSprite->Position.X(), cy = f.hud->mapSprite->Position.Y();  // 720, 520

  // Over the map: the magnifier, no weapons; holding the button drags the zoom.
  f.mouseX = static_cast<int>(cx);
  f.mouseY = static_cast<int>(cy);
  f.hud->UpdateHUD(Readout(player), kNoStrike);
  EXPECT_EQ(MaterialOf(*f.hud->cursor), "HUDmagnifier");
  EXPECT_FALSE(f.hud->mgIcon->Visible);
  player.controls.secondary = true;
  player.controls.mouseDY = -10;
  f.hud->UpdateHUD(Readout(player), kNoStrike);
  EXPECT_TRUE(f.hud->magnifying);
  EXPECT_FLOAT_EQ(f.mapZoom, 1.5f);  // 1 + 0.1 * 10 * 0.5
  player.controls.secondary = false;
  f.hud->UpdateHUD(Readout(player), kNoStrike);
  EXPECT_FALSE(f.hud->magnifying);

  // On the frame ring up and left of the centre: resize, to where the pointer is dragged.
  f.mouseX = static_cast<int>(cx - 70);
  f.mouseY = static_cast<int>(cy - 70);  // 99 px out: past the map (80), inside the frame (113)
  f.hud->UpdateHUD(Readout(player), kNoStrike);
  EXPECT_EQ(MaterialOf(*f.hud->cursor), "HUDresize");
  player.controls.secondary = true;
  f.hud->UpdateHUD(Readout(player), kNoStrike);
  EXPECT_TRUE(f.hud->resizing);
  f.mouseX = 600;
  f.mouseY = 400;
  f.hud->UpdateHUD(Readout(player), kNoStrike);
  EXPECT_NEAR(f.mapSize, std::hypot(200.0f, 200.0f) * 0.75f / 800, 1e-5f);
  EXPECT_FLOAT_EQ(f.hud->mapSprite->Width, 800 * f.mapSize);

  // The lower-right part of the ring lies off the screen and does nothing.
  player.controls.secondary = false;
  f.hud->UpdateHUD(Readout(player), kNoStrike);
  const float ncx = f.hud->mapSprite->Position.X(), ncy = f.hud->mapSprite->Position.Y();
  f.mouseX = static_cast<int>(ncx + f.hud->mapSprite->Width / 2 + 5);
  f.mouseY = static_cast<int>(ncy);
  f.hud->UpdateHUD(Readout(player), kNoStrike);
  EXPECT_EQ(MaterialOf(*f.hud->cursor), "HUDcursorUnknownFire");
}

TEST(HudSettings, ChangedOptionsTakeEffectOnTheNextStepButTheArmourKeepsItsDifficulty) {
  HudWorld f;
  TTRVEntity& player = f.Add(utHeli, {0, 7, 0}, 0, true);
  f.Add(utTank, {0, 2, 60}, 1);  // off the map: the auto zoom would zoom out
  f.hud->BuildMarkers();
  f.hud->Layout(true);
  f.Progress(1);
  EXPECT_FLOAT_EQ(f.mapZoom, 1) << "auto zoom off at the start";

  f.settings.AutoZoom = true;
  f.Progress(1);
  EXPECT_FLOAT_EQ(f.mapZoom, 0.95f);

  f.settings.ResolutionX = 1024;
  f.settings.ResolutionY = 768;
  f.Progress(0.02f);
  EXPECT_EQ(f.hud->IconSize(), 20);
  const float width = 1024 * f.mapSize;
  EXPECT_FLOAT_EQ(f.hud->mapSprite->Width, width);
  EXPECT_FLOAT_EQ(f.hud->mapSprite->Position.X(), 1024 - width / 2);
  EXPECT_FLOAT_EQ(f.hud->mapSprite->Position.Y(), 768 - width / 2);
  EXPECT_FLOAT_EQ(f.Bar(0, utTurret).Position.Y(), 768 - 5 - 20 / 4.0f) << "the bars too";

  // The armour was given with the start's Difficulty; a new one must not misread it.
  f.settings.Difficulty = 200;
  f.hud->UpdateHUD(Readout(player), kNoStrike);
  EXPECT_FLOAT_EQ(f.hud->armourGauge->Rotation, 0) << "a full gauge, not a half one";
}

// --- Side bars and shield ---

TEST(HudBars, TwentyTanksOfWhichFifteenMustDieShrinkPerKillAndVanish) {
  HudWorld f;
  std::vector<TTRVEntity*> tanks;
  for (int i = 0; i < 20; ++i) tanks.push_back(&f.Add(utTank, {float(i % 5) * 2, 2, float(i / 5) * 2}, 1));
  f.World().sides[1].victoryLosses[utTank] = 15;
  for (int i = 0; i < 3; ++i) f.Add(utTank, {float(i) * 2, 2, 20}, 0);
  f.World().sides[0].victoryLosses[utTank] = 15;  // the first side's never shows
  f.hud->BuildMarkers();
  f.hud->Layout(true);
  f.Progress(0.02f);
  EXPECT_FALSE(f.hud->barMode);  // the losses display comes first
  EXPECT_FLOAT_EQ(f.Bar(1, utTank).Width, 15 * 8);
  EXPECT_TRUE(f.Bar(1, utTank).Visible);
  EXPECT_FALSE(f.Bar(0, utTank).Visible);
  EXPECT_EQ(MaterialOf(*static_cast<TGLHUDSprite*>(f.hud->legendRoot->Children(4 + utTank))), "HUDkills");
  for (int killed = 1; killed <= 15; ++killed) {
    tanks[static_cast<std::size_t>(killed - 1)]->state.armour = 0;
    f.Progress(0.02f);
    EXPECT_FLOAT_EQ(f.Bar(1, utTank).Width, (15 - killed) * 8) << killed;
  }
  EXPECT_FALSE(f.Bar(1, utTank).Visible);
  EXPECT_FALSE(f.hud->legendRoot->Children(4 + utTank)->Visible);
}

TEST(HudBars, UnitCountsShareTheStripAndATypeNobodyHasIsHidden) {
  HudWorld f;
  f.Add(utTank, {0, 2, 0}, 0, true);
  f.Add(utTank, {2, 2, 0}, 1);
  f.Add(utTank, {4, 2, 0}, 1);
  f.hud->BuildMarkers();
  f.hud->Layout(true);
  f.Progress(5.5f);  // past the first period ...
  f.Progress(0.01f);  // ... the display flips to unit counts
  ASSERT_TRUE(f.hud->barMode);
  const float strip = 800 / 2 - 2 * 16 + 3;
  EXPECT_FLOAT_EQ(f.Bar(0, utTank).Width, strip / 3);
  EXPECT_FLOAT_EQ(f.Bar(1, utTank).Width, strip * 2 / 3);
  // Continuous: the second starts where the first ends, the first beside the legend.
  EXPECT_FLOAT_EQ(f.Bar(0, utTank).Position.X() - f.Bar(0, utTank).Width / 2, 2 * 16 + 5);
  EXPECT_NEAR(f.Bar(1, utTank).Position.X() - f.Bar(1, utTank).Width / 2,
              f.Bar(0, utTank).Position.X() + f.Bar(0, utTank).Width / 2, 1e-3f);
  EXPECT_FALSE(f.Bar(0, utBoat).Visible);
  EXPECT_FALSE(f.Bar(1, utBoat).Visible);
  EXPECT_FALSE(f.hud->legendRoot->Children(4 + utBoat)->Visible);
  EXPECT_EQ(f.Bar(0, utTank).Position.Y(), 600 - 5 - 4 - 2 * (5 + 8));  // two rows above the turrets'
  f.Progress(0.2f);
  EXPECT_FLOAT_EQ(f.Bar(1, utTank).Material.FrontProperties.Diffuse.Alpha, 0.2f);  // fading in
}

TEST(HudShield, ShowsTheLossesLeftBeforeTheMissionFailsOfTheFirstSide) {
  HudWorld f;
  std::vector<TTRVEntity*> tanks;
  for (int i = 0; i < 4; ++i) tanks.push_back(&f.Add(utTank, {float(i) * 2, 2, 0}, 0));
  f.World().sides[0].survivalMinimum[utTank] = 2;
  f.World().sides[1].survivalMinimum[utHeli] = 9;  // another side's minimum is not the mission's
  f.World().playerSide = 1;  // nor is the player's side: the mission rules read the first
  f.hud->BuildMarkers();
  f.hud->Layout(true);
  auto visibleIcons = [&] {
    int n = 0;
    const TGLBaseSceneObject* group = f.hud->shieldSprite->Children(utTank);
    for (int k = 0; k < group->Count(); ++k) n += group->Children(k)->Visible ? 1 : 0;
    return n;
  };
  f.Progress(0.02f);
  EXPECT_TRUE(f.hud->shieldSprite->Visible);
  EXPECT_EQ(visibleIcons(), 3);  // 4 alive - 2 needed + 1
  EXPECT_EQ(f.hud->shieldSprite->Children(utHeli)->Count(), 0);
  tanks[0]->state.armour = 0;
  f.Progress(0.02f);
  EXPECT_EQ(visibleIcons(), 2);
  const TGLBaseSceneObject* group = f.hud->shieldSprite->Children(utTank);
  EXPECT_EQ(static_cast<TGLHUDSprite*>(group->Children(0))->Position.X(), f.hud->shieldSprite->Position.X() - 16);
  EXPECT_EQ(static_cast<TGLHUDSprite*>(group->Children(1))->Position.X(), f.hud->shieldSprite->Position.X() - 32);

  HudWorld plain;
  plain.hud->BuildMarkers();
  EXPECT_FALSE(plain.hud->shieldSprite->Visible);
}

TEST(HudSigns, TimeAccelerationAndAStrikeReady) {
  HudWorld f;
  f.Progress(0.02f);
  EXPECT_FALSE(f.hud->timeAccelSign->Visible);
  f.World().airStrikeTimer = 3;
  f.Progress(0.02f);
  EXPECT_FALSE(f.hud->strikeReadySign->Visible);
  f.timeAccel = true;
  f.World().airStrikeTimer = -1;
  f.Progress(0.02f);
  EXPECT_TRUE(f.hud->timeAccelSign->Visible);
  EXPECT_TRUE(f.hud->strikeReadySign->Visible);
}

// --- Side-coloured icons ---

TEST(HudSideIcons, NonBlackPixelsTakeTheSideColourAndObjectsAreNeverMaterials) {
  HudWorld f;
  ASSERT_TRUE(f.hud->LoadSideIcons(1, 0x000000FF));
  for (const char* name : {"IconHeli1", "IconTank1", "IconBoat1", "HUDtargetFire1", "HUDtargetNoFire1", "HUDBase1"})
    EXPECT_NE(f.hud->iconLibrary.GetLibMaterialByName(name), nullptr) << name;
  EXPECT_EQ(f.hud->iconLibrary.GetLibMaterialByName("IconTurret1"), nullptr);  // only an object has that name
  EXPECT_EQ(f.hud->iconLibrary.GetLibMaterialByName("HUDcursorFire1"), nullptr);

  const TGLMaterial& m = f.hud->iconLibrary.GetLibMaterialByName("IconTank1")->Material;
  EXPECT_EQ(m.BlendingMode, bmAlphaTest50);
  const std::vector<std::uint8_t> rgba = m.Texture.ImageWithAlpha();
  ASSERT_EQ(rgba.size(), 4u * 4 * 4);
  auto pixel = [&](int x, int y) { return &rgba[static_cast<std::size_t>((y * 4 + x) * 4)]; };
  EXPECT_EQ(pixel(1, 1)[0], 255);  // the white square, now red
  EXPECT_EQ(pixel(1, 1)[1], 0);
  EXPECT_EQ(pixel(1, 1)[3], 255);
  EXPECT_EQ(pixel(0, 0)[3], 0);    // the black border stays the cut-out

  // Loading again replaces, never duplicates; a black side stays visible.
  ASSERT_TRUE(f.hud->LoadSideIcons(1, 0));
  EXPECT_EQ(f.hud->iconLibrary.Count(), 6);
  EXPECT_EQ(f.hud->iconLibrary.GetLibMaterialByName("IconTank1")->Material.Texture.ImageWithAlpha()[(5 * 4) + 3], 255);
}

TEST(HudSideIcons, ABrokenOrForeignThemeFileAddsNothingAndNeverCrashes) {
  struct Case { const char* what; std::function<std::vector<std::uint8_t>()> bytes; bool ok; int icons; };
  const std::vector<std::uint8_t> good = WriteThemeFile(hudtest::SmallHudTheme());
  const Case cases[] = {
      {"wrong magic", [&] { auto b = good; b[0] = 'X'; return b; }, false, 0},
      {"empty", [] { return std::vector<std::uint8_t>{}; }, false, 0},
      // Cut inside the third material: the two complete ones before it still serve.
      {"truncated", [&] {
         TTRVThemeFileData two = hudtest::SmallHudTheme();
         two.materials.resize(2);
         auto b = WriteThemeFile(two);
         const auto cut = good.begin() + static_cast<long>(b.size());
         b.insert(b.end(), cut, cut + 40);
         return b;
       }, true, 2},
  };
  for (const Case& c : cases) {
    HudWorld f;
    hudtest::WriteBytes(f.World().Context().programFolder / "themes" / "HUD.TRV", c.bytes());
    EXPECT_EQ(f.hud->LoadSideIcons(0, 0x00FF00), c.ok) << c.what;
    EXPECT_EQ(f.hud->iconLibrary.Count(), c.icons) << c.what;
  }
  HudWorld missing;
  std::filesystem::remove(missing.World().Context().programFolder / "themes" / "HUD.TRV");
  EXPECT_FALSE(missing.hud->LoadSideIcons(0, 0x00FF00));
}

}  // namespace
