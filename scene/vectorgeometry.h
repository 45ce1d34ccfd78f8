// Vector and matrix types of the scene layer and the single-precision helpers the game uses.
// GLM does the arithmetic; game code names the types and helpers below, never GLM directly,
// so the rotation and axis conventions stay in one place (docs/scene-conventions.md).
#pragma once

#include <cstdint>
#include <vector>

#include <glm/glm.hpp>

using TAffineVector = glm::vec3;   // x, y, z
using TVector = glm::vec4;         // x, y, z, w: w = 1 for points, 0 for directions
using TTexPoint = glm::vec2;       // s, t
using TMatrix = glm::mat4;         // column-major, as OpenGL takes it

inline constexpr TVector NullHmgPoint{0, 0, 0, 1};

float VectorLength(const TVector& v);       // of x, y, z
float VectorLength(const TAffineVector& v);
// A zero vector stays zero instead of becoming NaN.
TVector VectorNormalize(const TVector& v);
TAffineVector VectorNormalize(const TAffineVector& v);
// The unit vector along v, or `fallback` when v is too short (below 1e-6) to have a direction
// worth trusting: two units at one spot push apart along the fallback, never along NaN.
TAffineVector VectorNormalizeOr(const TAffineVector& v, const TAffineVector& fallback);
float VectorDotProduct(const TVector& a, const TVector& b);  // of x, y, z
float VectorDotProduct(const TAffineVector& a, const TAffineVector& b);
TVector VectorCrossProduct(const TVector& a, const TVector& b);  // w = 0
TAffineVector VectorCrossProduct(const TAffineVector& a, const TAffineVector& b);
// Rotates about the world Y axis the way TGLBaseSceneObject::Turn turns an object:
// a positive angle takes +Z toward -X (clockwise seen from above).
TVector RotateVectorAroundY(const TVector& v, float degrees);
TAffineVector RotateVectorAroundY(const TAffineVector& v, float degrees);
TAffineVector AffineVectorTransform(const TAffineVector& v, const TMatrix& m);  // as a direction

float DegToRad(float degrees);
float RadToDeg(float radians);
// The smallest power of two >= n (1 for n <= 1).
int RoundUpToPowerOf2(int n);
// Floor to an integer: floor(-0.5) = -1; NaN and huge values saturate at -2^30 / 2^30.
int Floor(float v);


using TSingleList = std::vector<float>;
using TAffineVectorList = std::vector<TAffineVector>;
