// TGLFreeForm: a mesh list (a theme's model, read from its stream form) drawn with one
// material. Proxies draw it for every tree, building and unit part that shares it.
#pragma once

#include "scene/customobject.h"
#include "scene/meshobject.h"

class TGLFreeForm : public TGLCustomSceneObject {
 public:
  TMeshObjectList MeshObjects;

  // Reads the mesh list from bytes at pos (see ReadMeshObjectList); the list is left empty on failure.
  bool LoadMeshes(std::span<const std::uint8_t> bytes, std::size_t& pos, std::string& error);
  // The bounding box of the shown meshes in local units; false when there is nothing to draw.
  bool GetExtents(TAffineVector& min, TAffineVector& max) const { return MeshObjects.GetExtents(min, max); }

 protected:
  void DrawGeometry(TRenderContext& rci) override;
};
