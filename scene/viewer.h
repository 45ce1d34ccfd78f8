// TGLSceneBuffer renders a scene through a camera into the current GL framebuffer, and
// answers projection, unprojection and picking. TGLSceneViewer binds a buffer to the
// game's window; TGLMemoryViewer (memoryviewer.h) to an off-screen target.
#pragma once

#include <functional>
#include <memory>

#include "scene/camera.h"
#include "scene/material.h"
#include "scene/scene.h"

namespace platform {
class Bitmap;
class Window;
}

enum TGLFogDistance { fdDefault, fdEyeRadial, fdEyePlane };
enum TGLContextOption { roDoubleBuffer = 1, roRenderToWindow = 2, roDestinationAlpha = 4 };

struct TGLFogEnvironment {
  TGLColor FogColor{0.5f, 0.5f, 0.5f, 1};
  float FogStart = 10;
  float FogEnd = 1000;
  TGLFogDistance FogDistance = fdEyeRadial;
};

class TGLSceneBuffer {
 public:
  unsigned BackgroundColor = 0;  // window colour, red in the low byte
  TGLColor AmbientColor{0.2f, 0.2f, 0.2f, 1};
  bool FogEnable = false;
  TGLFogEnvironment FogEnvironment;
  int ContextOptions = roDoubleBuffer | roRenderToWindow | roDestinationAlpha;
  // Off to draw over a frame already in the framebuffer (dialogs over the 3D view).
  bool ClearBeforeRender = true;

  TGLCamera* Camera = nullptr;
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetSize(int width, int height) { width_ = width; height_ = height; }

  // Clears (unless ClearBeforeRender is off) and draws the camera's scene into the current framebuffer.
  void Render();
  // Seconds the last Render took.
  double LastRenderTime() const { return lastRenderTime_; }

  // World point to window coordinates: x right, y up from the bottom-left, z the depth 0..1.
  TVector WorldToScreen(const TVector& world) const;
  // Window coordinates (bottom-left origin) to the unit world direction from the camera.
  TVector ScreenToVector(float x, float y) const;
  // Window coordinates and depth 0..1 back to a world point.
  TVector ScreenToWorld(float x, float y, float depth) const;
  // The depth buffer value 0..1 at window coordinates (bottom-left origin); needs the frame drawn.
  float PixelDepth(int x, int y) const;
  // The nearest object drawn in the 3 x 3 pixel square around a mouse point (top-left origin).
  TGLBaseSceneObject* GetPickedObject(int x, int y);

 private:
  void SetupLights(struct TRenderContext& rci);
  void DrawPasses(struct TRenderContext& rci);
  void Prepare(struct TRenderContext& rci);

  int width_ = 1, height_ = 1;
  double lastRenderTime_ = 0;
};

class TGLSceneViewer {
 public:
  explicit TGLSceneViewer(platform::Window& window) : window_(window) {}

  TGLSceneBuffer Buffer;
  bool Enabled = true;
  bool Visible = true;
  TGLCamera* Camera() const { return Buffer.Camera; }
  void SetCamera(TGLCamera* camera) { Buffer.Camera = camera; }
  int Width() const;
  int Height() const;

  // Renders a frame and shows it.
  void Render();
  // Asks for a frame at the next idle moment.
  void Invalidate() { invalid_ = true; }
  bool Invalidated() const { return invalid_; }
  // The current view as a 24-bit bitmap of the view's size (renders a fresh frame first).
  platform::Bitmap CreateSnapshotBitmap();
  double LastRenderTime() const { return Buffer.LastRenderTime(); }

  std::function<void(int x, int y)> OnMouseMove;
  // Called by Render after the frame is drawn and before it is shown.
  std::function<void()> OnAfterRender;

 private:
  platform::Window& window_;
  bool invalid_ = true;
};

// Reads the current read buffer into a 24-bit bitmap, top row first.
platform::Bitmap ReadFramebufferToBitmap(int width, int height);
