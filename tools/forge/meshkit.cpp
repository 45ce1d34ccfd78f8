// The forge's modelling primitives and their writing as a mesh list.
#include "tools/forge/meshkit.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <glm/gtc/matrix_transform.hpp>

#include "scene/meshobject.h"

namespace forge {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// Cross-product z of (b - a) and (c - a) in a plane.
float Turn(TTexPoint a, TTexPoint b, TTexPoint c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); }

// Ear clipping of a simple polygon that winds positively (Turn > 0 for convex corners).
// Answers index triples in the polygon's own winding.
std::vector<int> Triangulate(std::span<const TTexPoint> p) {
  std::vector<int> left(p.size()), out;
  for (std::size_t i = 0; i < p.size(); ++i) left[i] = static_cast<int>(i);
  while (left.size() > 3) {
    bool clipped = false;
    for (std::size_t i = 0; i < left.size() && !clipped; ++i) {
      int a = left[(i + left.size() - 1) % left.size()], b = left[i], c = left[(i + 1) % left.size()];
      if (Turn(p[a], p[b], p[c]) <= 0) continue;
      bool empty = true;
      for (int k : left)
        if (k != a && k != b && k != c && Turn(p[a], p[b], p[k]) >= 0 && Turn(p[b], p[c], p[k]) >= 0 &&
            Turn(p[c], p[a], p[k]) >= 0)
          empty = false;
      if (!empty) continue;
      out.insert(out.end(), {a, b, c});
      left.erase(left.begin() + static_cast<std::ptrdiff_t>(i));
      clipped = true;
    }
    if (!clipped) break;  // not simple: give up on the rest rather than loop
  }
  if (left.size() == 3) out.insert(out.end(), {left[0], left[1], left[2]});
  return out;
}

float SignedArea(std::span<const TTexPoint> p) {
  float a = 0;
  for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) a += p[j].x * p[i].y - p[i].x * p[j].y;
  return a / 2;
}

}  // namespace

UvRect AtlasCell(int column, int row, int cells, float inset) {
  const float size = 1.0f / cells;
  const float s0 = (column + inset) * size, s1 = (column + 1 - inset) * size;
  // Rows count from the image's top; t counts from its bottom.
  const float t1 = 1 - (row + inset) * size, t0 = 1 - (row + 1 - inset) * size;
  return {s0, t0, s1, t1};
}

TMatrix Translation(float x, float y, float z) { return glm::translate(TMatrix(1.0f), {x, y, z}); }
TMatrix RotationX(float d) { return glm::rotate(TMatrix(1.0f), glm::radians(d), {1, 0, 0}); }
TMatrix RotationY(float d) { return glm::rotate(TMatrix(1.0f), glm::radians(d), {0, 1, 0}); }
TMatrix RotationZ(float d) { return glm::rotate(TMatrix(1.0f), glm::radians(d), {0, 0, 1}); }
TMatrix Scaling(float x, float y, float z) { return glm::scale(TMatrix(1.0f), {x, y, z}); }

void MeshKit::Push(const TMatrix& m) {
  stack_.push_back(current_);
  current_ = current_ * m;
}

void MeshKit::Pop() {
  if (stack_.empty()) return;
  current_ = stack_.back();
  stack_.pop_back();
}

void MeshKit::Emit(TAffineVector p, TAffineVector n, TTexPoint uv) {
  const glm::mat3 normalMatrix = glm::transpose(glm::inverse(glm::mat3(current_)));
  positions_.push_back(TAffineVector(current_ * TVector(p, 1)));
  normals_.push_back(glm::normalize(normalMatrix * n));
  uvs_.push_back({region_.s0 + uv.x * (region_.s1 - region_.s0), region_.t0 + uv.y * (region_.t1 - region_.t0)});
}

void MeshKit::SmoothTriangle(TAffineVector a, TAffineVector b, TAffineVector c, TAffineVector na, TAffineVector nb,
                             TAffineVector nc, TTexPoint ua, TTexPoint ub, TTexPoint uc) {
  if (glm::length(glm::cross(b - a, c - a)) < 1e-9f) return;  // a sliver at a pole or a bow
  // A mirroring transform turns the winding over; swap two corners to keep it outward.
  if (glm::determinant(glm::mat3(current_)) < 0) {
    std::swap(b, c), std::swap(nb, nc), std::swap(ub, uc);
  }
  Emit(a, na, ua), Emit(b, nb, ub), Emit(c, nc, uc);
}

void MeshKit::Triangle(TAffineVector a, TAffineVector b, TAffineVector c, TTexPoint ua, TTexPoint ub, TTexPoint uc) {
  TAffineVector n = glm::cross(b - a, c - a);
  if (glm::length(n) < 1e-9f) return;
  n = glm::normalize(n);
  SmoothTriangle(a, b, c, n, n, n, ua, ub, uc);
}

void MeshKit::Quad(TAffineVector a, TAffineVector b, TAffineVector c, TAffineVector d) {
  Triangle(a, b, c, {0, 0}, {1, 0}, {1, 1});
  Triangle(a, c, d, {0, 0}, {1, 1}, {0, 1});
}

void MeshKit::Card(TAffineVector a, TAffineVector b, TAffineVector c, TAffineVector d, TAffineVector up) {
  SmoothTriangle(a, b, c, up, up, up, {0, 0}, {1, 0}, {1, 1});
  SmoothTriangle(a, c, d, up, up, up, {0, 0}, {1, 1}, {0, 1});
}

void MeshKit::Box(TAffineVector lo, TAffineVector hi, bool bottom) {
  const TAffineVector c = (lo + hi) * 0.5f, h = (hi - lo) * 0.5f;
  struct Face {
    TAffineVector n, u, v;
  };
  // u x v points out of each face, so a, b, c, d below wind counter-clockwise from outside.
  const Face faces[] = {{{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},  {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
                        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},   {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
                        {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},  {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}};
  for (const Face& f : faces) {
    if (!bottom && f.n.y < 0) continue;
    TAffineVector centre = c + f.n * h, u = f.u * h, v = f.v * h;
    Quad(centre - u - v, centre + u - v, centre + u + v, centre - u + v);
  }
}

void MeshKit::Cylinder(float r0, float r1, float y0, float y1, int sides, bool caps) {
  auto at = [](float r, float a, float y) { return TAffineVector(r * std::sin(a), y, r * std::cos(a)); };
  const float h = y1 - y0;
  for (int i = 0; i < sides; ++i) {
    float a0 = 2 * kPi * i / sides, a1 = 2 * kPi * (i + 1) / sides;
    auto normal = [&](float a) { return glm::normalize(TAffineVector(std::sin(a) * h, r0 - r1, std::cos(a) * h)); };
    float s0 = static_cast<float>(i) / sides, s1 = static_cast<float>(i + 1) / sides;
    TAffineVector p00 = at(r0, a0, y0), p10 = at(r0, a1, y0), p11 = at(r1, a1, y1), p01 = at(r1, a0, y1);
    SmoothTriangle(p00, p10, p11, normal(a0), normal(a1), normal(a1), {s0, 0}, {s1, 0}, {s1, 1});
    SmoothTriangle(p00, p11, p01, normal(a0), normal(a1), normal(a0), {s0, 0}, {s1, 1}, {s0, 1});
    if (!caps) continue;
    auto capUv = [](float a) { return TTexPoint(0.5f + 0.5f * std::sin(a), 0.5f + 0.5f * std::cos(a)); };
    if (r1 > 0)
      Triangle({0, y1, 0}, at(r1, a0, y1), at(r1, a1, y1), {0.5f, 0.5f}, capUv(a0), capUv(a1));
    if (r0 > 0)
      Triangle({0, y0, 0}, at(r0, a1, y0), at(r0, a0, y0), {0.5f, 0.5f}, capUv(a1), capUv(a0));
  }
}

void MeshKit::Prism(std::span<const TTexPoint> outline, float y0, float y1, bool top, bool bottom) {
  // Points as (x, z); seen from above, "counter-clockwise" runs from +Z toward +X here, which
  // is the winding whose (z, x) area is positive.
  std::vector<TTexPoint> zx;
  for (TTexPoint p : outline) zx.push_back({p.y, p.x});
  if (SignedArea(zx) < 0) std::reverse(zx.begin(), zx.end());
  const std::size_t n = zx.size();
  float perimeter = 0;
  for (std::size_t i = 0; i < n; ++i) perimeter += glm::length(zx[(i + 1) % n] - zx[i]);
  float run = 0;
  for (std::size_t i = 0; i < n; ++i) {
    TTexPoint p = zx[i], q = zx[(i + 1) % n];
    float s0 = run / perimeter;
    run += glm::length(q - p);
    float s1 = run / perimeter;
    TAffineVector a{p.y, y0, p.x}, b{q.y, y0, q.x}, c{q.y, y1, q.x}, d{p.y, y1, p.x};
    Triangle(a, b, c, {s0, 0}, {s1, 0}, {s1, 1});
    Triangle(a, c, d, {s0, 0}, {s1, 1}, {s0, 1});
  }
  TAffineVector lo{1e9f}, hi{-1e9f};
  for (TTexPoint p : zx) lo = glm::min(lo, {p.y, 0, p.x}), hi = glm::max(hi, {p.y, 0, p.x});
  auto uv = [&](TTexPoint p) {
    return TTexPoint((p.y - lo.x) / std::max(hi.x - lo.x, 1e-6f), (p.x - lo.z) / std::max(hi.z - lo.z, 1e-6f));
  };
  std::vector<int> tris = Triangulate(zx);
  for (std::size_t i = 0; i + 2 < tris.size(); i += 3) {
    TTexPoint a = zx[tris[i]], b = zx[tris[i + 1]], c = zx[tris[i + 2]];
    if (top) Triangle({a.y, y1, a.x}, {b.y, y1, b.x}, {c.y, y1, c.x}, uv(a), uv(b), uv(c));
    if (bottom) Triangle({a.y, y0, a.x}, {c.y, y0, c.x}, {b.y, y0, b.x}, uv(a), uv(c), uv(b));
  }
}

void MeshKit::PlateZY(std::span<const TTexPoint> profile, float x0, float x1) {
  // Swapping x and y turns the prism's extrusion axis (y) into x; the mirror this makes is
  // undone by the winding check in SmoothTriangle.
  TMatrix swap(0.0f);
  swap[0][1] = 1, swap[1][0] = 1, swap[2][2] = 1, swap[3][3] = 1;
  std::vector<TTexPoint> outline;
  for (TTexPoint p : profile) outline.push_back({p.y, p.x});
  Push(swap);
  Prism(outline, x0, x1);
  Pop();
}

void MeshKit::Blob(float rx, float ry, float rz, int slices, int stacks) {
  auto at = [&](int j, int i) {
    float phi = kPi * j / stacks, theta = 2 * kPi * i / slices;
    return TAffineVector(rx * std::sin(phi) * std::sin(theta), ry * std::cos(phi), rz * std::sin(phi) * std::cos(theta));
  };
  for (int j = 0; j < stacks; ++j)
    for (int i = 0; i < slices; ++i) {
      float s0 = static_cast<float>(i) / slices, s1 = static_cast<float>(i + 1) / slices;
      float t0 = 1 - static_cast<float>(j + 1) / stacks, t1 = 1 - static_cast<float>(j) / stacks;
      TAffineVector a = at(j + 1, i), b = at(j + 1, i + 1), c = at(j, i + 1), d = at(j, i);
      // The rings at the poles shrink to a point: their second triangle would have no area.
      if (j + 1 < stacks) Triangle(a, b, c, {s0, t0}, {s1, t0}, {s1, t1});
      if (j > 0) Triangle(a, c, d, {s0, t0}, {s1, t1}, {s0, t1});
    }
}

void MeshKit::Loft(std::span<const LoftSection> sections, bool capFirst, bool capLast) {
  if (sections.empty()) return;
  const float z0 = sections.front().z, z1 = sections.back().z;
  for (std::size_t s = 0; s + 1 < sections.size(); ++s) {
    const LoftSection& A = sections[s];
    const LoftSection& B = sections[s + 1];
    const std::size_t n = std::min(A.points.size(), B.points.size());
    float ta = (A.z - z0) / (z1 - z0), tb = (B.z - z0) / (z1 - z0);
    for (std::size_t k = 0; k < n; ++k) {
      std::size_t m = (k + 1) % n;
      float s0 = static_cast<float>(k) / n, s1 = static_cast<float>(k + 1) / n;
      TAffineVector a{A.points[k], A.z}, b{A.points[m], A.z}, c{B.points[m], B.z}, d{B.points[k], B.z};
      Triangle(a, b, c, {s0, ta}, {s1, ta}, {s1, tb});
      Triangle(a, c, d, {s0, ta}, {s1, tb}, {s0, tb});
    }
  }
  auto cap = [&](const LoftSection& S, bool front) {
    std::vector<int> tris = Triangulate(S.points);
    for (std::size_t i = 0; i + 2 < tris.size(); i += 3) {
      TTexPoint a = S.points[tris[i]], b = S.points[tris[i + 1]], c = S.points[tris[i + 2]];
      if (front) Triangle({a, S.z}, {b, S.z}, {c, S.z}, {0.2f, 0.2f}, {0.8f, 0.2f}, {0.5f, 0.8f});
      else Triangle({a, S.z}, {c, S.z}, {b, S.z}, {0.2f, 0.2f}, {0.5f, 0.8f}, {0.8f, 0.2f});
    }
  };
  if (capFirst) cap(sections.front(), false);
  if (capLast) cap(sections.back(), true);
}

void MeshKit::CrossedCards(float width, float height, int count) {
  for (int i = 0; i < count; ++i) {
    float a = kPi * i / count, x = std::cos(a) * width / 2, z = std::sin(a) * width / 2;
    Card({-x, 0, -z}, {x, 0, z}, {x, height, z}, {-x, height, -z}, {0, 1, 0});
  }
}

std::vector<std::uint8_t> MeshKit::Stream(const std::string& name) const {
  TMeshObjectList list;
  list.Add(MakeMeshObject(name, positions_, normals_, uvs_));
  std::vector<std::uint8_t> out;
  WriteMeshObjectList(list, out);
  return out;
}

}  // namespace forge
