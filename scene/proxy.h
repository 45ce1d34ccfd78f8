// TGLProxyObject: draws its master object (and the master's children) with the proxy's
// own transform, so thousands of trees share one mesh. The master may be hidden.
#pragma once

#include "scene/baseobject.h"

// Draws an object and its visible children in the current modelview frame, each child in
// its own local frame: how a master is drawn wherever it is shown (proxies, imposter pictures).
void RenderObjectAndChildren(TGLBaseSceneObject& object, TRenderContext& rci);

class TGLProxyObject : public TGLBaseSceneObject {
 public:
  TGLBaseSceneObject* MasterObject = nullptr;

  TRenderPass RenderPass() const override;
  void Render(TRenderContext& rci) override;
  bool LocalBounds(TBoundingSphere& out) const override;
};
