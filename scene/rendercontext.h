// TRenderContext: what the viewer hands to every object while it renders one frame:
// the camera's matrices, the viewport and the per-pass lists gathered from the tree.
#pragma once

#include <vector>

#include "scene/baseobject.h"

class TGLCamera;
class TGLSceneBuffer;
class TGLStaticImposterBuilder;

struct TRenderContext {
  const TGLCamera* camera = nullptr;
  TGLSceneBuffer* buffer = nullptr;
  int viewportWidth = 0;
  int viewportHeight = 0;
  TMatrix projection{1.0f};
  TMatrix view{1.0f};          // world to eye
  TAffineVector cameraPosition{0, 0, 0};
  // The camera's view volume in world space; empty (culling nothing) until the viewer sets it.
  TFrustum frustum;
  bool picking = false;         // drawing for selection: no materials needed
  bool lighting = true;         // the frame's baseline, restored after each material
  bool fog = false;
  bool secondTextureBound = false;

  // Gathered by BuildList in tree order.
  std::vector<TGLBaseSceneObject*> opaque;   // opaque objects and direct-drawing callbacks
  std::vector<TGLBaseSceneObject*> blended;  // transparency and additive blending
  std::vector<TGLBaseSceneObject*> hud;      // screen-space sprites
  // Builders with imposters queued for their render point this frame.
  std::vector<TGLStaticImposterBuilder*> imposterBuilders;

  bool OutOfView(const TBoundingSphere& world) const { return frustum.Outside(world.centre, world.radius); }

  void Add(TGLBaseSceneObject& o, TRenderPass pass) {
    switch (pass) {
      case TRenderPass::Opaque:
      case TRenderPass::Direct: opaque.push_back(&o); break;
      case TRenderPass::Blended: blended.push_back(&o); break;
      case TRenderPass::HUD: hud.push_back(&o); break;
      case TRenderPass::None: break;
    }
  }
};
