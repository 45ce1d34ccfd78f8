// Imposters: far trees, buildings and units drawn as one camera-facing quad textured with a
// picture of the object taken beforehand from the nearest of a set of viewing angles.
// TGLStaticImposterBuilder takes the pictures (on first need, with a GL context current) and
// draws queued imposters in one batch at its TGLRenderPoint.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "scene/baseobject.h"

// One ring of pictures around the object, taken from the given elevation.
struct TGLStaticImposterBuilderCorona {
  int Samples = 16;
  float Elevation = 0;  // degrees above the horizon
};

enum TImposterOption { impoAlphaTest = 1, impoNearestFiltering = 2, impoBlended = 4 };
enum TImposterReference { irCenter, irTop, irBottom };
enum TSIBLighting { siblNoLighting, siblStaticLighting };

class TGLImposter;
class TGLRenderPoint;

class TGLStaticImposterBuilder {
 public:
  TGLStaticImposterBuilder();
  ~TGLStaticImposterBuilder();
  TGLStaticImposterBuilder(const TGLStaticImposterBuilder&) = delete;
  TGLStaticImposterBuilder& operator=(const TGLStaticImposterBuilder&) = delete;

  // The first corona is the default one (elevation 0).
  std::vector<TGLStaticImposterBuilderCorona> Coronas;
  int SampleSize = 64;            // pixels of one picture, both ways
  float SamplingRatioBias = 1;    // the picture frames the object's bounding sphere times this
  float AlphaTreshold = 0.5f;     // texels with less alpha are not drawn
  int ImposterOptions = impoAlphaTest;
  TImposterReference ImposterReference = irCenter;
  TSIBLighting Lighting = siblStaticLighting;
  // Objects pictured in one flush at most: a frame that meets many new models takes one and
  // leaves the rest undrawn until later frames, instead of stalling on all of them.
  int MaxNewPicturesPerFlush = 1;
  // Where queued imposters are drawn; without one each imposter draws at its own place.
  // The builder and its point know each other, so whichever is freed first unhooks the other.
  TGLRenderPoint* RenderPoint() const { return renderPoint_; }
  void SetRenderPoint(TGLRenderPoint* point);

  // Drops every picture (the next draw takes them again).
  void Invalidate();
  // Number of objects pictured so far.
  int PicturedCount() const { return static_cast<int>(sets_.size()); }
  // Which picture serves a viewer at `toViewer` (in the object's frame): corona and sample.
  void ChooseSample(const TAffineVector& toViewer, int& corona, int& sample) const;
  // Where the object's quad is drawn, in the imposter's frame; false before its pictures exist.
  bool QuadBounds(const TGLBaseSceneObject& object, TBoundingSphere& out) const;

  // Called by imposters while rendering.
  void Request(TGLImposter& imposter, struct TRenderContext& rci);
  void Flush(struct TRenderContext& rci);

 private:
  struct PictureSet;
  PictureSet* PicturesOf(const TGLBaseSceneObject& object, struct TRenderContext& rci);
  void DrawOne(const TGLImposter& imposter, const PictureSet& set, const struct TRenderContext& rci);

  std::map<const TGLBaseSceneObject*, std::unique_ptr<PictureSet>> sets_;
  std::vector<TGLImposter*> queue_;
  TGLRenderPoint* renderPoint_ = nullptr;
  friend class TGLRenderPoint;
};

class TGLImposter : public TGLBaseSceneObject {
 public:
  TGLStaticImposterBuilder* Builder = nullptr;
  // The object pictured; usually a hidden theme model, shared by many imposters.
  TGLBaseSceneObject* ImpostoredObject = nullptr;

  TRenderPass RenderPass() const override { return Builder && ImpostoredObject ? TRenderPass::Opaque : TRenderPass::None; }
  bool Pickable() const override { return false; }
  void Render(TRenderContext& rci) override;
  // Known once the object's pictures are taken: the sphere through the corners of its quad.
  bool LocalBounds(TBoundingSphere& out) const override;
};

// Draws the imposters queued by the builders that name it; put it last among the scene's
// root objects so the batch comes after the rest of the opaque scene.
class TGLRenderPoint : public TGLBaseSceneObject {
 public:
  ~TGLRenderPoint() override;
  TRenderPass RenderPass() const override { return TRenderPass::Direct; }
  bool Pickable() const override { return false; }
  void Render(TRenderContext& rci) override;

 private:
  friend class TGLStaticImposterBuilder;
  std::vector<TGLStaticImposterBuilder*> builders_;
};
