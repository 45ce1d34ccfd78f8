// The window the window tests draw into, and the scene, viewer and camera most of them look
// through. Where no display can be opened the test is skipped, not failed.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>

#include <memory>
#include <string>

#include "platform/window.h"
#include "scene/camera.h"
#include "scene/scene.h"
#include "scene/viewer.h"

namespace testwindow {

// The background the scene tests clear to, as the viewer takes it (0x00BBGGRR).
inline constexpr unsigned kDarkBlue = 0x00400000;

// A window of the given size, open from SetUp to TearDown; a test that only reads back GL
// may keep it hidden. A derived SetUp calls this one first and returns at once when
// IsSkipped().
class WindowTest : public ::testing::Test {
 protected:
  WindowTest(int width, int height, bool visible = true) : width_(width), height_(height), visible_(visible) {}

  void SetUp() override {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << SDL_GetError();
    platform::WindowOptions options;
    options.width = width_;
    options.height = height_;
    options.visible = visible_;
    std::string error;
    if (!window_.Create(options, error)) GTEST_SKIP() << error;
  }
  void TearDown() override { window_.Destroy(); }

  int Width() const { return width_; }
  int Height() const { return height_; }

  platform::Window window_;

 private:
  int width_, height_;
  bool visible_;
};

// The window with a viewer on it and a camera in the test's own scene, at the origin with
// the game's lens for this width (50 at 800 pixels), seeing depthOfView far, over the dark
// blue background.
class SceneWindowTest : public WindowTest {
 protected:
  SceneWindowTest(int width, int height, float depthOfView = 1024)
      : WindowTest(width, height), depthOfView_(depthOfView) {}

  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped()) return;
    viewer_ = std::make_unique<TGLSceneViewer>(window_);
    camera_ = scene_.Objects().AddNewChild<TGLCamera>();
    camera_->FocalLength = static_cast<float>(Width()) / 800.0f * 50;
    camera_->DepthOfView = depthOfView_;
    viewer_->SetCamera(camera_);
    viewer_->Buffer.BackgroundColor = kDarkBlue;
  }
  void TearDown() override {
    scene_.DeleteAllObjects();
    viewer_.reset();
    WindowTest::TearDown();
  }

  TGLScene scene_;
  TGLCamera* camera_ = nullptr;
  std::unique_ptr<TGLSceneViewer> viewer_;

 private:
  float depthOfView_;
};

}  // namespace testwindow
