// Sphere arithmetic and the view volume's planes.
#include "scene/bounds.h"

#include <algorithm>
#include <cmath>

#include "scene/baseobject.h"

TBoundingSphere MergeSpheres(const TBoundingSphere& a, const TBoundingSphere& b) {
  const TAffineVector between = b.centre - a.centre;
  const float d = VectorLength(between);
  if (d + b.radius <= a.radius) return a;
  if (d + a.radius <= b.radius) return b;
  const float radius = (d + a.radius + b.radius) * 0.5f;
  // d > 0 here: with d = 0 one sphere holds the other.
  return {a.centre + between * ((radius - a.radius) / d), radius};
}

TBoundingSphere TransformSphere(const TBoundingSphere& s, const TMatrix& m) {
  const float stretch = std::max({VectorLength(TAffineVector(m[0])), VectorLength(TAffineVector(m[1])),
                                  VectorLength(TAffineVector(m[2]))});
  return {TAffineVector(m * TVector(s.centre, 1)), s.radius * stretch};
}

namespace {

enum class TExtent { Unknown, Nothing, Sphere };

TExtent Extent(const TGLBaseSceneObject& object, TBoundingSphere& out) {
  bool any = object.LocalBounds(out);
  // Something drawn whose size nobody knows: the whole subtree can never be culled.
  if (!any && object.RenderPass() != TRenderPass::None) return TExtent::Unknown;
  for (int i = 0; i < object.Count(); ++i) {
    const TGLBaseSceneObject& child = *object.Children(i);
    if (!child.Visible) continue;
    TBoundingSphere inner;
    const TExtent extent = Extent(child, inner);
    if (extent == TExtent::Unknown) return TExtent::Unknown;
    if (extent == TExtent::Nothing) continue;  // a marker widens nothing
    const TBoundingSphere mine = TransformSphere(inner, child.LocalMatrix());
    out = any ? MergeSpheres(out, mine) : mine;
    any = true;
  }
  return any ? TExtent::Sphere : TExtent::Nothing;
}

}  // namespace

bool SubtreeBounds(const TGLBaseSceneObject& object, TBoundingSphere& out) {
  const TExtent extent = Extent(object, out);
  if (extent == TExtent::Nothing) out = {};
  return extent != TExtent::Unknown;
}

TFrustum::TFrustum(const TMatrix& clip) {
  // Rows of the clip matrix (column-major storage: clip[col][row]).
  const auto row = [&clip](int r) { return TVector(clip[0][r], clip[1][r], clip[2][r], clip[3][r]); };
  const TVector r0 = row(0), r1 = row(1), r2 = row(2), r3 = row(3);
  planes_ = {r3 + r0, r3 - r0, r3 + r1, r3 - r1, r3 + r2, r3 - r2};
  for (TVector& p : planes_) {
    const float length = VectorLength(TAffineVector(p));
    // A degenerate plane (a broken projection) never culls.
    p = length > 0 ? p / length : TVector(0, 0, 0, 1);
  }
  valid_ = true;
}

bool TFrustum::Outside(const TAffineVector& c, float radius) const {
  if (!valid_) return false;
  for (const TVector& p : planes_)
    if (p.x * c.x + p.y * c.y + p.z * c.z + p.w < -radius) return true;
  return false;
}
