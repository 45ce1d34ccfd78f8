// TGLMaterial, TGLLibMaterial and TGLMaterialLibrary: how a drawable looks. Materials are
// plain data until drawn; applying one sets the OpenGL state its blending mode needs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "scene/texture.h"
#include "scene/vectorgeometry.h"

struct TRenderContext;
class TGLMaterialLibrary;

enum TGLBlendingMode { bmOpaque, bmTransparency, bmAdditive, bmAlphaTest50, bmAlphaTest100, bmModulate };
enum TGLMaterialOption { moIgnoreFog = 1, moNoLighting = 2 };
enum TGLFaceCulling { fcBufferDefault, fcCull, fcNoCull };

struct TGLColor {
  float Red = 0, Green = 0, Blue = 0, Alpha = 1;
  TVector AsVector() const { return {Red, Green, Blue, Alpha}; }
  void SetColor(float r, float g, float b, float a = 1) { Red = r; Green = g; Blue = b; Alpha = a; }
  // From a window colour: red in the low byte.
  static TGLColor FromWinColor(unsigned color, float alpha = 1);
};

struct TGLFaceProperties {
  TGLColor Ambient{0.2f, 0.2f, 0.2f, 1};
  TGLColor Diffuse{0.8f, 0.8f, 0.8f, 1};
  TGLColor Emission{0, 0, 0, 1};
  TGLColor Specular{0, 0, 0, 1};
  float Shininess = 0;
};

class TGLMaterial {
 public:
  TGLMaterial() = default;
  TGLMaterial(const TGLMaterial&) = delete;
  TGLMaterial& operator=(const TGLMaterial&) = delete;

  TGLMaterialLibrary* MaterialLibrary = nullptr;
  std::string LibMaterialName;
  TGLBlendingMode BlendingMode = bmOpaque;
  int MaterialOptions = 0;  // TGLMaterialOption flags
  TGLFaceCulling FaceCulling = fcBufferDefault;
  TGLFaceProperties FrontProperties;
  TGLTexture Texture;

  // The material that really draws: the library's when a library material is named and found.
  const TGLMaterial& Resolved() const;
  TGLMaterial& Resolved();
  bool IsBlended() const;  // transparency or additive: drawn after the opaque pass

  // GL side. alphaScale multiplies the diffuse alpha (a sprite's AlphaChannel).
  void Apply(TRenderContext& rci, float alphaScale = 1) ;
  void UnApply(TRenderContext& rci);

 private:
  const class TGLLibMaterial* ResolvedLib() const;
};

// A picture whose pure black is cut out, seen from both sides and modulated by the material's
// colour: leaves, sprites, HUD pictures. The blending decides how the cut-out edge is drawn.
void UseCutOutPicture(TGLMaterial& material, TGLBlendingMode blending);

class TGLLibMaterial {
 public:
  explicit TGLLibMaterial(TGLMaterialLibrary* owner) : owner_(owner) {}
  std::string Name;
  TGLMaterial Material;
  TAffineVector TextureScale{1, 1, 1};
  TAffineVector TextureOffset{0, 0, 0};
  // A second library material whose texture is modulated over this one (texture unit 1).
  std::string Texture2Name;
  TGLMaterialLibrary* Library() const { return owner_; }

 private:
  TGLMaterialLibrary* owner_;
};

class TGLMaterialLibrary {
 public:
  TGLMaterialLibrary() = default;
  TGLMaterialLibrary(const TGLMaterialLibrary&) = delete;
  TGLMaterialLibrary& operator=(const TGLMaterialLibrary&) = delete;

  int Count() const { return static_cast<int>(materials_.size()); }
  TGLLibMaterial* Materials(int index) const;
  TGLLibMaterial* Add(const std::string& name);
  TGLLibMaterial* GetLibMaterialByName(const std::string& name) const;
  int IndexOf(const std::string& name) const;
  void Delete(int index);
  void Clear() { materials_.clear(); }
  // A named material textured with the bitmap: mip-mapped linear minification,
  // linear magnification, modulate.
  TGLLibMaterial* AddTextureMaterial(const std::string& name, const platform::Bitmap& bitmap);
  TGLLibMaterial* AddTextureMaterial(const std::string& name, int width, int height, const std::uint8_t* rgba);

 private:
  std::vector<std::unique_ptr<TGLLibMaterial>> materials_;
};
