// Proxy drawing: the master's geometry in the proxy's frame.
#include "scene/proxy.h"

#include "scene/gl.h"

void RenderObjectAndChildren(TGLBaseSceneObject& o, TRenderContext& rci) {
  o.Render(rci);
  for (int i = 0; i < o.Count(); ++i) {
    TGLBaseSceneObject* c = o.Children(i);
    if (!c->Visible) continue;
    glPushMatrix();
    glMultMatrixf(&c->LocalMatrix()[0][0]);
    RenderObjectAndChildren(*c, rci);
    glPopMatrix();
  }
}

TRenderPass TGLProxyObject::RenderPass() const {
  if (!MasterObject) return TRenderPass::None;
  TRenderPass p = MasterObject->RenderPass();
  return p == TRenderPass::HUD ? TRenderPass::None : p == TRenderPass::None ? TRenderPass::Opaque : p;
}

bool TGLProxyObject::LocalBounds(TBoundingSphere& out) const {
  return MasterObject && MasterObject != this && SubtreeBounds(*MasterObject, out);
}

void TGLProxyObject::Render(TRenderContext& rci) {
  if (MasterObject && MasterObject != this) RenderObjectAndChildren(*MasterObject, rci);
}
