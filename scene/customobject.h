// TGLCustomSceneObject: a scene object that draws geometry with a material. Subclasses
// only describe their geometry; binding and unbinding the material happens here.
#pragma once

#include "scene/baseobject.h"
#include "scene/material.h"

class TGLCustomSceneObject : public TGLBaseSceneObject {
 public:
  TGLMaterial Material;

  TRenderPass RenderPass() const override {
    return Material.IsBlended() ? TRenderPass::Blended : TRenderPass::Opaque;
  }
  void Render(TRenderContext& rci) override;

 protected:
  // Geometry in the object's local frame; the material is already applied.
  virtual void DrawGeometry(TRenderContext& rci) = 0;
  // Alpha multiplier applied to the material's diffuse alpha.
  virtual float AlphaScale() const { return 1; }
};

// TGLLightSource: the lights of the scene, gathered by the viewer before each frame.
enum TGLLightStyle { lsSpot, lsOmni, lsParallel };

class TGLLightSource : public TGLBaseSceneObject {
 public:
  TGLLightSource() : SpotDirection(nullptr, {0, 0, -1, 0}) {}
  TGLLightStyle LightStyle = lsOmni;
  // For a parallel light: the direction toward the light (where the sun stands), in the
  // light's frame; for a spot light: the direction it points.
  TGLCoordinates SpotDirection;
  TGLColor Ambient{0, 0, 0, 1};
  TGLColor Diffuse{1, 1, 1, 1};
  TGLColor Specular{1, 1, 1, 1};
  bool Shining = true;
};
