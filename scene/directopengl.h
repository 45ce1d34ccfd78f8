// TGLDirectOpenGL: the game's own immediate-mode drawing, called at its place in the tree
// with the modelview holding this object's absolute frame. Handlers restore what they change.
#pragma once

#include <functional>

#include "scene/baseobject.h"

class TGLDirectOpenGL : public TGLBaseSceneObject {
 public:
  std::function<void(TGLDirectOpenGL& sender, TRenderContext& rci)> OnRender;

  TRenderPass RenderPass() const override { return TRenderPass::Direct; }
  bool Pickable() const override { return false; }
  void Render(TRenderContext& rci) override {
    if (OnRender) OnRender(*this, rci);
  }
};
