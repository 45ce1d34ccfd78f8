// The particles on screen: an explosion in front of the camera lights up the middle of the
// picture in fire colours and leaves the edges alone, wherever the drawing hook stands.
#include <gtest/gtest.h>

#include "tests/support/pixels.h"
#include "tests/support/window_fixture.h"

#include "effects/effects.h"
#include "platform/bitmap.h"
#include "platform/random.h"
#include "scene/directopengl.h"

namespace {

constexpr int kW = 320, kH = 240;

using testpixels::At;
using testpixels::Rgb;

class EffectsWindow : public testwindow::SceneWindowTest {
 protected:
  EffectsWindow() : SceneWindowTest(kW, kH) {}
  void SetUp() override {
    SceneWindowTest::SetUp();
    if (IsSkipped()) return;
    camera_->Position.SetPoint(0, 2, -6);  // looking along +Z
    platform::Random().Seed(3);
  }
};

TEST_F(EffectsWindow, AnExplosionLightsTheMiddleOfThePictureInFireColours) {
  TTRVEffects fx({}, camera_);
  auto* hook = scene_.Objects().AddNewChild<TGLDirectOpenGL>();
  hook->Position.SetPoint(3, -1, 2);  // particles keep to world coordinates all the same
  hook->Turn(30);
  hook->OnRender = [&fx](TGLDirectOpenGL&, TRenderContext& rci) { fx.Draw(rci); };

  const platform::Bitmap before = viewer_->CreateSnapshotBitmap();
  fx.BigExplosion({0, 2, 0}, true);
  fx.Step(0.05f);
  ASSERT_GT(fx.ParticleCount(), 0);
  const platform::Bitmap after = viewer_->CreateSnapshotBitmap();
  ASSERT_EQ(after.Width(), kW);

  const Rgb background = At(before, kW / 2, kH / 2), middle = At(after, kW / 2, kH / 2);
  EXPECT_GT(middle.r, background.r + 60) << "the fireball is red and yellow";
  EXPECT_GT(middle.r, middle.b);
  const Rgb corner = At(after, 2, 2), cornerBefore = At(before, 2, 2);
  EXPECT_TRUE(testpixels::NearRgb(corner, cornerBefore, 2)) << "nothing reaches the corner";

  // Once every particle has gone, the picture is the empty sky again.
  for (int i = 0; i < 100 && fx.ParticleCount() > 0; ++i) fx.Step(0.1f);
  while (fx.FireTrailCount() > 0 || fx.ParticleCount() > 0) fx.Step(0.1f);
  EXPECT_TRUE(testpixels::NearRgb(At(viewer_->CreateSnapshotBitmap(), kW / 2, kH / 2), background, 2));
}

TEST_F(EffectsWindow, DustThatHasFadedOutIsNotDrawnWhileItLives) {
  TTRVEffects fx({}, camera_);
  auto* hook = scene_.Objects().AddNewChild<TGLDirectOpenGL>();
  hook->OnRender = [&fx](TGLDirectOpenGL&, TRenderContext& rci) { fx.Draw(rci); };
  const platform::Bitmap before = viewer_->CreateSnapshotBitmap();

  // Rotor wash right under the camera: faint, gone from sight half a second in, alive until 0.7 s at least.
  fx.WashDust({0, 0, -3}, {0, 1, 0}, false);
  const int spawned = fx.ParticleCount();
  ASSERT_GT(spawned, 0);
  fx.Step(0.2f);
  viewer_->CreateSnapshotBitmap();
  EXPECT_EQ(fx.DrawnCount(), spawned);
  fx.Step(0.4f);
  ASSERT_EQ(fx.ParticleCount(), spawned);
  const platform::Bitmap faded = viewer_->CreateSnapshotBitmap();
  EXPECT_EQ(fx.DrawnCount(), 0);
  for (int y = 0; y < kH; y += 8)
    for (int x = 0; x < kW; x += 8) ASSERT_TRUE(testpixels::NearRgb(At(faded, x, y), At(before, x, y), 0)) << x << ", " << y;
}

}  // namespace
