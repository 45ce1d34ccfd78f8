// TGLSprite (a camera-facing quad in the world) and TGLHUDSprite (a quad in viewer pixels,
// drawn after the 3D scene, over everything, in tree order).
#pragma once

#include "scene/customobject.h"

class TGLSprite : public TGLCustomSceneObject {
 public:
  float Width = 1;
  float Height = 1;
  float Rotation = 0;      // degrees, counter-clockwise on screen
  float AlphaChannel = 1;  // multiplies the material's alpha
  void SetSize(float width, float height) { Width = width; Height = height; }

 protected:
  void DrawGeometry(TRenderContext& rci) override;
  float AlphaScale() const override { return AlphaChannel; }
};

// Position.X/Y is the centre in viewer pixels, origin top-left, Y down. Children do not
// inherit the transform: a parent only orders and hides them.
class TGLHUDSprite : public TGLSprite {
 public:
  float XTiles = 1;
  float YTiles = 1;
  TRenderPass RenderPass() const override { return TRenderPass::HUD; }
  bool Pickable() const override { return false; }

 protected:
  void DrawGeometry(TRenderContext& rci) override;
};
