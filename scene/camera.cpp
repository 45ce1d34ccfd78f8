// Camera projection: near plane from the focal length, frustum from the viewer size.
#include "scene/camera.h"

#include <algorithm>
#include <numbers>

#include <glm/gtc/matrix_transform.hpp>

namespace {
constexpr float kMmPerInch = 25.4f;
// In the orthogonal style a focal length of pi frames 32 units (one terrain sector) across
// the larger side of the viewer.
constexpr float kOrthoHalfExtentTimesFocal = 16.0f * std::numbers::pi_v<float>;
}  // namespace

float TGLCamera::NearPlane(int w, int h) const {
  float m = static_cast<float>(std::max({w, h, 1}));
  float f = FocalLength > 0 ? FocalLength : 1;
  if (CameraStyle == csOrthogonal) return 0.1f;
  return f * 2 * kPixelsPerInch / (m * kMmPerInch);
}

void TGLCamera::HalfExtents(int w, int h, float& halfWidth, float& halfHeight) const {
  float fw = static_cast<float>(std::max(w, 1)), fh = static_cast<float>(std::max(h, 1));
  float f = FocalLength > 0 ? FocalLength : 1;
  if (CameraStyle == csOrthogonal) {
    float half = kOrthoHalfExtentTimesFocal / f;
    float m = std::max(fw, fh);
    halfWidth = half * fw / m;
    halfHeight = half * fh / m;
    return;
  }
  float n = NearPlane(w, h);
  halfWidth = n * fw * kMmPerInch / (4 * f * kPixelsPerInch);
  halfHeight = n * fh * kMmPerInch / (4 * f * kPixelsPerInch);
}

TMatrix TGLCamera::ProjectionMatrix(int w, int h) const {
  float hw, hh;
  HalfExtents(w, h, hw, hh);
  float n = NearPlane(w, h), far = FarPlane(w, h);
  if (CameraStyle == csOrthogonal) return glm::ortho(-hw, hw, -hh, hh, n, far);
  return glm::frustum(-hw, hw, -hh, hh, n, far);
}

TMatrix TGLCamera::ViewMatrix() const {
  TAffineVector eye = AbsoluteAffinePosition();
  TAffineVector up = TAffineVector(AbsoluteUp());
  TAffineVector centre = TargetObject ? TargetObject->AbsoluteAffinePosition() : eye + TAffineVector(AbsoluteDirection());
  if (VectorLength(centre - eye) == 0) centre = eye + TAffineVector(AbsoluteDirection());
  TAffineVector dir = VectorNormalize(centre - eye);
  if (VectorLength(glm::cross(dir, up)) < 1e-6f) up = std::fabs(dir.y) < 0.9f ? TAffineVector(0, 1, 0) : TAffineVector(0, 0, 1);
  return glm::lookAt(eye, centre, up);
}
