// Single-precision vector helpers; see vectorgeometry.h for the conventions.
#include "scene/vectorgeometry.h"

#include <cmath>

float VectorLength(const TVector& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }
float VectorLength(const TAffineVector& v) { return std::sqrt(glm::dot(v, v)); }

TVector VectorNormalize(const TVector& v) {
  float len = VectorLength(v);
  if (len <= 0 || !std::isfinite(len)) return {0, 0, 0, v.w};
  return {v.x / len, v.y / len, v.z / len, v.w};
}

TAffineVector VectorNormalize(const TAffineVector& v) {
  float len = VectorLength(v);
  if (len <= 0 || !std::isfinite(len)) return {0, 0, 0};
  return v / len;
}

TAffineVector VectorNormalizeOr(const TAffineVector& v, const TAffineVector& fallback) {
  const float len = VectorLength(v);
  if (!(len >= 1e-6f) || !std::isfinite(len)) return fallback;
  return v / len;
}

float VectorDotProduct(const TVector& a, const TVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float VectorDotProduct(const TAffineVector& a, const TAffineVector& b) { return glm::dot(a, b); }

TVector VectorCrossProduct(const TVector& a, const TVector& b) {
  return TVector(glm::cross(TAffineVector(a), TAffineVector(b)), 0);
}
TAffineVector VectorCrossProduct(const TAffineVector& a, const TAffineVector& b) { return glm::cross(a, b); }

TAffineVector RotateVectorAroundY(const TAffineVector& v, float degrees) {
  // Clockwise seen from above: the mirror of a right-handed turn about +Y.
  float a = DegToRad(degrees);
  float c = std::cos(a), s = std::sin(a);
  return {v.x * c - v.z * s, v.y, v.x * s + v.z * c};
}

TVector RotateVectorAroundY(const TVector& v, float degrees) {
  return TVector(RotateVectorAroundY(TAffineVector(v), degrees), v.w);
}

TAffineVector AffineVectorTransform(const TAffineVector& v, const TMatrix& m) {
  return TAffineVector(m * TVector(v, 0));
}

float DegToRad(float degrees) { return degrees * 0.017453292519943295f; }
float RadToDeg(float radians) { return radians * 57.29577951308232f; }

int RoundUpToPowerOf2(int n) {
  int p = 1;
  while (p < n && p < (1 << 30)) p <<= 1;
  return p;
}

int Floor(float v) {
  // NaN and far-away values land far outside any map instead of overflowing the int.
  constexpr float kFar = 1 << 30;
  if (!(v > -kFar)) return -(1 << 30);
  if (!(v < kFar)) return 1 << 30;
  return static_cast<int>(std::floor(v));
}
