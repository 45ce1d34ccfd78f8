// The orientation, box and timing conventions every unit's steering and aiming relies on.
// Each case fails if its convention is flipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "scene/baseobject.h"
#include "scene/cadencer.h"
#include "scene/camera.h"
#include "scene/scene.h"

namespace {

void ExpectNear(const TAffineVector& a, const TAffineVector& b, float eps = 1e-4f) {
  EXPECT_NEAR(a.x, b.x, eps);
  EXPECT_NEAR(a.y, b.y, eps);
  EXPECT_NEAR(a.z, b.z, eps);
}

TAffineVector Dir(const TGLBaseSceneObject& o) { return o.Direction.AsAffineVector(); }

}  // namespace

TEST(SceneConventions, PositiveTurnIsClockwiseSeenFromAbove) {
  TGLDummyCube o;
  o.Turn(90);
  ExpectNear(Dir(o), {-1, 0, 0});
  EXPECT_FLOAT_EQ(o.TurnAngle(), 90);
  // The vector helper turns exactly as objects do (markers follow their proxies).
  ExpectNear(RotateVectorAroundY(TAffineVector(0, 0, 1), 90), {-1, 0, 0});
  ExpectNear(RotateVectorAroundY(TAffineVector(1, 0, 0), 90), {0, 0, 1});
}

TEST(SceneConventions, RightAxisIsLocalPlusXAndSlideGoesTheOtherWay) {
  TGLDummyCube o;
  ExpectNear(o.RightVector(), {1, 0, 0});
  ExpectNear(TAffineVector(o.AbsoluteRight()), {1, 0, 0});
  o.Slide(1);  // along Direction x Up
  ExpectNear(o.Position.AsAffineVector(), {-1, 0, 0});
  o.Move(2);
  ExpectNear(o.Position.AsAffineVector(), {-1, 0, 2});
}

TEST(SceneConventions, PositivePitchLowersTheNoseAndPositiveRollRaisesPlusX) {
  TGLDummyCube pitched;
  pitched.Pitch(30);
  EXPECT_LT(Dir(pitched).y, -0.49f);
  TGLDummyCube rolled;
  rolled.Roll(30);
  TVector side = rolled.LocalToAbsolute({1, 0, 0, 1});
  EXPECT_GT(side.y, 0.49f);
}

TEST(SceneConventions, ResetAndPitchTurnRollTurnsFirstThenPitches) {
  TGLDummyCube o;
  o.ResetAndPitchTurnRoll(-30, 90, 0);
  // Turned toward -X, then pitched up about the turned right axis: climbing toward -X.
  TAffineVector d = Dir(o);
  EXPECT_NEAR(d.y, 0.5f, 1e-4f);
  EXPECT_NEAR(d.x, -0.8660f, 1e-3f);
  EXPECT_NEAR(d.z, 0, 1e-4f);
}

TEST(SceneConventions, ResetKeepsTheStoredRestOrientationOnly) {
  TGLDummyCube plain;
  plain.Turn(-90);
  plain.ResetRotations();
  ExpectNear(Dir(plain), {0, 0, 1});

  // A boat's right machine-gun mount: turned -90 at set-up, aimed by reset + turn afterwards.
  TGLDummyCube mount;
  mount.Turn(-90);
  mount.StoreRestOrientation();
  EXPECT_FLOAT_EQ(mount.TurnAngle(), 0);
  mount.ResetAndPitchTurnRoll(0, 0, 0);
  ExpectNear(Dir(mount), {1, 0, 0});
  mount.ResetAndPitchTurnRoll(0, 90, 0);
  ExpectNear(Dir(mount), {0, 0, 1});
}

TEST(SceneConventions, TurnAngleSetterIsAbsolute) {
  TGLDummyCube o;
  o.SetTurnAngle(30);
  o.SetTurnAngle(30);
  ExpectNear(Dir(o), RotateVectorAroundY(TAffineVector(0, 0, 1), 30));
}

TEST(SceneConventions, SettingDirectionKeepsTheFrameOrthonormal) {
  TGLDummyCube o;
  o.Direction.SetVector(0, 1, 1);
  TAffineVector d = Dir(o), u = o.Up.AsAffineVector();
  EXPECT_NEAR(VectorLength(d), 1, 1e-5f);
  EXPECT_NEAR(VectorLength(u), 1, 1e-5f);
  EXPECT_NEAR(glm::dot(d, u), 0, 1e-5f);
  // Up parallel to the direction still gives a valid frame.
  o.Up.SetVector(0, 0, 0);
  o.Direction.SetVector(0, 1, 0);
  EXPECT_NEAR(glm::dot(Dir(o), o.Up.AsAffineVector()), 0, 1e-5f);
}

TEST(SceneConventions, DummyBoxIsTheUnitCubeScaledAndCentred) {
  TGLScene scene;
  auto* box = scene.Objects().AddNewChild<TGLDummyCube>();
  box->Position.SetPoint(10, 0, 0);
  box->Scale.SetVector(2, 1, 4);
  struct Case { TAffineVector p; bool inside; } cases[] = {
      {{10.9f, 0, 0}, true}, {{11.1f, 0, 0}, false}, {{10, 0.45f, 0}, true},
      {{10, 0.55f, 0}, false}, {{10, 0, 1.9f}, true}, {{10, 0, 2.1f}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(box->PointInBox(c.p), c.inside) << c.p.x << " " << c.p.y << " " << c.p.z;
  box->Turn(90);  // the long axis now lies along X
  EXPECT_TRUE(box->PointInBox({11.9f, 0, 0}));
  EXPECT_FALSE(box->PointInBox({10, 0, 1.9f}));
}

TEST(SceneConventions, ChildFramesComposeWithTheParentsAndFollowItsChanges) {
  TGLScene scene;
  auto* parent = scene.Objects().AddNewChild<TGLDummyCube>();
  auto* child = parent->AddNewChild<TGLDummyCube>();
  child->Position.SetPoint(0, 0, 1);
  parent->Position.SetPoint(5, 0, 0);
  ExpectNear(child->AbsoluteAffinePosition(), {5, 0, 1});
  parent->Turn(90);
  ExpectNear(child->AbsoluteAffinePosition(), {4, 0, 0});
  ExpectNear(TAffineVector(parent->AbsoluteToLocal({4, 0, 0, 1})), {0, 0, 1});
  child->SetAbsolutePosition({5, 3, 0});
  ExpectNear(child->AbsoluteAffinePosition(), {5, 3, 0});
}

// The aiming loops of every turret and gun: rate = -gain * ((aim - pivot) . axis) / d,
// turning (or pitching) by rate * dt. They must close on the aim from every side.
TEST(SceneConventions, YawAndPitchAimLoopsConverge) {
  const TAffineVector targets[] = {{10, 0, 3}, {-10, 0, 3}, {4, 0, -10}, {-4, 0, -10}, {0, 6, 10}, {3, -4, 10}};
  for (const TAffineVector& aim : targets) {
    TGLScene scene;
    auto* pivot = scene.Objects().AddNewChild<TGLDummyCube>();
    auto* gun = pivot->AddNewChild<TGLDummyCube>();
    float pitch = 0;
    for (int step = 0; step < 2000; ++step) {
      const float dt = 0.02f;
      TAffineVector p = pivot->AbsoluteAffinePosition();
      float d = VectorLength(aim - p);
      float yawRate = std::clamp(-160 * glm::dot(aim - p, TAffineVector(pivot->AbsoluteRight())) / d, -160.0f, 160.0f);
      pivot->Turn(yawRate * dt);
      float pitchRate = std::clamp(-80 * glm::dot(aim - gun->AbsoluteAffinePosition(), TAffineVector(gun->AbsoluteUp())) / d, -40.0f, 40.0f);
      pitch = std::clamp(pitch + pitchRate * dt, -60.0f, 60.0f);
      gun->ResetAndPitchTurnRoll(pitch, 0, 0);
    }
    TAffineVector want = VectorNormalize(aim);
    EXPECT_GT(glm::dot(TAffineVector(gun->AbsoluteDirection()), want), 0.999f) << aim.x << " " << aim.y << " " << aim.z;
  }
}

// "Turn left" subtracts from the turn rate; a vehicle seen from the chase camera behind it
// must then swing toward the left of the screen.
TEST(SceneConventions, NegativeTurnSwingsTowardScreenLeftSeenFromBehind) {
  TGLScene scene;
  auto* vehicle = scene.Objects().AddNewChild<TGLDummyCube>();
  auto* camera = scene.Objects().AddNewChild<TGLCamera>();
  camera->Position.SetPoint(0, 1, -5);
  camera->TargetObject = vehicle;
  vehicle->Turn(-20);
  TAffineVector nose = TAffineVector(vehicle->AbsolutePosition() + vehicle->AbsoluteDirection() * 2.0f);
  TVector eye = camera->ViewMatrix() * TVector(nose, 1);
  EXPECT_LT(eye.x, 0);  // eye space: -x is the left of the screen
}

TEST(CameraProjection, FocalLengthFromWidthGivesTheSameFieldAtEveryResolution) {
  struct Case { int w, h; } cases[] = {{800, 600}, {1024, 768}, {1600, 1200}, {640, 480}};
  for (const auto& c : cases) {
    TGLCamera cam;
    cam.FocalLength = c.w / 800.0f * 50;
    cam.DepthOfView = 1024;
    float n = cam.NearPlane(c.w, c.h), hw, hh;
    cam.HalfExtents(c.w, c.h, hw, hh);
    EXPECT_NEAR(n, 0.4724f, 1e-3f);
    EXPECT_NEAR(hw / n, 1.0583f, 1e-3f);
    EXPECT_NEAR(hh / n, 1.0583f * c.h / c.w, 1e-3f);
    EXPECT_NEAR(cam.FarPlane(c.w, c.h), n + 1024, 1e-3f);
  }
}

TEST(CameraProjection, OrthogonalFocalPiFramesOneSector) {
  TGLCamera cam;
  cam.CameraStyle = csOrthogonal;
  cam.FocalLength = 3.1415927f;
  for (int size : {64, 128, 256}) {
    float hw, hh;
    cam.HalfExtents(size, size, hw, hh);
    EXPECT_NEAR(hw, 16, 1e-4f);
    EXPECT_NEAR(hh, 16, 1e-4f);
  }
}

TEST(Cadencer, DeltaIsTimeSinceLastProgressAndPausesAreLeftOut) {
  double now = 100;
  TGLCadencer cadencer([&] { return now; });
  std::vector<double> deltas;
  cadencer.OnProgress = [&](TGLCadencer&, double dt, double) { deltas.push_back(dt); };
  now = 101;
  cadencer.Progress();
  now = 101.5;
  cadencer.Progress();
  cadencer.SetEnabled(false);
  now = 110;
  cadencer.Progress();  // disabled: nothing
  cadencer.SetEnabled(true);
  now = 110.25;
  cadencer.Progress();
  ASSERT_EQ(deltas.size(), 3u);
  EXPECT_DOUBLE_EQ(deltas[0], 1);
  EXPECT_DOUBLE_EQ(deltas[1], 0.5);
  EXPECT_DOUBLE_EQ(deltas[2], 0.25);
  EXPECT_DOUBLE_EQ(cadencer.CurrentTime(), 1.75);
}

TEST(SceneTree, ObjectsFreeThemselvesAndTheirChildrenDuringProgress) {
  struct SelfFreeing : TGLBehaviour {
    void DoProgress(TGLBaseSceneObject& owner, double, double) override { owner.Free(); }
  };
  TGLScene scene;
  auto* a = scene.Objects().AddNewChild<TGLDummyCube>();
  auto* b = scene.Objects().AddNewChild<TGLDummyCube>();
  b->AddNewChild<TGLDummyCube>();
  b->Behaviours.push_back(std::make_unique<SelfFreeing>());
  auto* c = scene.Objects().AddNewChild<TGLDummyCube>();
  EXPECT_EQ(c->Index(), 2);
  scene.Progress(0.1, 0.1);
  ASSERT_EQ(scene.Objects().Count(), 2);
  EXPECT_EQ(scene.Objects().Children(0), a);
  EXPECT_EQ(scene.Objects().Children(1), c);
  EXPECT_EQ(c->Index(), 1);
  EXPECT_EQ(c->Scene(), &scene);
  EXPECT_EQ(scene.Objects().Children(5), nullptr);
}
