// TGLFreeForm: a mesh list (a theme's model, read from its stream form) drawn with one
// material. Proxies draw it for every tree, building and unit part that shares it.
#pragma once

#include <cstdint>

#include "scene/customobject.h"
#include "scene/meshobject.h"

class TGLFreeForm : public TGLCustomSceneObject {
 public:
  TMeshObjectList MeshObjects;

  // Reads the mesh list from bytes at pos (see ReadMeshObjectList); the list is left empty on failure.
  bool LoadMeshes(std::span<const std::uint8_t> bytes, std::size_t& pos, std::string& error);
  // The bounding box of the shown meshes in local units; false when there is nothing to draw.
  bool GetExtents(TAffineVector& min, TAffineVector& max) const { return MeshObjects.GetExtents(min, max); }
  // The sphere round the extents, measured again only after a mesh changed or was shown or hidden.
  bool LocalBounds(TBoundingSphere& out) const override;

 protected:
  void DrawGeometry(TRenderContext& rci) override;

 private:
  std::uint64_t MeshesSignature() const;

  mutable TBoundingSphere bounds_;
  mutable std::uint64_t boundsSignature_ = 0;  // 0: never measured
};
