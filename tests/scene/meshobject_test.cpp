// What theme meshes draw as: triangles per mode and face-group class, the attributes that come
// along, and the counts and extents the scene layer takes from a mesh list.
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "scene/meshobject.h"

namespace {

// Vertex i sits at x = i, so a triangle list reads back as the vertex numbers it used.
std::unique_ptr<TMeshObject> Row(int vertexCount, TMeshObjectMode mode = momFaceGroups) {
  TAffineVectorList vertices;
  for (int i = 0; i < vertexCount; ++i) vertices.emplace_back(float(i), 0, 0);
  return MakeMeshObject("row", vertices, {}, {}, mode);
}

std::vector<int> VertexNumbers(const TMeshTriangles& t) {
  std::vector<int> out;
  for (const TAffineVector& p : t.positions) out.push_back(int(p.x));
  return out;
}

TEST(MeshTriangles, EachModeBecomesTrianglesWithItsWinding) {
  struct Case {
    const char* what;
    std::function<std::unique_ptr<TMeshObject>()> make;
    std::vector<int> drawn;
  };
  const Case cases[] = {
      {"mesh triangles drop an unfinished one", [] { return Row(7, momTriangles); }, {0, 1, 2, 3, 4, 5}},
      {"mesh strip alternates winding", [] { return Row(5, momTriangleStrip); }, {0, 1, 2, 2, 1, 3, 2, 3, 4}},
      {"mesh mode ignores face groups",
       [] {
         auto m = Row(3);
         AddVertexIndexGroup(*m, {2, 1, 0});
         m->meshMode = momTriangles;
         return m;
       },
       {0, 1, 2}},
      {"triangles", [] { auto m = Row(4); AddVertexIndexGroup(*m, {3, 1, 2, 0}); return m; }, {3, 1, 2}},
      {"flat triangles", [] { auto m = Row(6); AddVertexIndexGroup(*m, {5, 4, 3}, fgmmFlatTriangles); return m; },
       {5, 4, 3}},
      {"strip", [] { auto m = Row(4); AddVertexIndexGroup(*m, {0, 1, 2, 3}, fgmmTriangleStrip); return m; },
       {0, 1, 2, 2, 1, 3}},
      {"fan", [] { auto m = Row(5); AddVertexIndexGroup(*m, {0, 1, 2, 3, 4}, fgmmTriangleFan); return m; },
       {0, 1, 2, 0, 2, 3, 0, 3, 4}},
      {"quads drop an unfinished one",
       [] { auto m = Row(6); AddVertexIndexGroup(*m, {0, 1, 2, 3, 4, 5}, fgmmQuads); return m; },
       {0, 1, 2, 0, 2, 3}},
      {"groups in order, empty slots skipped",
       [] {
         auto m = Row(6);
         AddVertexIndexGroup(*m, {0, 1, 2});
         m->faceGroupList.AddEmptySlot();
         AddIndexTexCoordGroup(*m, {3, 4, 5}, {{0, 0}, {0, 0}, {0, 0}});
         AddNormalTexIndexGroup(*m, {5, 4, 3, 2}, {}, {}, fgmmTriangleFan);
         return m;
       },
       {0, 1, 2, 3, 4, 5, 5, 4, 3, 5, 3, 2}},
      // Meshes built in code skip the load-time checks; drawing must still stay in bounds.
      {"triangle with an index past the end is skipped",
       [] { auto m = Row(6); AddVertexIndexGroup(*m, {0, 1, 9, 3, 4, 5}); return m; }, {3, 4, 5}},
      {"group in a mode its class does not allow draws nothing",
       [] { auto m = Row(4); AddNormalTexIndexGroup(*m, {0, 1, 2, 3}, {}, {}, fgmmQuads); return m; }, {}},
      {"face-group mesh with no groups draws nothing", [] { return Row(3); }, {}},
  };
  for (const Case& c : cases) {
    auto mesh = c.make();
    EXPECT_EQ(VertexNumbers(mesh->Triangles()), c.drawn) << c.what;
  }
}

TEST(MeshTriangles, AttributesComeAlongOnlyWhereTheCountsAgree) {
  const TAffineVectorList tri{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  const TAffineVector up(0, 1, 0), side(1, 0, 0), fallback(0, 0, 1);
  struct Case {
    const char* what;
    std::function<std::unique_ptr<TMeshObject>()> make;
    std::vector<TAffineVector> normals;
    std::vector<TTexPoint> texCoords;
    std::size_t colours;
  };
  const Case cases[] = {
      {"everything per vertex",
       [&] {
         auto m = MakeMeshObject("m", tri, {up, up, side}, {{0, 0}, {1, 0}, {0, 1}}, momTriangles);
         m->colourList = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}};
         return m;
       },
       {up, up, side}, {{0, 0}, {1, 0}, {0, 1}}, 3},
      {"counts that differ from the vertex count are ignored",
       [&] {
         auto m = MakeMeshObject("m", tri, {up, up}, {{0, 0}}, momTriangles);
         m->colourList = {{1, 0, 0, 1}, {0, 1, 0, 1}};
         return m;
       },
       {}, {}, 0},
      {"vertex indices bring their vertex's attributes",
       [&] {
         auto m = MakeMeshObject("m", tri, {up, side, up}, {{0, 0}, {1, 0}, {0, 1}});
         AddVertexIndexGroup(*m, {1, 2, 0});
         return m;
       },
       {side, up, up}, {{1, 0}, {0, 1}, {0, 0}}, 0},
      {"separate indices pick their own normals and texture coordinates",
       [&] {
         auto m = MakeMeshObject("m", tri, {up, side}, {{0, 0}, {1, 0}, {0, 1}});
         AddNormalTexIndexGroup(*m, {0, 1, 2}, {1, 0, 1}, {2, 2, 1});
         return m;
       },
       {side, up, side}, {{0, 1}, {0, 1}, {1, 0}}, 0},
      {"empty index lists borrow the vertex index",
       [&] {
         auto m = MakeMeshObject("m", tri, {up, side, up}, {{0, 0}, {1, 0}, {0, 1}});
         AddNormalTexIndexGroup(*m, {2, 1, 0}, {}, {});
         return m;
       },
       {up, side, up}, {{0, 1}, {1, 0}, {0, 0}}, 0},
      {"group texture coordinates replace the mesh's",
       [&] {
         auto m = MakeMeshObject("m", tri, {up, side, up}, {{0, 0}, {1, 0}, {0, 1}});
         AddIndexTexCoordGroup(*m, {0, 1, 2}, {{5, 6}, {7, 8}, {9, 10}});
         return m;
       },
       {up, side, up}, {{5, 6}, {7, 8}, {9, 10}}, 0},
      {"a group without normals beside one with them gets the default normal",
       [&] {
         auto m = MakeMeshObject("m", tri, {side});
         AddVertexIndexGroup(*m, {0, 1, 2});
         AddNormalTexIndexGroup(*m, {0, 1, 2}, {0, 0, 0}, {});
         return m;
       },
       {fallback, fallback, fallback, side, side, side}, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto mesh = c.make();
    const TMeshTriangles& t = mesh->Triangles();
    EXPECT_EQ(t.normals, c.normals);
    EXPECT_EQ(t.texCoords, c.texCoords);
    EXPECT_EQ(t.colours.size(), c.colours);
  }
}

TEST(MeshTriangles, ColoursFollowTheVertexIndex) {
  auto mesh = MakeMeshObject("m", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
  mesh->colourList = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}};
  AddVertexIndexGroup(*mesh, {2, 0, 1});
  EXPECT_EQ(mesh->Triangles().colours, (TVectorList{{0, 0, 1, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}}));
}

TEST(MeshTriangles, RebuiltAfterAChangeIsAnnounced) {
  auto mesh = Row(3, momTriangles);
  EXPECT_EQ(mesh->Triangles().TriangleCount(), 1u);
  std::uint32_t before = mesh->ChangeCount();
  mesh->vertexList.emplace_back(3, 0, 0);
  mesh->vertexList.emplace_back(4, 0, 0);
  mesh->vertexList.emplace_back(5, 0, 0);
  mesh->StructureChanged();
  EXPECT_GT(mesh->ChangeCount(), before);
  EXPECT_EQ(VertexNumbers(mesh->Triangles()), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST(MeshObjectList, CountsAndExtentsCoverShownMeshesOnly) {
  TMeshObjectList list;
  TAffineVector min(99), max(99);
  EXPECT_FALSE(list.GetExtents(min, max));
  EXPECT_EQ(min, TAffineVector(99));

  list.Add(MakeMeshObject("a", {{-1, 0, 2}, {3, 1, 2}, {0, -4, 2}}));
  list.AddEmptySlot();
  auto& hidden = list.Add(MakeMeshObject("hidden", {{100, 100, 100}, {101, 100, 100}, {100, 101, 100}}));
  hidden.shown = false;
  auto& quads = list.Add(Row(4));
  AddVertexIndexGroup(quads, {0, 1, 2, 3}, fgmmQuads);
  // Vertices no triangle uses do not widen the box.
  list.Add(MakeMeshObject("loose", {{50, 50, 50}}));

  EXPECT_EQ(list.TriangleCount(), 3u);
  ASSERT_TRUE(list.GetExtents(min, max));
  EXPECT_EQ(min, TAffineVector(-1, -4, 0));
  EXPECT_EQ(max, TAffineVector(3, 1, 2));
}

TEST(MeshObjectList, OwnersFollowTheList) {
  TMeshObjectList list;
  TMeshObject& mesh = list.Add(Row(3));
  TFGVertexIndexList& group = AddVertexIndexGroup(mesh, {0, 1, 2});
  EXPECT_EQ(mesh.owner, &list);
  EXPECT_EQ(group.owner, &mesh);
  EXPECT_EQ(mesh.meshMode, momFaceGroups);

  TMeshObjectList moved(std::move(list));
  EXPECT_EQ(mesh.owner, &moved);
  TMeshObjectList assigned;
  assigned = std::move(moved);
  EXPECT_EQ(mesh.owner, &assigned);
  EXPECT_EQ(group.owner, &mesh);
}

}  // namespace
