// TGLMemoryViewer: renders a scene through its camera off screen (a framebuffer object, or
// the window's back buffer where those are missing) and hands the picture on as a texture
// or a bitmap. Needs the game window's context to be current.
#pragma once

#include "scene/viewer.h"

class TGLMemoryViewer {
 public:
  TGLMemoryViewer(int width = 256, int height = 256);
  ~TGLMemoryViewer();
  TGLMemoryViewer(const TGLMemoryViewer&) = delete;
  TGLMemoryViewer& operator=(const TGLMemoryViewer&) = delete;

  TGLSceneBuffer Buffer;
  TGLCamera* Camera() const { return Buffer.Camera; }
  void SetCamera(TGLCamera* camera) { Buffer.Camera = camera; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetSize(int width, int height);

  // Draws one frame into the off-screen target.
  void Render();
  // The last frame as a new mip-mapped texture owned by `texture`.
  void CopyToTexture(TGLTexture& texture);
  // The last frame as a 24-bit bitmap, top row first.
  platform::Bitmap CaptureBitmap();
  bool UsesFramebufferObject() const { return fbo_ != 0; }

 private:
  bool EnsureTarget();
  void Bind();
  void Unbind();
  void FreeTarget();

  int width_, height_;
  unsigned fbo_ = 0, colour_ = 0, depth_ = 0;
  bool triedFbo_ = false;
  int previousFbo_ = 0;
};
