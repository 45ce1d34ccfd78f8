// Draws theme mesh lists with OpenGL 1.x client-side vertex arrays. The only mesh file that
// talks to OpenGL; callers need a current context and set the material themselves.
#pragma once

#include "scene/meshobject.h"

// Draws every shown mesh object of the list, skipping empty slots, with whatever material
// and transform are current. Per-vertex colours, where a mesh has them, drive the ambient and
// diffuse colour; all client and colour-material state is restored afterwards.
void RenderMeshObjectList(const TMeshObjectList& list);
void RenderMeshObject(const TMeshObject& mesh);
