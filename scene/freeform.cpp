// Free form drawing through the mesh renderer.
#include "scene/freeform.h"

#include "scene/meshrender.h"

bool TGLFreeForm::LoadMeshes(std::span<const std::uint8_t> bytes, std::size_t& pos, std::string& error) {
  return ReadMeshObjectList(bytes, pos, MeshObjects, error);
}

void TGLFreeForm::DrawGeometry(TRenderContext&) { RenderMeshObjectList(MeshObjects); }
