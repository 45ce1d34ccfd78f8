// Material bracket around a custom object's geometry.
#include "scene/customobject.h"

#include "scene/rendercontext.h"

void TGLCustomSceneObject::Render(TRenderContext& rci) {
  if (rci.picking) {
    DrawGeometry(rci);
    return;
  }
  Material.Apply(rci, AlphaScale());
  DrawGeometry(rci);
  Material.UnApply(rci);
}
