// Bounding spheres and the view volume: what lets the viewer skip objects the camera cannot
// see before they cost a single transformed vertex.
#pragma once

#include <array>

#include "scene/vectorgeometry.h"

class TGLBaseSceneObject;

// A sphere holding what an object draws, in the units of some frame.
struct TBoundingSphere {
  TAffineVector centre{0, 0, 0};
  float radius = 0;
};

// The smallest sphere holding both.
TBoundingSphere MergeSpheres(const TBoundingSphere& a, const TBoundingSphere& b);
// The sphere in the frame the matrix maps to; a scaled frame scales the radius by its largest axis.
TBoundingSphere TransformSphere(const TBoundingSphere& s, const TMatrix& m);
// What RenderObjectAndChildren draws of the object: its own sphere and its visible children's,
// in the object's frame. False when some part draws something of unknown size.
bool SubtreeBounds(const TGLBaseSceneObject& object, TBoundingSphere& out);

// The six planes of a view volume, normals inward, in the frame the matrix maps from.
class TFrustum {
 public:
  TFrustum() = default;
  // From projection × view: the planes lie in world space.
  explicit TFrustum(const TMatrix& clip);
  // True when the sphere lies wholly outside one of the planes.
  bool Outside(const TAffineVector& centre, float radius) const;

 private:
  std::array<TVector, 6> planes_{};
  bool valid_ = false;
};
