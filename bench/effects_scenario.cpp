// Particles on screen at 800 x 600: the empty view, then a big explosion near the camera
// every half second with the game's own step, so that a fight in front of the player can be
// weighed against the bare frame. With --shot, a picture of a fresh explosion.
#include <cstdio>
#include <string>

#include "bench/benchdisplay.h"
#include "bench/scenarios.h"
#include "effects/effects.h"
#include "platform/bitmap.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "platform/window.h"
#include "scene/camera.h"
#include "scene/directopengl.h"
#include "scene/scene.h"
#include "scene/viewer.h"

int RunEffectsScenario(const BenchOptions& options) {
  BenchDisplay display;
  if (!display.Open(800, 600, "morvane-bench effects")) return 1;
  platform::MessageLoop loop(display.window);
  platform::Random().Seed(1);
  TGLScene scene;
  auto* camera = scene.Objects().AddNewChild<TGLCamera>();
  camera->FocalLength = display.window.Width() / 800.0f * 50;
  camera->DepthOfView = 1024;
  camera->Position.SetPoint(0, 3, -8);
  TGLSceneViewer viewer(display.window);
  viewer.SetCamera(camera);
  viewer.Buffer.BackgroundColor = 0x00604020;

  TTRVEffects fx({}, camera);
  auto* hook = scene.Objects().AddNewChild<TGLDirectOpenGL>();
  hook->OnRender = [&fx](TGLDirectOpenGL&, TRenderContext& rci) { fx.Draw(rci); };

  auto measure = [&](bool explode, double seconds, double& meanParticles) {
    for (int i = 0; i < 5; ++i) viewer.Render();
    int frames = 0;
    double particles = 0, sinceBlast = 1;
    double start = platform::NowSeconds(), last = start, now = start;
    while (now - start < seconds && loop.PumpEvents()) {
      const float dt = static_cast<float>(now - last);
      last = now;
      if (explode && (sinceBlast += dt) >= 0.5) {
        fx.BigExplosion({0, 2, 0}, true);
        fx.ShellExplosion({1.5f, 1, 1});
        sinceBlast = 0;
      }
      fx.Step(dt);
      viewer.Render();
      particles += fx.ParticleCount();
      ++frames;
      now = platform::NowSeconds();
    }
    meanParticles = frames ? particles / frames : 0;
    return now > start ? frames / (now - start) : 0;
  };

  double none = 0, mean = 0;
  const double floorFps = measure(false, options.seconds / 2, none);
  const double effectsFps = measure(true, options.seconds, mean);
  std::printf("floor_fps: %.1f\neffects_fps: %.1f\nparticles_mean: %.0f\n", floorFps, effectsFps, mean);
  if (!options.shotPath.empty()) {
    // A fresh blast a third of a second old: fireball, glow, sparks and the first debris.
    fx.BigExplosion({0, 2, 0}, true);
    for (int i = 0; i < 10; ++i) fx.Step(1.0f / 30);
    std::string error;
    if (!viewer.CreateSnapshotBitmap().SaveBmp(options.shotPath, error)) {
      std::fprintf(stderr, "effects: %s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}
