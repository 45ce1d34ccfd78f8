// Simple shapes drawn by the layer: sphere (the sky dome), plane and annulus (the campaign
// map), and lines.
#pragma once

#include <vector>

#include "scene/customobject.h"

enum TGLNormalDirection { ndOutside, ndInside };
enum TGLCapType { ctNone, ctCenter, ctFlat };

class TGLSphere : public TGLCustomSceneObject {
 public:
  float Radius = 0.5f;
  int Slices = 16;
  int Stacks = 16;
  float Top = 90;      // latitude in degrees of the upper edge
  float Bottom = -90;  // latitude of the lower edge
  TGLCapType TopCap = ctNone;
  TGLCapType BottomCap = ctNone;
  TGLNormalDirection NormalDirection = ndOutside;

 protected:
  void DrawGeometry(TRenderContext& rci) override;
};

// A rectangle in the local XY plane, facing +Z, texture (0,0) at its lower left corner.
// Subdivisions split it into a grid: fog and lighting are computed at vertices, so a large
// plane needs them to look right near the eye.
class TGLPlane : public TGLCustomSceneObject {
 public:
  float Width = 1;
  float Height = 1;
  float XTiles = 1, YTiles = 1;  // texture repeats
  int Subdivisions = 1;
  void SetSize(float width, float height) { Width = width; Height = height; }

 protected:
  void DrawGeometry(TRenderContext& rci) override;
};

enum TGLAnnulusPart { anInnerSides = 1, anOuterSides = 2, anBottom = 4, anTop = 8 };

// A ring around the local Y axis between the inner and outer radius, Height tall.
class TGLAnnulus : public TGLCustomSceneObject {
 public:
  float BottomRadius = 0.5f, BottomInnerRadius = 0.3f;
  float TopRadius = 0.5f, TopInnerRadius = 0.3f;
  float Height = 1;
  int Slices = 16;
  int Stacks = 1;
  int Parts = anInnerSides | anOuterSides | anBottom | anTop;

 protected:
  void DrawGeometry(TRenderContext& rci) override;
};

// A polyline through its nodes, in the line colour, unlit.
class TGLLines : public TGLCustomSceneObject {
 public:
  std::vector<TAffineVector> Nodes;
  TGLColor LineColor{1, 1, 1, 1};
  float LineWidth = 1;
  bool Loop = false;
  void AddNode(float x, float y, float z) { Nodes.push_back({x, y, z}); }

 protected:
  void DrawGeometry(TRenderContext& rci) override;
};
