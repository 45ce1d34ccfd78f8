// TGLProxyObject: draws its master object (and the master's children) with the proxy's
// own transform, so thousands of trees share one mesh. The master may be hidden.
#pragma once

#include "scene/baseobject.h"

class TGLProxyObject : public TGLBaseSceneObject {
 public:
  TGLBaseSceneObject* MasterObject = nullptr;

  TRenderPass RenderPass() const override;
  void Render(TRenderContext& rci) override;
};
