#include "world/worldroot.h"

#include <algorithm>
#include <vector>

#include "scene/rendercontext.h"

void TTRVWorldRoot::BuildList(TRenderContext& rci) {
  if (!Visible) return;
  std::vector<TGLBaseSceneObject*> ground;
  const auto layGround = [&] {
    rci.opaque.insert(rci.opaque.end(), ground.begin(), ground.end());
    ground.clear();
  };
  for (int i = 0; i < Count(); ++i) {
    TGLBaseSceneObject* child = Children(i);
    if (child == groundBefore) layGround();
    const std::size_t first = rci.opaque.size();
    child->BuildList(rci);
    if (child != groundSource) continue;
    // Under the sectors' cube only the ground draws directly; the trees and walls stay in place.
    const auto from = rci.opaque.begin() + static_cast<std::ptrdiff_t>(first);
    const auto split = std::stable_partition(from, rci.opaque.end(), [](const TGLBaseSceneObject* o) { return o->RenderPass() != TRenderPass::Direct; });
    ground.assign(split, rci.opaque.end());
    rci.opaque.erase(split, rci.opaque.end());
  }
  layGround();
}
