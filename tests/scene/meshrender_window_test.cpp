// Mesh drawing in a real GL context: what reaches the screen and which state is left behind.
#include <array>
#include <string>

#include <gtest/gtest.h>

#include "scene/gl.h"
#include "scene/meshobject.h"
#include "scene/meshrender.h"
#include "tests/support/window_fixture.h"

namespace {

constexpr int kSize = 32;

class MeshRenderTest : public testwindow::WindowTest {
 protected:
  MeshRenderTest() : WindowTest(kSize, kSize, false) {}
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped()) return;
    glViewport(0, 0, kSize, kSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // White light from the viewer, so a lit surface shows its material's colour.
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const GLfloat towardViewer[] = {0, 0, 1, 0};
    const GLfloat white[] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, towardViewer);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
  }

  std::array<int, 3> PixelAtCentre() {
    std::array<GLubyte, 4> rgba{};
    glReadPixels(kSize / 2, kSize / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return {rgba[0], rgba[1], rgba[2]};
  }

};

// A square over the whole view, as one quad face group, facing the viewer.
std::unique_ptr<TMeshObject> Screen() {
  auto mesh = MakeMeshObject("screen", {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}},
                             {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  AddVertexIndexGroup(*mesh, {0, 1, 2, 3}, fgmmQuads);
  return mesh;
}

TEST_F(MeshRenderTest, PerVertexColoursDriveTheLitColourAndStateIsRestored) {
  TMeshObjectList list;
  TMeshObject& mesh = list.Add(Screen());
  mesh.colourList.assign(4, TVector(1, 0, 0, 1));
  mesh.StructureChanged();
  glColor4f(0.25f, 0.5f, 0.75f, 1);

  RenderMeshObjectList(list);

  std::array<int, 3> pixel = PixelAtCentre();
  EXPECT_GT(pixel[0], 200);
  EXPECT_LT(pixel[1], 20);
  EXPECT_LT(pixel[2], 20);
  EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
  for (GLenum array : {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_TEXTURE_COORD_ARRAY, GL_COLOR_ARRAY})
    EXPECT_FALSE(glIsEnabled(array)) << array;
  GLfloat current[4];
  glGetFloatv(GL_CURRENT_COLOR, current);
  EXPECT_FLOAT_EQ(current[1], 0.5f);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(MeshRenderTest, WithoutMatchingColoursTheMaterialDecides) {
  TMeshObjectList list;
  TMeshObject& mesh = list.Add(Screen());
  mesh.colourList.assign(3, TVector(1, 0, 0, 1));  // one short of the vertex count
  mesh.StructureChanged();
  const GLfloat green[] = {0, 1, 0, 1};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, green);

  RenderMeshObjectList(list);

  std::array<int, 3> pixel = PixelAtCentre();
  EXPECT_LT(pixel[0], 20);
  EXPECT_GT(pixel[1], 200);
}

TEST_F(MeshRenderTest, HiddenMeshesAndEmptySlotsDrawNothing) {
  TMeshObjectList list;
  list.AddEmptySlot();
  list.Add(Screen()).shown = false;

  RenderMeshObjectList(list);

  EXPECT_EQ(PixelAtCentre(), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
