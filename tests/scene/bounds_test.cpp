// Bounding spheres, the view volume, and the viewer leaving out what the camera cannot see.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "scene/bounds.h"
#include "scene/freeform.h"
#include "scene/imposter.h"
#include "scene/proxy.h"
#include "scene/quadrics.h"
#include "scene/rendercontext.h"

namespace {

void ExpectSphere(const TBoundingSphere& s, TAffineVector centre, float radius) {
  EXPECT_NEAR(s.centre.x, centre.x, 1e-4f);
  EXPECT_NEAR(s.centre.y, centre.y, 1e-4f);
  EXPECT_NEAR(s.centre.z, centre.z, 1e-4f);
  EXPECT_NEAR(s.radius, radius, 1e-4f);
}

// From the origin down -Z, 90 degrees wide and high, from 1 to 100 units.
TFrustum LookingDownMinusZ() {
  return TFrustum(glm::perspective(glm::radians(90.0f), 1.0f, 1.0f, 100.0f) *
                  glm::lookAt(TAffineVector(0, 0, 0), TAffineVector(0, 0, -1), TAffineVector(0, 1, 0)));
}

// A free form of one triangle spanning (0, 0, 0) to (2, 2, 0): its sphere is centred on
// (1, 1, 0) with radius sqrt(2).
std::unique_ptr<TGLFreeForm> Triangle() {
  auto form = std::make_unique<TGLFreeForm>();
  form->MeshObjects.Add(MakeMeshObject("tri", {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}));
  return form;
}

}  // namespace

TEST(BoundingSpheres, MergeHoldsBothAndKeepsAHeldOne) {
  const struct {
    TBoundingSphere a, b;
    TAffineVector centre;
    float radius;
  } cases[] = {
      {{{0, 0, 0}, 1}, {{4, 0, 0}, 1}, {2, 0, 0}, 3},         // apart
      {{{0, 0, 0}, 5}, {{1, 0, 0}, 1}, {0, 0, 0}, 5},         // the second inside the first
      {{{0, 0, 0}, 1}, {{0, 2, 0}, 4}, {0, 2, 0}, 4},         // the first inside the second
      {{{1, 1, 1}, 2}, {{1, 1, 1}, 2}, {1, 1, 1}, 2},         // the same sphere twice
      {{{0, 0, 0}, 0}, {{0, 0, 6}, 0}, {0, 0, 3}, 3},         // two points
  };
  for (const auto& c : cases) ExpectSphere(MergeSpheres(c.a, c.b), c.centre, c.radius);
}

TEST(BoundingSpheres, TransformMovesTheCentreAndScalesByTheLargestAxis) {
  TMatrix m = glm::translate(TMatrix(1.0f), TAffineVector(10, 0, 0));
  m = glm::scale(m, TAffineVector(1, 3, 2));
  ExpectSphere(TransformSphere({{1, 1, 0}, 2}, m), {11, 3, 0}, 6);
}

TEST(Frustum, SpheresInsideOrStraddlingAreKeptAndOnlyThoseWhollyOutsideCulled) {
  const TFrustum view = LookingDownMinusZ();
  const struct {
    TAffineVector centre;
    float radius;
    bool outside;
  } cases[] = {
      {{0, 0, -10}, 1, false},     // straight ahead
      {{0, 0, 10}, 1, true},       // behind the eye
      {{0, 0, 0.5f}, 2, false},    // round the eye, reaching past the near plane
      {{30, 0, -10}, 1, true},     // far to the right of a 90-degree view
      {{11, 0, -10}, 1.5f, false}, // its edge across the right plane
      {{0, -30, -10}, 1, true},    // below
      {{0, 0, -150}, 10, true},    // beyond the far plane
      {{0, 0, -105}, 10, false},   // reaching back across it
  };
  for (const auto& c : cases)
    EXPECT_EQ(view.Outside(c.centre, c.radius), c.outside) << c.centre.x << ", " << c.centre.y << ", " << c.centre.z;
  EXPECT_FALSE(TFrustum().Outside({0, 0, 1e6f}, 0)) << "no view volume culls nothing";
}

TEST(SubtreeBounds, MarkersAddNothingAndAnUnmeasuredDrawingSpoilsTheWhole) {
  std::unique_ptr<TGLFreeForm> form = Triangle();
  auto* marker = form->AddNewChild<TGLDummyCube>();
  marker->Position.SetPoint(50, 0, 0);
  TBoundingSphere s;
  ASSERT_TRUE(SubtreeBounds(*form, s));
  ExpectSphere(s, {1, 1, 0}, std::sqrt(2.0f));

  // A visible part drawn elsewhere widens the sphere; a hidden one does not count.
  TGLFreeForm* part = form->AddNewChild<TGLFreeForm>();
  part->MeshObjects.Add(MakeMeshObject("tri", {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}));
  part->Position.SetPoint(10, 0, 0);
  ASSERT_TRUE(SubtreeBounds(*form, s));
  EXPECT_NEAR(s.centre.x, 6, 1e-4f);
  part->Visible = false;
  ASSERT_TRUE(SubtreeBounds(*form, s));
  EXPECT_NEAR(s.centre.x, 1, 1e-4f);

  // A sphere primitive draws without telling its size.
  form->AddNewChild<TGLSphere>();
  EXPECT_FALSE(SubtreeBounds(*form, s));
}

TEST(SubtreeBounds, AFreeFormMeasuresItsMeshesAgainAfterAChange) {
  std::unique_ptr<TGLFreeForm> form = Triangle();
  TBoundingSphere s;
  ASSERT_TRUE(form->LocalBounds(s));
  ExpectSphere(s, {1, 1, 0}, std::sqrt(2.0f));
  TMeshObject& mesh = *form->MeshObjects[0];
  mesh.vertexList[1] = TAffineVector(4, 0, 0);
  mesh.StructureChanged();
  ASSERT_TRUE(form->LocalBounds(s));
  ExpectSphere(s, {2, 1, 0}, std::sqrt(5.0f));
  mesh.shown = false;
  ASSERT_TRUE(form->LocalBounds(s));
  EXPECT_EQ(s.radius, 0) << "nothing shown, nothing drawn";
}

TEST(ViewCulling, ObjectsWhollyOutsideTheViewAreLeftOutOfTheFrame) {
  TGLDummyCube root;
  std::unique_ptr<TGLFreeForm> master = Triangle();
  const auto proxyAt = [&](TAffineVector at, float scale) {
    auto* proxy = root.AddNewChild<TGLProxyObject>();
    proxy->MasterObject = master.get();
    proxy->Position.SetPoint(at);
    proxy->Scale.SetVector(scale, scale, scale);
    return proxy;
  };
  TGLProxyObject* ahead = proxyAt({0, 0, -10}, 1);
  TGLProxyObject* behind = proxyAt({0, 0, 10}, 1);
  // At its own size it would lie behind the eye too; ten times larger it reaches into the view.
  TGLProxyObject* large = proxyAt({0, 0, 3}, 10);
  auto* sky = root.AddNewChild<TGLSphere>();  // no size given: never culled
  sky->Position.SetPoint(0, 0, 500);
  auto* imposter = root.AddNewChild<TGLImposter>();
  TGLStaticImposterBuilder builder;
  imposter->Builder = &builder;
  imposter->ImpostoredObject = master.get();
  imposter->Position.SetPoint(0, 0, 50);  // behind, but its picture's size is not known yet

  TRenderContext rci;
  rci.frustum = LookingDownMinusZ();
  root.BuildList(rci);
  const std::vector<TGLBaseSceneObject*> expected{ahead, large, sky, imposter};
  EXPECT_EQ(rci.opaque, expected);
  EXPECT_TRUE(behind->Visible) << "left out of the frame, not hidden";

  // Without a view volume (pictures, bakes set up by hand) everything is drawn.
  TRenderContext all;
  root.BuildList(all);
  EXPECT_EQ(all.opaque.size(), 5u);
}
