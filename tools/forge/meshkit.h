// Modelling kit of the forge: flat-shaded triangles with normals and texture coordinates,
// built from boxes, cylinders, prisms, lofts and quads through a stack of transforms, and
// written as one mesh list in its stream form. Faces wind counter-clockwise seen from outside.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "scene/vectorgeometry.h"

namespace forge {

// A rectangle of a texture in texture coordinates (t = 0 is the image's bottom row).
struct UvRect {
  float s0 = 0, t0 = 0, s1 = 1, t1 = 1;
};
// Cell (column, row) of an atlas of cells x cells squares, row 0 at the top of the image,
// inset by `inset` of a cell on every side so that filtering never reaches a neighbour.
UvRect AtlasCell(int column, int row, int cells = 4, float inset = 0.06f);

TMatrix Translation(float x, float y, float z);
TMatrix RotationX(float degrees);  // right-handed: +Y toward +Z for a positive angle
TMatrix RotationY(float degrees);  // +Z toward +X for a positive angle
TMatrix RotationZ(float degrees);  // +X toward +Y for a positive angle
TMatrix Scaling(float x, float y, float z);

// One cross-section of a loft: its points in the XY plane (counter-clockwise seen from +Z,
// that is from ahead), all at depth z. Neighbouring sections must have as many points.
struct LoftSection {
  float z;
  std::vector<TTexPoint> points;
};

class MeshKit {
 public:
  // Applied to everything added until the matching Pop; pushes compose (parent * child).
  void Push(const TMatrix& m);
  void Pop();
  // The atlas rectangle faces take their texture from; each face spreads over all of it.
  void SetRegion(UvRect r) { region_ = r; }

  // uv given within the region (0..1 on both axes). Normals from the winding unless given.
  void Triangle(TAffineVector a, TAffineVector b, TAffineVector c, TTexPoint ua = {0, 0}, TTexPoint ub = {1, 0},
                TTexPoint uc = {0.5f, 1});
  void SmoothTriangle(TAffineVector a, TAffineVector b, TAffineVector c, TAffineVector na, TAffineVector nb,
                      TAffineVector nc, TTexPoint ua, TTexPoint ub, TTexPoint uc);
  // Corners counter-clockwise seen from the front; a gets (0, 0), b (1, 0), c (1, 1), d (0, 1).
  void Quad(TAffineVector a, TAffineVector b, TAffineVector c, TAffineVector d);
  // A quad seen from both sides (two faces back to back, a hair apart).
  void Card(TAffineVector a, TAffineVector b, TAffineVector c, TAffineVector d, TAffineVector up);

  void Box(TAffineVector min, TAffineVector max, bool bottom = true);
  // A frustum along +Y from radius r0 at y0 to r1 at y1 (a cone when r1 is 0), with smooth
  // sides and flat caps. Texture: around the side on s, along the height on t.
  void Cylinder(float r0, float r1, float y0, float y1, int sides, bool caps = true);
  // A polygon of the XZ plane (counter-clockwise seen from above, convex or not but without
  // holes) extruded from y0 to y1, with top and bottom.
  void Prism(std::span<const TTexPoint> outlineXZ, float y0, float y1, bool top = true, bool bottom = true);
  // A side profile given as (z, y) points, extruded across from x0 to x1 (fins, tracks, hulls).
  void PlateZY(std::span<const TTexPoint> profileZY, float x0, float x1);
  // A low-poly ellipsoid about the origin with radii rx, ry, rz; faceted (flat normals).
  void Blob(float rx, float ry, float rz, int slices, int stacks);
  // Skins consecutive sections; closes the first and the last with flat caps when asked.
  void Loft(std::span<const LoftSection> sections, bool capFirst, bool capLast);
  // `count` vertical cards through the origin, width wide and height tall, turned evenly;
  // their normals point up so both sides light alike (grass, bushes).
  void CrossedCards(float width, float height, int count);

  std::size_t TriangleCount() const { return positions_.size() / 3; }
  const std::vector<TAffineVector>& Positions() const { return positions_; }
  const std::vector<TAffineVector>& Normals() const { return normals_; }
  // The stream form of one mesh list holding this as one mesh object.
  std::vector<std::uint8_t> Stream(const std::string& name) const;

 private:
  void Emit(TAffineVector p, TAffineVector n, TTexPoint uv);
  TMatrix current_ = TMatrix(1.0f);
  std::vector<TMatrix> stack_;
  UvRect region_;
  std::vector<TAffineVector> positions_, normals_;
  std::vector<TTexPoint> uvs_;
};

}  // namespace forge
