// The chase camera: the mouse tilts the eye, the ground and the cap of 1 bound its height, the
// wheel sets its distance, and the camera glides after it without sinking into the ground.
#include "game/camerafollow.h"

#include <gtest/gtest.h>

#include "scene/camera.h"
#include "tests/units/unit_fixture.h"
#include "world/world.h"

namespace {

struct Rig {
  TGLDummyCube target;
  TGLDummyCube* eye = target.AddNewChild<TGLDummyCube>();
  TGLCamera camera;
  TTRVControlBlock controls;
  int zoom = -500;
  std::unique_ptr<unittest::UnitWorld> units;

  Rig() {
    target.Position.SetPoint(10, 2.5f, 10);
    eye->Position.SetPoint(0, 0.5f, -1.5f);
    TTRVCockpit c;
    c.controls = &controls;
    c.cameraEye = eye;
    c.zoomAccumulator = &zoom;
    units = std::make_unique<unittest::UnitWorld>(100, 2, false, true, c, [this](TTRVWorldContext& context) {
      context.camera = &camera;
      context.cameraTarget = &target;
    });
  }
  TTRVWorld& World() { return *units->world; }
  void Hill(std::uint8_t height) {  // under the eye, behind the target
    for (int z = 4; z <= 10; ++z)
      for (int x = 7; x <= 13; ++x) World().heightGrid.Set(x, z, height);
  }
};

TEST(CameraFollow, TheEyeTiltsWithTheMouseAndKeepsBetweenTheGroundAndTheCap) {
  struct Case {
    const char* name;
    std::uint8_t ground;  // height * 25 under the eye
    float steerY;
    float eyeY;
  };
  const Case cases[] = {{"level ground, pointer centred", 50, 0, 0.5f},
                        {"the pointer high lowers the eye", 50, 0.5f, 0.45f},
                        {"the pointer low raises it", 50, -0.5f, 0.55f},
                        {"a rise under the eye lifts it to 0.5 over the ground", 70, 0.5f, 0.8f},
                        {"a hill asks for more than the cap: 1 wins", 100, 0, 1.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.Hill(c.ground);
    rig.controls.steerY = c.steerY;
    FollowCamera(rig.World(), 0.1f);
    EXPECT_NEAR(rig.eye->Position.Y(), c.eyeY, 1e-4f);
    EXPECT_FLOAT_EQ(rig.eye->Position.Z(), -2.5f) << "the wheel's distance";
  }
}

TEST(CameraFollow, TheCameraClosesOnItsEyeAndNeverSinksIntoTheGround) {
  Rig rig;
  rig.camera.Position.SetPoint(30, 20, 30);
  FollowCamera(rig.World(), 0.1f);
  const TAffineVector eye = rig.eye->AbsoluteAffinePosition();
  const TAffineVector expected = eye + (TAffineVector(30, 20, 30) - eye) * (0.8f * 0.8f);
  EXPECT_NEAR(VectorLength(rig.camera.Position.AsAffineVector() - expected), 0, 1e-4f);

  Rig low;
  low.Hill(100);  // 4 high where the camera is
  low.camera.Position.SetPoint(10, 0, 8);
  FollowCamera(low.World(), 0.1f);
  EXPECT_GE(low.camera.Position.Y(), 4.5f - 1e-4f);
}

}  // namespace
