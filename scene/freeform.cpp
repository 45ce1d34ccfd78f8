// Free form drawing through the mesh renderer.
#include "scene/freeform.h"

#include "scene/meshrender.h"

bool TGLFreeForm::LoadMeshes(std::span<const std::uint8_t> bytes, std::size_t& pos, std::string& error) {
  return ReadMeshObjectList(bytes, pos, MeshObjects, error);
}

std::uint64_t TGLFreeForm::MeshesSignature() const {
  std::uint64_t signature = 1469598103934665603ull;
  for (const auto& mesh : MeshObjects) {
    const std::uint64_t part = mesh ? (static_cast<std::uint64_t>(mesh->ChangeCount()) << 1 | (mesh->shown ? 1 : 0)) : 7;
    signature = (signature ^ part) * 1099511628211ull;
  }
  return signature | 1;
}

bool TGLFreeForm::LocalBounds(TBoundingSphere& out) const {
  const std::uint64_t signature = MeshesSignature();
  if (signature != boundsSignature_) {
    TAffineVector lo, hi;
    bounds_ = MeshObjects.GetExtents(lo, hi) ? TBoundingSphere{(lo + hi) * 0.5f, VectorLength(hi - lo) * 0.5f} : TBoundingSphere{};
    boundsSignature_ = signature;
  }
  out = bounds_;
  return true;
}

void TGLFreeForm::DrawGeometry(TRenderContext&) { RenderMeshObjectList(MeshObjects); }
