// One frame of the scene: camera matrices, lights and fog, then the opaque pass in tree
// order, the blended pass, and the HUD over everything. Also projection and picking.
#include "scene/viewer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "platform/bitmap.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "scene/customobject.h"
#include "scene/gl.h"
#include "scene/glextensions.h"
#include "scene/imposter.h"
#include "scene/rendercontext.h"

namespace {

void CollectLights(const TGLBaseSceneObject& o, std::vector<const TGLLightSource*>& out) {
  for (int i = 0; i < o.Count(); ++i) {
    const TGLBaseSceneObject* c = o.Children(i);
    if (auto* l = dynamic_cast<const TGLLightSource*>(c); l && l->Shining) out.push_back(l);
    CollectLights(*c, out);
  }
}

void DrawAxes() {
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glBegin(GL_LINES);
  glColor3f(1, 0, 0); glVertex3f(0, 0, 0); glVertex3f(1, 0, 0);
  glColor3f(0, 1, 0); glVertex3f(0, 0, 0); glVertex3f(0, 1, 0);
  glColor3f(0, 0, 1); glVertex3f(0, 0, 0); glVertex3f(0, 0, 1);
  glEnd();
  glPopAttrib();
}

}  // namespace

void TGLSceneBuffer::Prepare(TRenderContext& rci) {
  rci.camera = Camera;
  rci.buffer = this;
  rci.viewportWidth = width_;
  rci.viewportHeight = height_;
  rci.projection = Camera->ProjectionMatrix(width_, height_);
  rci.view = Camera->ViewMatrix();
  rci.frustum = TFrustum(rci.projection * rci.view);
  rci.cameraPosition = Camera->AbsoluteAffinePosition();
  if (TGLScene* scene = Camera->Scene()) scene->Objects().BuildList(rci);
}

void TGLSceneBuffer::SetupLights(TRenderContext& rci) {
  std::vector<const TGLLightSource*> lights;
  if (TGLScene* scene = Camera->Scene()) CollectLights(scene->Objects(), lights);
  TVector ambient = AmbientColor.AsVector();
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, &ambient.x);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
  for (int i = 0; i < 8; ++i) glDisable(GL_LIGHT0 + i);
  int n = std::min<int>(8, static_cast<int>(lights.size()));
  for (int i = 0; i < n; ++i) {
    const TGLLightSource& l = *lights[static_cast<size_t>(i)];
    GLenum id = GL_LIGHT0 + static_cast<GLenum>(i);
    glLoadMatrixf(&(rci.view * l.AbsoluteMatrix())[0][0]);
    TVector a = l.Ambient.AsVector(), d = l.Diffuse.AsVector(), s = l.Specular.AsVector();
    glLightfv(id, GL_AMBIENT, &a.x);
    glLightfv(id, GL_DIFFUSE, &d.x);
    glLightfv(id, GL_SPECULAR, &s.x);
    if (l.LightStyle == lsParallel) {
      // A directional light is given by the direction toward the light.
      TAffineVector toLight = VectorNormalize(l.SpotDirection.AsAffineVector());
      GLfloat pos[4] = {toLight.x, toLight.y, toLight.z, 0};
      glLightfv(id, GL_POSITION, pos);
      glLightf(id, GL_SPOT_CUTOFF, 180);
    } else {
      GLfloat pos[4] = {0, 0, 0, 1};
      glLightfv(id, GL_POSITION, pos);
      if (l.LightStyle == lsSpot) {
        TAffineVector sd = l.SpotDirection.AsAffineVector();
        glLightfv(id, GL_SPOT_DIRECTION, &sd.x);
        glLightf(id, GL_SPOT_CUTOFF, 45);
      } else {
        glLightf(id, GL_SPOT_CUTOFF, 180);
      }
    }
    glEnable(id);
  }
  rci.lighting = n > 0;
  if (rci.lighting) glEnable(GL_LIGHTING); else glDisable(GL_LIGHTING);
}

void TGLSceneBuffer::DrawPasses(TRenderContext& rci) {
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(&rci.projection[0][0]);
  glMatrixMode(GL_MODELVIEW);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glDepthMask(GL_TRUE);
  glShadeModel(GL_SMOOTH);
  glEnable(GL_NORMALIZE);  // scaled proxies keep unit normals
  glDisable(GL_CULL_FACE);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_TEXTURE_2D);
  SetupLights(rci);

  rci.fog = FogEnable;
  if (FogEnable) {
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    TVector fc = FogEnvironment.FogColor.AsVector();
    glFogfv(GL_FOG_COLOR, &fc.x);
    glFogf(GL_FOG_START, FogEnvironment.FogStart);
    glFogf(GL_FOG_END, FogEnvironment.FogEnd);
    glHint(GL_FOG_HINT, GL_NICEST);
    if (HasGLExtension("GL_NV_fog_distance"))
      glFogi(GL_FOG_DISTANCE_MODE_NV, FogEnvironment.FogDistance == fdEyePlane ? GL_EYE_PLANE_ABSOLUTE_NV : GL_EYE_RADIAL_NV);
  } else {
    glDisable(GL_FOG);
  }

  for (TGLBaseSceneObject* o : rci.opaque) {
    glLoadMatrixf(&(rci.view * o->AbsoluteMatrix())[0][0]);
    o->Render(rci);
    if (o->ShowAxes) DrawAxes();
  }
  for (TGLStaticImposterBuilder* b : rci.imposterBuilders) b->Flush(rci);
  for (TGLBaseSceneObject* o : rci.blended) {
    glLoadMatrixf(&(rci.view * o->AbsoluteMatrix())[0][0]);
    o->Render(rci);
  }

  if (!rci.hud.empty()) {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    rci.lighting = false;
    rci.fog = false;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width_, height_, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (TGLBaseSceneObject* o : rci.hud) o->Render(rci);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(&rci.projection[0][0]);
    glMatrixMode(GL_MODELVIEW);
  }
  glDisable(GL_FOG);
  glDisable(GL_LIGHTING);
}

void TGLSceneBuffer::Render() {
  double t0 = platform::NowSeconds();
  glViewport(0, 0, width_, height_);
  if (ClearBeforeRender) {
    TGLColor bg = TGLColor::FromWinColor(BackgroundColor);
    glClearColor(bg.Red, bg.Green, bg.Blue, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  if (Camera) {
    TRenderContext rci;
    Prepare(rci);
    DrawPasses(rci);
  }
  lastRenderTime_ = platform::NowSeconds() - t0;
}

TVector TGLSceneBuffer::WorldToScreen(const TVector& world) const {
  if (!Camera) return {0, 0, 0, 0};
  glm::vec4 viewport(0, 0, width_, height_);
  TAffineVector p = glm::project(TAffineVector(world), Camera->ViewMatrix(), Camera->ProjectionMatrix(width_, height_), viewport);
  return {p.x, p.y, p.z, 1};
}

TVector TGLSceneBuffer::ScreenToWorld(float x, float y, float depth) const {
  if (!Camera) return {0, 0, 0, 1};
  glm::vec4 viewport(0, 0, width_, height_);
  TAffineVector p = glm::unProject(TAffineVector(x, y, depth), Camera->ViewMatrix(), Camera->ProjectionMatrix(width_, height_), viewport);
  return {p.x, p.y, p.z, 1};
}

TVector TGLSceneBuffer::ScreenToVector(float x, float y) const {
  if (!Camera) return {0, 0, 1, 0};
  TVector nearP = ScreenToWorld(x, y, 0), farP = ScreenToWorld(x, y, 1);
  return VectorNormalize(TVector(TAffineVector(farP - nearP), 0));
}

float TGLSceneBuffer::PixelDepth(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 1;
  GLfloat z = 1;
  glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &z);
  return z;
}

TGLBaseSceneObject* TGLSceneBuffer::GetPickedObject(int x, int y) {
  if (!Camera) return nullptr;
  TRenderContext rci;
  Prepare(rci);
  rci.picking = true;
  std::vector<TGLBaseSceneObject*> candidates;
  for (auto* list : {&rci.opaque, &rci.blended})
    for (TGLBaseSceneObject* o : *list)
      if (o->Pickable()) candidates.push_back(o);
  if (candidates.empty()) return nullptr;

  std::vector<GLuint> hits(4 * candidates.size() + 64);
  glSelectBuffer(static_cast<GLsizei>(hits.size()), hits.data());
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(0);
  GLint viewport[4] = {0, 0, width_, height_};
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPickMatrix(x, height_ - y, 3, 3, viewport);
  glMultMatrixf(&rci.projection[0][0]);
  glMatrixMode(GL_MODELVIEW);
  glEnable(GL_DEPTH_TEST);
  for (size_t i = 0; i < candidates.size(); ++i) {
    glLoadName(static_cast<GLuint>(i + 1));
    glLoadMatrixf(&(rci.view * candidates[i]->AbsoluteMatrix())[0][0]);
    candidates[i]->Render(rci);
  }
  GLint count = glRenderMode(GL_RENDER);
  TGLBaseSceneObject* best = nullptr;
  GLuint bestDepth = ~0u;
  // Each record: name count, min depth, max depth, names.
  size_t at = 0;
  for (GLint h = 0; h < count && at + 3 <= hits.size(); ++h) {
    GLuint names = hits[at], zmin = hits[at + 1];
    if (names > 0 && at + 3 < hits.size()) {
      GLuint name = hits[at + 3];
      if (name >= 1 && name <= candidates.size() && zmin <= bestDepth) {
        bestDepth = zmin;
        best = candidates[name - 1];
      }
    }
    at += 3 + names;
  }
  return best;
}

int TGLSceneViewer::Width() const { return window_.Width(); }
int TGLSceneViewer::Height() const { return window_.Height(); }

void TGLSceneViewer::Render() {
  if (!Visible || !window_.IsOpen()) return;
  window_.MakeCurrent();
  Buffer.SetSize(std::max(1, Width()), std::max(1, Height()));
  Buffer.Render();
  if (OnAfterRender) OnAfterRender();
  window_.SwapBuffers();
  invalid_ = false;
}

platform::Bitmap TGLSceneViewer::CreateSnapshotBitmap() {
  window_.MakeCurrent();
  Buffer.SetSize(std::max(1, Width()), std::max(1, Height()));
  Buffer.Render();
  glFinish();
  glReadBuffer(GL_BACK);
  return ReadFramebufferToBitmap(Buffer.Width(), Buffer.Height());
}

platform::Bitmap ReadFramebufferToBitmap(int width, int height) {
  platform::Bitmap bmp(width, height, 24);
  if (bmp.Empty()) return bmp;
  std::vector<std::uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, rgb.data());
  for (int y = 0; y < height; ++y) {
    // GL's first row is the bottom one.
    const std::uint8_t* src = rgb.data() + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width) * 3;
    std::memcpy(bmp.Scanline(y), src, static_cast<size_t>(width) * 3);
  }
  return bmp;
}
