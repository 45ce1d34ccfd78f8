// The unit shared by the four types: what set-up gives each type, the rig its steps rely on,
// the near/far split around the camera target, the direction letters the steering reads, and
// the wreck rules common to every type.
#include "units/entity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "tests/units/recording_battlefield.h"
#include "tests/units/unit_fixture.h"
#include "platform/random.h"
#include "platform/paths.h"
#include "scene/proxy.h"
#include "world/weapons.h"

namespace {

using worldtest::ProgramFolder;

using unittest::UnitWorld;
using unittest::WriteUnitThemes;

TGLBaseSceneObject* At(TGLBaseSceneObject& root, const std::vector<int>& path) {
  TGLBaseSceneObject* node = &root;
  for (int i : path) {
    if (!node || i >= node->Count()) return nullptr;
    node = node->Children(i);
  }
  return node;
}

void ExpectNear(const TAffineVector& got, const TAffineVector& want, const char* what) {
  EXPECT_NEAR(got.x, want.x, 1e-4f) << what;
  EXPECT_NEAR(got.y, want.y, 1e-4f) << what;
  EXPECT_NEAR(got.z, want.z, 1e-4f) << what;
}

TEST(UnitSetup, ArmourWeaponsAndHeightOfANewUnit) {
  struct Case {
    int type;
    bool player;
    int difficulty;
    float armour;
    float height;  // the ground is at 2
  } cases[] = {
      {utHeli, true, 350, 11375, 4},   // 50 x 350 x 0.65
      {utHeli, false, 350, 50, 4},
      {utHeli, true, 100, 3250, 4},
      {utTank, true, 100, 10000, 2},   // 250 x 100 x 0.4
      {utTank, false, 100, 250, 2},
      {utBoat, true, 200, 40000, 2},   // 500 x 200 x 0.4
      {utBoat, false, 200, 500, 2},
      {utTurret, false, 350, 350, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " player " << c.player << " difficulty " << c.difficulty);
    UnitWorld w(c.difficulty);
    TTRVEntity& unit = w.Add(c.type, {10, 7, 10}, c.player);
    EXPECT_FLOAT_EQ(unit.state.armour, c.armour);
    EXPECT_FLOAT_EQ(unit.Position.Y(), c.height);
    EXPECT_EQ(unit.state.WreckDone(), 0);
    EXPECT_EQ(unit.isFar, kFarUntilFirstFrame);
    EXPECT_EQ(unit.aiState, TTRVAIState::Idle);
    EXPECT_GE(unit.farTimer, 0.0f);
    EXPECT_LT(unit.farTimer, 3.0f);
    EXPECT_NE(unit.airBeacon, nullptr);
    EXPECT_NE(unit.groundBeacon, nullptr);
    EXPECT_NE(unit.waterBeacon, nullptr);
  }
}

TEST(UnitSetup, TypeSlotsOfANewUnit) {
  UnitWorld w;
  TTRVEntity& heli = w.Add(utHeli);
  EXPECT_FLOAT_EQ(heli.state.Altitude(), 1.0f);
  EXPECT_FLOAT_EQ(heli.state.RotorSpeed(), 30.0f);
  EXPECT_EQ(heli.state.RocketPod(), 3);
  EXPECT_EQ(heli.state.Weapon(), weapons::heli::kMachineGun);
  // The control block asks for 0, so the tank's first frame switches to the cannon.
  EXPECT_EQ(w.Add(utTank).state.Weapon(), weapons::tank::kMachineGun) << "the machine gun at set-up";
  std::set<int> turretWeapons;
  for (int seed = 0; seed < 40; ++seed) {
    platform::Random().Seed(static_cast<std::uint64_t>(seed));
    turretWeapons.insert(w.Add(utTurret).state.Weapon());
  }
  EXPECT_EQ(turretWeapons, (std::set<int>{0, 1}));
}

TEST(UnitSetup, EngageRangeOfEachType) {
  struct Case {
    int type;
    std::set<int> allowed;
  } cases[] = {
      {utHeli, {8, 9, 10, 11, 12}},
      {utTank, {3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
      {utBoat, {5, 7, 9, 11, 13, 15, 17, 19, 21, 23}},
      {utTurret, {0}},
  };
  UnitWorld w;
  for (const Case& c : cases) {
    std::set<int> seen;
    for (int seed = 0; seed < 200; ++seed) {
      platform::Random().Seed(static_cast<std::uint64_t>(seed));
      seen.insert(w.Add(c.type).engageRange);
    }
    EXPECT_EQ(seen, c.allowed) << "type " << c.type;
  }
}

TEST(UnitSetup, NewUnitStartsFromAZeroedBlock) {
  UnitWorld w;
  TTRVUnitState source;
  source.unitType = utBoat;
  source.isPlayer = 0;
  source.slotF.fill(7);
  source.slotB.fill(9);
  source.slotV[2] = {1, 2, 3, 4};
  source.armour = 1;
  auto* unit = w.world->sideRoot->Children(0)->AddNewChild<TTRVEntity>();
  unit->Setup(*w.world, {5, 0, 5}, true, source, {1, 0, 0});
  for (float f : unit->state.slotF) EXPECT_EQ(f, 0);
  for (std::uint8_t b : unit->state.slotB) EXPECT_EQ(b, 0);
  EXPECT_EQ(unit->state.slotV[2], TVector(0));
  EXPECT_FLOAT_EQ(unit->state.armour, 500);
}

TEST(UnitSetup, LoadedUnitKeepsItsBlockAndDirectionButDrawsTargetSideAnew) {
  UnitWorld w(100, 3);
  TTRVUnitState saved;
  saved.unitType = utTank;
  saved.side = 0;
  saved.targetSide = 0;  // a saved target side is never taken
  saved.isPlayer = 1;
  saved.armour = 17.5f;
  saved.slotF[2] = -12;
  saved.slotB[9] = 1;
  saved.slotV[0] = {3, 4, 5, 1};
  auto* unit = w.world->sideRoot->Children(0)->AddNewChild<TTRVEntity>();
  unit->Setup(*w.world, {10, 3.5f, 12}, false, saved, {1, 0, 0});
  EXPECT_FLOAT_EQ(unit->state.armour, 17.5f);  // not scaled again by the difficulty
  EXPECT_FLOAT_EQ(unit->state.slotF[2], -12);
  EXPECT_EQ(unit->state.slotB[9], 1);
  EXPECT_EQ(unit->state.slotV[0], TVector(3, 4, 5, 1));
  EXPECT_NE(unit->state.targetSide, 0);
  EXPECT_FLOAT_EQ(unit->Position.Y(), 3.5f);  // a loaded unit stays where it was saved
  ExpectNear(unit->Direction.AsAffineVector(), {1, 0, 0}, "direction");
  EXPECT_GE(unit->engageRange, 3);
}

TEST(UnitSetup, ZeroDirectionLeavesAValidFrame) {
  UnitWorld w;
  TTRVUnitState source;
  source.unitType = utHeli;
  auto* unit = w.world->sideRoot->Children(0)->AddNewChild<TTRVEntity>();
  unit->Setup(*w.world, {5, 0, 5}, true, source, {0, 0, 0});
  const TAffineVector d = unit->AbsoluteDirection();
  EXPECT_FALSE(std::isnan(d.x) || std::isnan(d.y) || std::isnan(d.z));
  EXPECT_NEAR(VectorLength(d), 1.0f, 1e-5f);
  EXPECT_FALSE(std::isnan(unit->hitBox->AbsoluteAffinePosition().x));
}

TEST(UnitSetup, NavalBaseTurretKeepsItsHeight) {
  struct Case {
    bool navalBase;
    float height;
  } cases[] = {{true, 7}, {false, 2}};
  for (const Case& c : cases) {
    UnitWorld w;
    w.world->sides[0].navalBase = c.navalBase ? 1 : 0;
    EXPECT_FLOAT_EQ(w.Add(utTurret, {10, 7, 10}).Position.Y(), c.height) << "naval base " << c.navalBase;
  }
}

TEST(UnitSetup, TargetSideIsAnotherSideWhenThereIsOne) {
  {
    UnitWorld one(100, 1);
    EXPECT_EQ(one.Add(utTank).state.targetSide, 0) << "a lone side keeps its own";
  }
  UnitWorld two(100, 2);
  for (int seed = 0; seed < 20; ++seed) {
    platform::Random().Seed(static_cast<std::uint64_t>(seed));
    EXPECT_EQ(two.Add(utTank, {10, 0, 10}, false, 0).state.targetSide, 1);
    EXPECT_EQ(two.Add(utTank, {10, 0, 10}, false, 1).state.targetSide, 0);
  }
  UnitWorld three(100, 3);
  std::set<int> seen;
  for (int seed = 0; seed < 60; ++seed) {
    platform::Random().Seed(static_cast<std::uint64_t>(seed));
    seen.insert(three.Add(utTank, {10, 0, 10}, false, 1).state.targetSide);
  }
  EXPECT_EQ(seen, (std::set<int>{0, 2}));
}

// The rig the types' steps find their parts in: child paths, offsets, and the theme part each
// proxy shows.
TEST(UnitRig, ChildPathsOffsetsAndParts) {
  struct Node {
    int type;
    std::vector<int> path;
    TAffineVector position;
    int part;  // theme part shown, -1 for a plain node
    const char* theme = nullptr;  // another type's theme
  } nodes[] = {
      {utHeli, {0, 0, 0}, {0, 0, 0}, 0},
      {utHeli, {0, 0, 1}, {0, 0, 0}, 1},
      {utHeli, {0, 0, 2}, {0, -0.16f, 0.2f}, 2},
      {utHeli, {0, 0, 3}, {0.139f, -0.147f, 0}, -1},
      {utHeli, {0, 0, 4}, {-0.139f, -0.147f, 0}, -1},
      {utHeli, {0, 0, 5}, {-0.025f, 0, -0.479f}, 1},
      {utHeli, {1}, {0, 0, 0}, -1},
      {utTank, {0, 0}, {0, 0, 0}, 0},
      {utTank, {0, 1}, {0, 0, 0}, 1},
      {utTank, {0, 1, 0}, {0, 0.194f, 0.14f}, 2},
      {utTank, {0, 2}, {0.099f, 0.106f, 0.147f}, -1},
      {utTank, {0, 3}, {-0.099f, 0.106f, 0.147f}, -1},
      {utTank, {0, 4}, {0.099f, 0.106f, -0.147f}, -1},
      {utTank, {0, 5}, {-0.099f, 0.106f, -0.147f}, -1},
      {utTank, {1}, {0, 0, 0.25f}, -1},
      {utTank, {2}, {0.25f, 0, -0.25f}, -1},
      {utTank, {3}, {-0.25f, 0, -0.25f}, -1},
      {utBoat, {0, 0}, {0, 0, 0}, 0},
      {utBoat, {0, 0, 0}, {0, 0.505f, 1.132f}, 1},
      {utBoat, {0, 0, 0, 0}, {0, 0.057f, 0.048f}, 2},
      {utBoat, {0, 0, 1}, {0.239f, 0.687f, 0.07f}, -1},
      {utBoat, {0, 0, 1, 0}, {0, 0, 0}, 2, "Heli"},
      {utBoat, {0, 0, 2}, {-0.239f, 0.687f, 0.07f}, -1},
      {utBoat, {0, 0, 2, 0}, {0, 0, 0}, 2, "Heli"},
      {utBoat, {0, 0, 3}, {0, 0.493f, -1.646f}, -1},
      {utBoat, {0, 0, 3, 0}, {0, 0, 0}, 3},
      {utBoat, {1}, {0, 0, 2}, -1},
      {utBoat, {2}, {0, 0, -2.123f}, -1},
      {utTurret, {0}, {0, 0, 0}, 0},
      {utTurret, {0, 0}, {0, 1, 0}, -1},
      {utTurret, {0, 0, 0}, {0, 0, 0}, 1},
  };
  UnitWorld w;
  TTRVEntity* units[4] = {&w.Add(utHeli), &w.Add(utTank), &w.Add(utBoat), &w.Add(utTurret)};
  for (const Node& n : nodes) {
    std::string where = "type " + std::to_string(n.type) + " path";
    for (int i : n.path) where += " " + std::to_string(i);
    SCOPED_TRACE(where);
    TGLBaseSceneObject* node = units[n.type];
    for (int i : n.path) {
      ASSERT_LT(i, node->Count());
      node = node->Children(i);
    }
    ExpectNear(node->Position.AsAffineVector(), n.position, "position");
    auto* proxy = dynamic_cast<TGLProxyObject*>(node);
    if (n.part < 0) {
      EXPECT_EQ(proxy, nullptr);
    } else {
      ASSERT_NE(proxy, nullptr);
      const TTRVTheme* theme = w.world->FindTheme(n.theme ? n.theme : UnitTypeInfo(n.type).themeName);
      EXPECT_EQ(proxy->MasterObject, theme->Object(n.part));
      EXPECT_NE(proxy->MasterObject, nullptr);
    }
  }
}

TEST(UnitRig, MountsProbesAndCommonNodes) {
  UnitWorld w;
  TTRVEntity& heli = w.Add(utHeli, {0, 0, 0});
  TGLBaseSceneObject* tail = At(heli, {0, 0, 5});
  ExpectNear(tail->Up.AsAffineVector(), {0, 0, -1}, "tail rotor up");
  ExpectNear(tail->Scale.AsAffineVector(), {0.2f, 1, 0.2f}, "tail rotor scale");
  EXPECT_EQ(heli.hitBox->Parent(), At(heli, {0, 0}));
  ExpectNear(heli.hitBox->Position.AsAffineVector(), {0, -0.092f, -0.104f}, "heli box");
  ExpectNear(heli.hitBox->Scale.AsAffineVector(), {0.279f, 0.142f, 0.845f}, "heli box scale");
  EXPECT_FLOAT_EQ(heli.aimNode->Position.Y(), -0.1f);

  // The boat's mounts face their set-up headings at rest: the +X mount looks toward +X.
  TTRVEntity& boat = w.Add(utBoat, {0, 0, 0});
  struct Mount {
    std::vector<int> path;
    TAffineVector facing;
  } mounts[] = {{{0, 0, 1}, {1, 0, 0}}, {{0, 0, 2}, {-1, 0, 0}}, {{0, 0, 3}, {0, 0, -1}}};
  for (const Mount& m : mounts) {
    TGLBaseSceneObject* mount = At(boat, m.path);
    mount->ResetRotations();
    ExpectNear(mount->Direction.AsAffineVector(), m.facing, "mount at rest");
  }
  ExpectNear(At(boat, {2})->Direction.AsAffineVector(), {0, std::sqrt(0.5f), std::sqrt(0.5f)}, "stern pitched -45");
  for (int probe : {3, 4}) {
    TGLBaseSceneObject* p = At(boat, {probe});
    EXPECT_FLOAT_EQ(p->Position.Z(), p->Scale.Z() / 2);
    EXPECT_FLOAT_EQ(p->Position.X(), probe == 3 ? 1.0f : -1.0f);
  }
  EXPECT_FLOAT_EQ(At(boat, {3})->Scale.Z(), 3.3f);
  EXPECT_GE(At(boat, {4})->Scale.Z(), 3.3f);
  EXPECT_LT(At(boat, {4})->Scale.Z(), 4.3f);
  EXPECT_EQ(boat.hitBox->Parent(), At(boat, {0}));

  TTRVEntity& tank = w.Add(utTank, {0, 0, 0});
  for (int probe : {4, 5}) {
    TGLBaseSceneObject* p = At(tank, {probe});
    EXPECT_FLOAT_EQ(p->Position.Z(), p->Scale.Z() / 2);
    EXPECT_GE(p->Scale.Z(), 0.75f);
    EXPECT_LT(p->Scale.Z(), 1.25f);
    EXPECT_FLOAT_EQ(p->Position.X(), probe == 4 ? 0.25f : 0.0f);
  }
  ExpectNear(At(tank, {0, 2})->Scale.AsAffineVector(), {0.198f, 0.212f, 0.295f}, "corner probe");
  EXPECT_EQ(tank.hitBox->Parent(), At(tank, {0}));
  EXPECT_EQ(tank.imposterNode->Builder, &w.world->nearImposterBuilder);
  EXPECT_EQ(boat.imposterNode->Builder, &w.world->farImposterBuilder);
  EXPECT_EQ(boat.imposterNode->ImpostoredObject, w.world->FindTheme("Boat")->Object(0));
}

TEST(UnitRig, MissingThemesLeaveTheRigWithoutModels) {
  UnitWorld w(100, 2, false);
  for (int type : {utHeli, utTank, utBoat, utTurret}) {
    TTRVEntity& unit = w.Add(type);
    auto* model = dynamic_cast<TGLProxyObject*>(type == utHeli ? At(unit, {0, 0, 0}) : type == utTurret ? At(unit, {0}) : At(unit, {0, 0}));
    ASSERT_NE(model, nullptr) << type;
    EXPECT_EQ(model->MasterObject, nullptr);
    EXPECT_EQ(unit.imposterNode->ImpostoredObject, nullptr);
    unit.Progress(0.02);
  }
}

// Points around a unit at several headings: the letter depends only on where the point lies
// in the unit's own frame. +X is the unit's left as seen from behind it.
TEST(UnitDirection, ClassifyDirectionAroundTheUnit) {
  struct Case {
    TAffineVector local;  // in the unit's frame, +Z ahead
    char letter;
  } cases[] = {
      {{1, 0, 0}, 'L'},      {{1, 0, 0.9f}, 'L'},   {{1, 0, -0.9f}, 'L'},  // the +X quarter
      {{-1, 0, 0}, 'R'},     {{-1, 0, 0.9f}, 'R'},  {{-1, 0, -0.9f}, 'R'},
      {{0.2f, 0, 1}, 'Q'},   {{-0.2f, 0, 1}, 'E'},  // ahead, split along the unit's Z axis
      {{0.2f, 0, -1}, 'Z'},  {{-0.2f, 0, -1}, 'C'},  // behind
      {{0.5f, 3, 2}, 'Q'},   // height does not matter
  };
  UnitWorld w;
  for (float heading : {0.0f, 90.0f, -135.0f, 30.0f}) {
    TTRVEntity& unit = w.Add(utTank, {20, 0, 20});
    unit.Turn(heading);
    for (const Case& c : cases) {
      const TAffineVector p = unit.AbsoluteAffinePosition() + RotateVectorAroundY(c.local, heading);
      EXPECT_EQ(unit.ClassifyDirection(p), c.letter)
          << "heading " << heading << " point (" << c.local.x << ", " << c.local.z << ")";
    }
  }
}

// Records which per-type steps a frame ran.
struct Calls {
  int player = 0, ai = 0, physics = 0, sinking = 0, far = 0;
};
Calls gCalls;
std::array<TTRVUnitHooks, 4> CountingHooks() {
  TTRVUnitHooks h;
  h.player = [](TTRVEntity&, float) { ++gCalls.player; };
  h.ai = [](TTRVEntity&, float) { ++gCalls.ai; };
  h.physics = [](TTRVEntity&, float) { ++gCalls.physics; };
  h.sinking = [](TTRVEntity&, float) { ++gCalls.sinking; };
  h.far = [](TTRVEntity&, float) { ++gCalls.far; };
  return {h, h, h, h};
}

TEST(UnitFrame, FarFromFortyFiveUnitsOfTheCameraTarget) {
  struct Case {
    float distance;
    bool far;
  } cases[] = {{0, false}, {44.99f, false}, {45, true}, {45.01f, true}, {50, true}};
  UnitWorld w;
  const auto hooks = CountingHooks();
  for (const Case& c : cases) {
    for (int type : {utHeli, utTank, utBoat, utTurret}) {
      SCOPED_TRACE(testing::Message() << "distance " << c.distance << " type " << type);
      w.cameraTarget.Position.SetPoint(10, 2, 10);
      TTRVEntity& unit = w.Add(type, {10 + c.distance, 2, 10});
      if (type == utHeli) unit.Position.SetY(2);  // level with the target
      unit.hooks = &hooks;
      gCalls = {};
      unit.Progress(0.1);
      EXPECT_FLOAT_EQ(unit.cameraDistance, c.distance);
      EXPECT_EQ(unit.isFar, c.far ? 1 : 0);
      EXPECT_EQ(gCalls.far, c.far ? 1 : 0);
      EXPECT_EQ(gCalls.ai + gCalls.physics, c.far ? 0 : 2);
      // Far boats stay on the sea as imposters; the others vanish.
      EXPECT_EQ(unit.Visible, !c.far || type == utBoat);
      if (c.far && type == utBoat) {
        EXPECT_TRUE(unit.imposterNode->Visible);
      }
    }
  }
}

TEST(UnitFrame, LevelOfDetailShareOfLODdist) {
  // LODdist 20: helicopter and turret 15, tank 20, boat 30.
  struct Case {
    int type;
    float distance;
    bool model;
  } cases[] = {
      {utHeli, 14.9f, true}, {utHeli, 15, false},   {utTank, 19.9f, true},   {utTank, 20, false},
      {utBoat, 29.9f, true}, {utBoat, 30, false},   {utTurret, 14.9f, true}, {utTurret, 15, false},
  };
  UnitWorld w;
  for (const Case& c : cases) {
    w.cameraTarget.Position.SetPoint(0, 2, 10);
    TTRVEntity& unit = w.Add(c.type, {c.distance, 2, 10});
    if (c.type == utHeli) unit.Position.SetY(2);
    unit.Progress(0.1);
    EXPECT_EQ(unit.Children(0)->Visible, c.model) << "type " << c.type << " at " << c.distance;
    EXPECT_EQ(unit.imposterNode->Visible, !c.model) << "type " << c.type << " at " << c.distance;
  }
}

TEST(UnitFrame, PlayerStepForThePlayerAIStepForTheRest) {
  UnitWorld w;
  const auto hooks = CountingHooks();
  TTRVEntity& player = w.Add(utTank, {10, 0, 10}, true);
  TTRVEntity& ai = w.Add(utTank, {12, 0, 10});
  player.hooks = ai.hooks = &hooks;
  gCalls = {};
  player.Progress(0.1);
  EXPECT_EQ(gCalls.player, 1);
  EXPECT_EQ(gCalls.ai, 0);
  gCalls = {};
  ai.Progress(0.1);
  EXPECT_EQ(gCalls.player, 0);
  EXPECT_EQ(gCalls.ai, 1);
  EXPECT_EQ(gCalls.physics, 1);
}

TEST(UnitFrame, ArmourAtZeroIsAWreckWithItsHandsOffTheControls) {
  UnitWorld w;
  TTRVEntity& heli = w.Add(utHeli, {10, 0, 10});
  heli.state.armour = 0;
  heli.controls.fire = true;
  heli.controls.steerX = 0.3f;
  heli.controls.aimPoint = {1, 2, 3, 1};
  heli.controls.weaponRequest = weapons::heli::kRockets;
  heli.Progress(0.1);
  EXPECT_TRUE(heli.Wrecked());
  EXPECT_FALSE(heli.controls.fire);
  EXPECT_EQ(heli.controls.steerX, 0);
  EXPECT_EQ(heli.controls.aimPoint, TVector(1, 2, 3, 1));
  EXPECT_EQ(heli.controls.weaponRequest, weapons::heli::kRockets);
}

// A wreck in the water goes down at half a unit a second and rests at -20; on land, or for
// a type whose own step sinks it, the common rule leaves it to the type.
TEST(UnitFrame, WreckInTheWaterSinksToTwentyBelowAndStops) {
  struct Case {
    int type;
    float height;
    float after10s;     // height after ten one-second frames
    int sinkingFrames;  // frames handed to the type's sinking effects
    int physicsFrames;  // frames handed to the type's own step
  } cases[] = {
      {utTank, -1, -6, 10, 0},       {utTank, -18, -20, 4, 0},      {utHeli, 0.19f, -4.81f, 10, 0},
      {utHeli, 0.5f, 0.5f, 0, 10},   {utTank, 0.5f, 0.5f, 0, 10},   {utBoat, -1, -1, 0, 10},
      {utTurret, -1, -1, 0, 10},     {utTank, -20, -20, 0, 0},      {utTank, -100, -100, 0, 0},
  };
  UnitWorld w;
  const auto hooks = CountingHooks();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " from " << c.height);
    TTRVEntity& unit = w.Add(c.type, {10, 0, 10});
    unit.hooks = &hooks;
    unit.Position.SetY(c.height);
    unit.state.armour = -5;
    w.cameraTarget.Position.SetPoint(10, c.height, 10);  // keep it near whatever its height
    gCalls = {};
    for (int i = 0; i < 10; ++i) unit.Progress(1.0);
    EXPECT_NEAR(unit.Position.Y(), c.after10s, 1e-4f);
    EXPECT_EQ(gCalls.sinking, c.sinkingFrames);
    EXPECT_EQ(gCalls.physics, c.physicsFrames);
  }
  TTRVEntity& tank = w.Add(utTank, {10, 0, 10});
  tank.Position.SetY(-1);
  tank.state.armour = 0;
  w.cameraTarget.Position.SetPoint(10, -10, 10);
  for (int i = 0; i < 100; ++i) tank.Progress(0.5);
  EXPECT_FLOAT_EQ(tank.Position.Y(), -20);
}

TEST(UnitFrame, EngineNoteOfEachType) {
  UnitWorld w;
  TTRVEntity& heli = w.Add(utHeli);
  heli.state.Velocity() = {0, 0, 0.5f, 0};
  EXPECT_EQ(heli.EngineFrequency(), 22050 + 750);
  TTRVEntity& tank = w.Add(utTank);
  tank.state.ForwardSpeed() = -0.5f;
  EXPECT_EQ(tank.EngineFrequency(), 11000);
  TTRVEntity& boat = w.Add(utBoat);
  boat.state.ForwardSpeed() = 1.25f;
  EXPECT_EQ(boat.EngineFrequency(), 24550);
  EXPECT_EQ(w.Add(utTurret).EngineFrequency(), 0);
}

TEST(UnitFrame, TheEngineSoundsAtItsTypesNoteWhenNearAndFallsSilentWhenFarOrWrecked) {
  // One frame of a unit moving at some speed; what its engine was told on that frame. The
  // note is the type's: the helicopter's and the boat's start at 22050, the tank's at 10000.
  using Field = unittest::RecordingBattlefield;
  const struct {
    const char* name;
    int type;
    float distance;  // from the camera target
    bool wreck;
    int base;  // Field::kSilenced: silence; 0: no word at all
  } cases[] = {
      {"helicopter near", utHeli, 5, false, 22050},
      {"tank near", utTank, 5, false, 10000},
      {"boat near", utBoat, 5, false, 22050},
      {"helicopter far", utHeli, 50, false, Field::kSilenced},
      {"tank far", utTank, 50, false, Field::kSilenced},
      {"boat far", utBoat, 50, false, Field::kSilenced},
      {"helicopter wrecked", utHeli, 5, true, Field::kSilenced},
      {"tank wrecked", utTank, 5, true, Field::kSilenced},
      {"boat wrecked", utBoat, 5, true, Field::kSilenced},
      {"turret: no engine", utTurret, 5, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UnitWorld w;
    w.cameraTarget.Position.SetPoint(10, 2, 10);
    TTRVEntity& unit = w.Add(c.type, {10 + c.distance, 2, 10});
    Field field;
    unit.battlefield = &field;
    unit.state.ForwardSpeed() = 1;                  // tank and boat
    if (c.type == utHeli) unit.state.Velocity() = {0, 0, 1, 0};
    if (c.wreck) unit.state.armour = 0;
    unit.Progress(0.02);
    if (c.base == 0) {
      EXPECT_TRUE(field.engine.empty());
      continue;
    }
    ASSERT_FALSE(field.engine.empty());
    for (const auto& note : field.engine) EXPECT_EQ(note.unit, &unit);
    const int last = field.engine.back().frequency;
    if (c.base == Field::kSilenced) {
      EXPECT_EQ(last, Field::kSilenced);
      for (const auto& note : field.engine) EXPECT_EQ(note.frequency, Field::kSilenced) << "no note at all";
    } else {
      EXPECT_EQ(field.engine.size(), 1u);
      EXPECT_EQ(last, unit.EngineFrequency()) << "the note of its speed after the frame";
      EXPECT_GT(last, c.base + 500) << "the type's note, raised by its speed";
      EXPECT_LT(last, c.base + 3500);
    }
  }
}

}  // namespace

namespace {

// Every proxy of every rig, walked from the unit.
void CollectProxies(TGLBaseSceneObject& node, std::vector<TGLProxyObject*>& out) {
  if (auto* proxy = dynamic_cast<TGLProxyObject*>(&node)) out.push_back(proxy);
  for (int i = 0; i < node.Count(); ++i) CollectProxies(*node.Children(i), out);
}

// With the unit themes the build forged, no rig asks for a part its theme does not have.
TEST(UnitRig, ForgedThemesHoldEveryPartTheRigsShow) {
  TTRVWorldContext context;
  context.programFolder = platform::ProgramFolder().parent_path() / "game";
  context.settings.SkyTextureSize = 64;
  TTRVWorld world(context);
  for (const char* name : {"Heli", "Tank", "Boat", "Turret"}) {
    std::string error;
    ASSERT_NE(world.AddTheme(name, &error), nullptr) << name << ": " << error;
  }
  world.sides.resize(2);
  TGLDummyCube* side = world.sideRoot->AddNewChild<TGLDummyCube>();
  for (int type : {utHeli, utTank, utBoat, utTurret}) {
    TTRVUnitState source;
    source.unitType = static_cast<std::uint8_t>(type);
    auto* unit = side->AddNewChild<TTRVEntity>();
    unit->Setup(world, {3, 0, 3}, true, source, {0, 0, 1});
    std::vector<TGLProxyObject*> proxies;
    CollectProxies(*unit, proxies);
    EXPECT_FALSE(proxies.empty()) << type;
    for (TGLProxyObject* p : proxies) EXPECT_NE(p->MasterObject, nullptr) << "type " << type;
    EXPECT_NE(unit->imposterNode->ImpostoredObject, nullptr) << type;
  }
}

}  // namespace
