// Materials: library look-up, and the OpenGL state each blending mode stands for
// (the table is in docs/scene-conventions.md).
#include "scene/material.h"

#include "platform/bitmap.h"
#include "scene/gl.h"
#include "scene/rendercontext.h"

TGLColor TGLColor::FromWinColor(unsigned color, float alpha) {
  return {(color & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f, ((color >> 16) & 0xFF) / 255.0f, alpha};
}

const TGLLibMaterial* TGLMaterial::ResolvedLib() const {
  if (!MaterialLibrary || LibMaterialName.empty()) return nullptr;
  return MaterialLibrary->GetLibMaterialByName(LibMaterialName);
}

const TGLMaterial& TGLMaterial::Resolved() const {
  const TGLLibMaterial* lib = ResolvedLib();
  return lib && &lib->Material != this ? lib->Material : *this;
}

TGLMaterial& TGLMaterial::Resolved() { return const_cast<TGLMaterial&>(static_cast<const TGLMaterial*>(this)->Resolved()); }

bool TGLMaterial::IsBlended() const {
  TGLBlendingMode m = Resolved().BlendingMode;
  return m == bmTransparency || m == bmAdditive || m == bmModulate;
}

void TGLMaterial::Apply(TRenderContext& rci, float alphaScale) {
  const TGLLibMaterial* lib = ResolvedLib();
  TGLMaterial& m = Resolved();
  switch (m.BlendingMode) {
    case bmOpaque:
      break;
    case bmTransparency:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      glDepthMask(GL_FALSE);
      break;
    case bmAdditive:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE);
      glDepthMask(GL_FALSE);
      break;
    case bmModulate:
      glEnable(GL_BLEND);
      glBlendFunc(GL_DST_COLOR, GL_ZERO);
      glDepthMask(GL_FALSE);
      break;
    case bmAlphaTest50:
      glEnable(GL_ALPHA_TEST);
      glAlphaFunc(GL_GEQUAL, 0.5f);
      break;
    case bmAlphaTest100:
      glEnable(GL_ALPHA_TEST);
      glAlphaFunc(GL_GEQUAL, 1.0f);
      break;
  }
  if (m.MaterialOptions & moNoLighting) glDisable(GL_LIGHTING);
  if (m.MaterialOptions & moIgnoreFog) glDisable(GL_FOG);
  if (m.FaceCulling == fcCull) {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
  } else if (m.FaceCulling == fcNoCull) {
    glDisable(GL_CULL_FACE);
  }
  TGLFaceProperties fp = m.FrontProperties;
  fp.Diffuse.Alpha *= alphaScale;
  TVector amb = fp.Ambient.AsVector(), dif = fp.Diffuse.AsVector(), emi = fp.Emission.AsVector(), spe = fp.Specular.AsVector();
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, &amb.x);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, &dif.x);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, &emi.x);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, &spe.x);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, fp.Shininess);
  // Unlit drawing takes its colour from the current colour.
  glColor4fv(&dif.x);
  if (!m.Texture.Disabled && (m.Texture.HasImage() || m.Texture.Handle())) {
    glEnable(GL_TEXTURE_2D);
    m.Texture.Bind();
    GLint env = m.Texture.TextureMode == tmDecal ? GL_DECAL : m.Texture.TextureMode == tmReplace ? GL_REPLACE : GL_MODULATE;
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, env);
    if (lib && (lib->TextureScale != TAffineVector(1, 1, 1) || lib->TextureOffset != TAffineVector(0, 0, 0))) {
      glMatrixMode(GL_TEXTURE);
      glLoadIdentity();
      glTranslatef(lib->TextureOffset.x, lib->TextureOffset.y, lib->TextureOffset.z);
      glScalef(lib->TextureScale.x, lib->TextureScale.y, lib->TextureScale.z);
      glMatrixMode(GL_MODELVIEW);
    }
    if (lib && !lib->Texture2Name.empty() && lib->Library()) {
      if (TGLLibMaterial* second = lib->Library()->GetLibMaterialByName(lib->Texture2Name)) {
        glActiveTexture(GL_TEXTURE1);
        glEnable(GL_TEXTURE_2D);
        second->Material.Texture.Bind();
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glActiveTexture(GL_TEXTURE0);
        rci.secondTextureBound = true;
      }
    }
  }
}

void TGLMaterial::UnApply(TRenderContext& rci) {
  if (rci.secondTextureBound) {
    glActiveTexture(GL_TEXTURE1);
    glDisable(GL_TEXTURE_2D);
    glActiveTexture(GL_TEXTURE0);
    rci.secondTextureBound = false;
  }
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDepthMask(GL_TRUE);
  glDisable(GL_CULL_FACE);
  if (rci.lighting) glEnable(GL_LIGHTING); else glDisable(GL_LIGHTING);
  if (rci.fog) glEnable(GL_FOG); else glDisable(GL_FOG);
}

TGLLibMaterial* TGLMaterialLibrary::Materials(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return materials_[static_cast<size_t>(index)].get();
}

TGLLibMaterial* TGLMaterialLibrary::Add(const std::string& name) {
  materials_.push_back(std::make_unique<TGLLibMaterial>(this));
  materials_.back()->Name = name;
  return materials_.back().get();
}

TGLLibMaterial* TGLMaterialLibrary::GetLibMaterialByName(const std::string& name) const {
  for (const auto& m : materials_)
    if (m->Name == name) return m.get();
  return nullptr;
}

int TGLMaterialLibrary::IndexOf(const std::string& name) const {
  for (size_t i = 0; i < materials_.size(); ++i)
    if (materials_[i]->Name == name) return static_cast<int>(i);
  return -1;
}

void TGLMaterialLibrary::Delete(int index) {
  if (index >= 0 && index < Count()) materials_.erase(materials_.begin() + index);
}

TGLLibMaterial* TGLMaterialLibrary::AddTextureMaterial(const std::string& name, int width, int height,
                                                      const std::uint8_t* rgba) {
  TGLLibMaterial* lm = Add(name);
  lm->Material.Texture.SetImage(width, height, rgba);
  lm->Material.Texture.MinFilter = miLinearMipmapLinear;
  lm->Material.Texture.MagFilter = maLinear;
  lm->Material.Texture.TextureMode = tmModulate;
  lm->Material.FrontProperties.Diffuse.SetColor(1, 1, 1, 1);
  return lm;
}

TGLLibMaterial* TGLMaterialLibrary::AddTextureMaterial(const std::string& name, const platform::Bitmap& bitmap) {
  TGLLibMaterial* lm = AddTextureMaterial(name, 0, 0, nullptr);
  lm->Material.Texture.AssignBitmap(bitmap);
  return lm;
}

void UseCutOutPicture(TGLMaterial& material, TGLBlendingMode blending) {
  material.BlendingMode = blending;
  material.FaceCulling = fcNoCull;
  material.Texture.Disabled = false;
  material.Texture.SetImageAlpha(tiaSuperBlackTransparent);
  material.Texture.TextureFormat = tfRGBA;
  material.Texture.TextureMode = tmModulate;
  material.Texture.TextureWrap = twNone;
}
