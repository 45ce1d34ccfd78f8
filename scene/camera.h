// TGLCamera: a scene object the viewer looks through, with the projection rule the game
// counts on (focal length in the layer's millimetre-like units at 96 pixels per inch).
#pragma once

#include "scene/baseobject.h"

enum TGLCameraStyle { csPerspective, csOrthogonal };

class TGLCamera : public TGLBaseSceneObject {
 public:
  static constexpr float kPixelsPerInch = 96.0f;

  float FocalLength = 50;
  float DepthOfView = 100;
  TGLCameraStyle CameraStyle = csPerspective;
  // When set, the camera looks at the target's absolute position with its own Up.
  TGLBaseSceneObject* TargetObject = nullptr;

  // Distance of the near clipping plane for a viewer of w x h pixels.
  float NearPlane(int w, int h) const;
  float FarPlane(int w, int h) const { return NearPlane(w, h) + DepthOfView; }
  TMatrix ProjectionMatrix(int w, int h) const;
  // World to eye space.
  TMatrix ViewMatrix() const;
  // Half extents of the view at the near plane (perspective) or of the view box (orthogonal).
  void HalfExtents(int w, int h, float& halfWidth, float& halfHeight) const;
};
