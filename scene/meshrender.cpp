// OpenGL drawing of theme meshes from their cached triangles, one glDrawArrays per mesh object.
#include "scene/meshrender.h"

#include "scene/gl.h"

#include <climits>

namespace {

// The arrays are handed to OpenGL as tightly packed floats.
static_assert(sizeof(TAffineVector) == 3 * sizeof(GLfloat));
static_assert(sizeof(TTexPoint) == 2 * sizeof(GLfloat));
static_assert(sizeof(TVector) == 4 * sizeof(GLfloat));

void DrawTriangles(const TMeshTriangles& t) {
  if (t.positions.empty() || t.positions.size() > std::size_t(INT_MAX)) return;
  glVertexPointer(3, GL_FLOAT, sizeof(TAffineVector), t.positions.data());
  glEnableClientState(GL_VERTEX_ARRAY);
  if (t.normals.empty()) {
    glDisableClientState(GL_NORMAL_ARRAY);
  } else {
    glNormalPointer(GL_FLOAT, sizeof(TAffineVector), t.normals.data());
    glEnableClientState(GL_NORMAL_ARRAY);
  }
  if (t.texCoords.empty()) {
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  } else {
    glTexCoordPointer(2, GL_FLOAT, sizeof(TTexPoint), t.texCoords.data());
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  GLsizei count = static_cast<GLsizei>(t.positions.size());
  if (t.colours.empty()) {
    glDisableClientState(GL_COLOR_ARRAY);
    glDrawArrays(GL_TRIANGLES, 0, count);
    return;
  }
  // Colours stand in for the material's ambient and diffuse; drawing from a colour array also
  // leaves the current colour undefined, so both go back as they were.
  glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_CURRENT_BIT);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  glColorPointer(4, GL_FLOAT, sizeof(TVector), t.colours.data());
  glEnableClientState(GL_COLOR_ARRAY);
  glDrawArrays(GL_TRIANGLES, 0, count);
  glDisableClientState(GL_COLOR_ARRAY);
  glPopAttrib();
}

}  // namespace

void RenderMeshObject(const TMeshObject& mesh) {
  if (!mesh.shown) return;
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  DrawTriangles(mesh.Triangles());
  glPopClientAttrib();
}

void RenderMeshObjectList(const TMeshObjectList& list) {
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  for (const auto& mesh : list)
    if (mesh && mesh->shown) DrawTriangles(mesh->Triangles());
  glPopClientAttrib();
}
