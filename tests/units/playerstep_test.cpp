// The player step the helicopter, the tank and the boat share: the aim cut at the first hill,
// the zoom range and camera target of each vehicle, the boat's swinging view, the unit under
// the cross-hair.
#include "units/playerstep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tests/units/unit_fixture.h"
#include "units/entity.h"

namespace {

// A world whose player's unit flies on the engine's controls and zoom, as in a game.
struct Cockpit {
  TTRVControlBlock controls;
  int zoom = -500;
  TTRVCockpit Lent() {
    TTRVCockpit c;
    c.controls = &controls;
    c.zoomAccumulator = &zoom;
    return c;
  }
};

TEST(PlayerStep, TheAimStopsAtTheFirstHillTheUnitCannotSeePast) {
  Cockpit engine;
  unittest::UnitWorld w(100, 2, true, true, engine.Lent());
  // A ridge 10 high across x = 15..17.
  for (int z = 0; z < 64; ++z)
    for (int x = 15; x <= 17; ++x) w.world->heightGrid.Set(x, z, 250);
  TTRVEntity& tank = w.Add(utTank, {10, 2.5f, 10}, true);
  struct Case {
    const char* name;
    TAffineVector aim;
    bool cut;
  };
  for (const Case& c : {Case{"along the ridge: the aim stays", {10, 2.2f, 30}, false},
                        Case{"past the ridge: cut before it", {30, 2.2f, 10}, true}}) {
    SCOPED_TRACE(c.name);
    engine.controls.aimPoint = TVector(c.aim, 1);
    StepPlayerCommon(tank, 0.02f);
    const TAffineVector aim(tank.controls.aimPoint);
    if (c.cut) {
      EXPECT_LT(aim.x, 15.0f);
      EXPECT_NEAR(aim.z, 10, 1e-3f) << "on the line to the point";
    } else {
      EXPECT_NEAR(VectorLength(aim - c.aim), 0, 1e-3f);
    }
    EXPECT_EQ(TAffineVector(engine.controls.aimPoint), c.aim) << "the engine's own point is left alone";
  }
}

TEST(PlayerStep, EachVehicleClampsTheZoomAndCarriesTheCameraTarget) {
  struct Case {
    const char* name;
    int type;
    int nearest, farthest;  // the zoom's range
    float height;           // of the camera target over the unit
  };
  const Case cases[] = {{"helicopter", utHeli, -200, -800, 0.5f},
                        {"tank", utTank, -300, -1000, 1.5f},
                        {"boat", utBoat, -300, -2000, 1.5f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Cockpit engine;
    unittest::UnitWorld w(100, 2, true, true, engine.Lent());
    TTRVEntity& unit = w.Add(c.type, {20, 3, 30}, true);
    unit.Direction.SetVector(1, 0, 0);
    engine.zoom = 0;
    StepPlayerCommon(unit, 0.02f);
    EXPECT_EQ(engine.zoom, c.nearest);
    engine.zoom = -100000;
    StepPlayerCommon(unit, 0.02f);
    EXPECT_EQ(engine.zoom, c.farthest);
    engine.zoom = (c.nearest + c.farthest) / 2;
    StepPlayerCommon(unit, 0.02f);
    EXPECT_EQ(engine.zoom, (c.nearest + c.farthest) / 2) << "inside the range it stays";
    const TAffineVector at = w.cameraTarget.AbsoluteAffinePosition();
    EXPECT_NEAR(VectorLength(at - (unit.AbsoluteAffinePosition() + TAffineVector(0, c.height, 0))), 0, 1e-4f);
  }
}

TEST(PlayerStep, TheHelicopterAndTankLookAlongTheirNoseTheBoatsViewSwingsWithTheMouse) {
  for (const int type : {utHeli, utTank, utBoat}) {
    SCOPED_TRACE(type);
    Cockpit engine;
    unittest::UnitWorld w(100, 2, true, true, engine.Lent());
    TTRVEntity& unit = w.Add(type, {20, 3, 30}, true);
    unit.Direction.SetVector(-1, 0, 0);
    engine.controls.steerX = 0.5f;  // the pointer left of the centre
    for (int i = 0; i < 10; ++i) StepPlayerCommon(unit, 0.1f);
    const TAffineVector d(w.cameraTarget.AbsoluteDirection());
    if (type != utBoat) {
      EXPECT_NEAR(VectorLength(d - TAffineVector(-1, 0, 0)), 0, 1e-4f);
      continue;
    }
    // Ten frames of -0.5 * 0.1 * 100 degrees: 50 degrees from +Z toward +X, whatever the bow.
    const float a = 50 * std::numbers::pi_v<float> / 180;
    EXPECT_NEAR(d.x, std::sin(a), 1e-3f);
    EXPECT_NEAR(d.z, std::cos(a), 1e-3f);
  }
}

TEST(PlayerStep, TheEyeIsLeftToTheCameraFollow) {
  for (const int type : {utHeli, utTank, utBoat}) {
    SCOPED_TRACE(type);
    TGLDummyCube eye;
    eye.Position.SetPoint(0, 0.5f, -1.5f);
    Cockpit engine;
    TTRVCockpit lent = engine.Lent();
    lent.cameraEye = &eye;
    unittest::UnitWorld w(100, 2, true, true, lent);
    TTRVEntity& unit = w.Add(type, {20, 3, 30}, true);
    engine.controls.steerY = 0.5f;
    StepPlayerCommon(unit, 0.1f);
    EXPECT_EQ(eye.Position.AsAffineVector(), TAffineVector(0, 0.5f, -1.5f));
  }
}

TEST(PlayerStep, TheUnitUnderTheCrossHairIsPicked) {
  Cockpit engine;
  unittest::UnitWorld w(100, 2, true, true, engine.Lent());
  TTRVEntity& player = w.Add(utHeli, {10, 7, 10}, true);
  TTRVEntity& onLine = w.Add(utTank, {10, 4.6f, 20}, false, 1);  // on the line to (10, 2.2, 30)
  TTRVEntity& aside = w.Add(utTank, {30, 2, 10}, false, 1);
  for (TTRVEntity* u : {&player, &onLine, &aside}) u->isFar = 0;  // as after a first frame
  struct Case {
    const char* name;
    TAffineVector aim;
    const TTRVEntity* picked;
  };
  for (const Case& c : {Case{"the one on the line", {10, 2.2f, 30}, &onLine},
                        Case{"the other, aimed at", {30, 2.2f, 10}, &aside},
                        Case{"nobody near the line", {-20, 2.2f, 10}, nullptr}}) {
    SCOPED_TRACE(c.name);
    engine.controls.aimPoint = TVector(c.aim, 1);
    StepPlayerCommon(player, 0.02f);
    EXPECT_EQ(player.target, c.picked);
  }
}

}  // namespace
