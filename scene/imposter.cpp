// Imposter pictures: taken once per pictured object into one texture atlas through a
// framebuffer object, then drawn as camera-facing quads, batched at the render point.
#include "scene/imposter.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

#include "platform/glcontext.h"
#include "scene/freeform.h"
#include "scene/gl.h"
#include "scene/proxy.h"
#include "scene/rendercontext.h"

namespace {

void GrowExtents(const TGLBaseSceneObject& o, const TMatrix& toRoot, bool& any, TAffineVector& lo, TAffineVector& hi) {
  if (auto* ff = dynamic_cast<const TGLFreeForm*>(&o)) {
    TAffineVector mn, mx;
    if (ff->GetExtents(mn, mx)) {
      for (int i = 0; i < 8; ++i) {
        TAffineVector c((i & 1) ? mx.x : mn.x, (i & 2) ? mx.y : mn.y, (i & 4) ? mx.z : mn.z);
        TAffineVector p = TAffineVector(toRoot * TVector(c, 1));
        lo = any ? glm::min(lo, p) : p;
        hi = any ? glm::max(hi, p) : p;
        any = true;
      }
    }
  }
  for (int i = 0; i < o.Count(); ++i) {
    const TGLBaseSceneObject* c = o.Children(i);
    if (c->Visible) GrowExtents(*c, toRoot * c->LocalMatrix(), any, lo, hi);
  }
}

}  // namespace

struct TGLStaticImposterBuilder::PictureSet {
  GLuint texture = 0;
  int cols = 1, rows = 1, sampleSize = 1;
  float radius = 0.5f;
  TAffineVector centre{0, 0, 0};
  std::vector<int> firstSample;  // index of each corona's first picture in the atlas

  ~PictureSet() {
    if (texture && platform::HasCurrentGLContext()) glDeleteTextures(1, &texture);
  }
};

TGLStaticImposterBuilder::TGLStaticImposterBuilder() { Coronas.push_back({16, 0}); }

TGLStaticImposterBuilder::~TGLStaticImposterBuilder() { SetRenderPoint(nullptr); }

void TGLStaticImposterBuilder::SetRenderPoint(TGLRenderPoint* point) {
  if (renderPoint_ == point) return;
  if (renderPoint_) {
    auto& b = renderPoint_->builders_;
    b.erase(std::remove(b.begin(), b.end(), this), b.end());
  }
  renderPoint_ = point;
  if (point) point->builders_.push_back(this);
}

void TGLStaticImposterBuilder::Invalidate() { sets_.clear(); }

void TGLStaticImposterBuilder::ChooseSample(const TAffineVector& toViewer, int& corona, int& sample) const {
  corona = 0;
  sample = 0;
  if (Coronas.empty()) return;
  float flat = std::sqrt(toViewer.x * toViewer.x + toViewer.z * toViewer.z);
  float elevation = RadToDeg(std::atan2(toViewer.y, flat));
  float best = 1e9f;
  for (size_t i = 0; i < Coronas.size(); ++i) {
    float d = std::fabs(Coronas[i].Elevation - elevation);
    if (d < best) {
      best = d;
      corona = static_cast<int>(i);
    }
  }
  int samples = std::max(1, Coronas[static_cast<size_t>(corona)].Samples);
  float azimuth = RadToDeg(std::atan2(toViewer.x, toViewer.z));
  if (azimuth < 0) azimuth += 360;
  sample = static_cast<int>(std::lround(azimuth * samples / 360.0f)) % samples;
}

TGLStaticImposterBuilder::PictureSet* TGLStaticImposterBuilder::PicturesOf(const TGLBaseSceneObject& object,
                                                                         TRenderContext& rci) {
  auto found = sets_.find(&object);
  if (found != sets_.end()) return found->second.get();

  auto set = std::make_unique<PictureSet>();
  bool any = false;
  TAffineVector lo(-0.5f), hi(0.5f);
  GrowExtents(object, TMatrix(1.0f), any, lo, hi);
  set->centre = (lo + hi) * 0.5f;
  if (ImposterReference == irBottom) set->centre.y = lo.y;
  if (ImposterReference == irTop) set->centre.y = hi.y;
  set->radius = std::max(1e-3f, VectorLength(hi - lo) * 0.5f * std::max(0.01f, SamplingRatioBias));

  int total = 0;
  for (const auto& c : Coronas) {
    set->firstSample.push_back(total);
    total += std::max(1, c.Samples);
  }
  total = std::max(total, 1);
  set->cols = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(total))));
  set->rows = (total + set->cols - 1) / set->cols;
  GLint maxSize = 2048;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  int s = std::clamp(SampleSize, 4, 1024);
  while (s > 4 && (s * set->cols > maxSize || s * set->rows > maxSize)) s /= 2;
  set->sampleSize = s;
  int w = s * set->cols, h = s * set->rows;

  // Everything below is restored before returning: the frame being drawn goes on.
  GLint previousFbo = 0, viewport[4];
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previousFbo);
  glGetIntegerv(GL_VIEWPORT, viewport);
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();

  glGenTextures(1, &set->texture);
  glBindTexture(GL_TEXTURE_2D, set->texture);
  GLint filter = (ImposterOptions & impoNearestFiltering) ? GL_NEAREST : GL_LINEAR;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glBindTexture(GL_TEXTURE_2D, 0);
  GLuint fbo = 0, depth = 0;
  glGenRenderbuffers(1, &depth);
  glBindRenderbuffer(GL_RENDERBUFFER, depth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, w, h);
  glGenFramebuffers(1, &fbo);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, set->texture, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);

  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDisable(GL_FOG);
    glDisable(GL_BLEND);
    glEnable(GL_NORMALIZE);
    TRenderContext pictureRci;
    pictureRci.buffer = rci.buffer;
    pictureRci.fog = false;
    pictureRci.lighting = Lighting == siblStaticLighting;
    if (pictureRci.lighting) {
      glEnable(GL_LIGHTING);
      for (int i = 1; i < 8; ++i) glDisable(GL_LIGHT0 + i);
      const GLfloat ambient[] = {0.45f, 0.45f, 0.45f, 1}, diffuse[] = {0.75f, 0.75f, 0.75f, 1};
      glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
      glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
      glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
      glEnable(GL_LIGHT0);
    } else {
      glDisable(GL_LIGHTING);
    }
    float r = set->radius;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-r, r, -r, r, 0.01f, 4 * r);
    glMatrixMode(GL_MODELVIEW);
    int index = 0;
    for (size_t c = 0; c < Coronas.size(); ++c) {
      int samples = std::max(1, Coronas[c].Samples);
      float el = DegToRad(Coronas[c].Elevation);
      for (int i = 0; i < samples; ++i, ++index) {
        int col = index % set->cols, row = index / set->cols;
        glViewport(col * s, row * s, s, s);
        float az = DegToRad(360.0f * i / samples);
        TAffineVector toViewer(std::sin(az) * std::cos(el), std::sin(el), std::cos(az) * std::cos(el));
        TAffineVector up = std::fabs(toViewer.y) > 0.99f ? TAffineVector(0, 0, 1) : TAffineVector(0, 1, 0);
        TMatrix view = glm::lookAt(set->centre + toViewer * (2 * r), set->centre, up);
        glLoadMatrixf(&view[0][0]);
        if (pictureRci.lighting) {
          // Static light from above, over the viewer's shoulder: every picture is lit alike.
          TAffineVector light = VectorNormalize(toViewer + TAffineVector(0, 1.5f, 0));
          GLfloat pos[4] = {light.x, light.y, light.z, 0};
          glLightfv(GL_LIGHT0, GL_POSITION, pos);
        }
        pictureRci.view = view;
        RenderObjectAndChildren(const_cast<TGLBaseSceneObject&>(object), pictureRci);
      }
    }
  }
  glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFbo));
  glDeleteFramebuffers(1, &fbo);
  glDeleteRenderbuffers(1, &depth);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();
  glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);

  PictureSet* raw = set.get();
  sets_[&object] = std::move(set);
  return raw;
}

void TGLStaticImposterBuilder::DrawOne(const TGLImposter& imposter, const PictureSet& set, const TRenderContext& rci) {
  const TMatrix& a = imposter.AbsoluteMatrix();
  TAffineVector centre = TAffineVector(a * TVector(set.centre, 1));
  TAffineVector toViewer = TAffineVector(imposter.InvAbsoluteMatrix() * TVector(rci.cameraPosition, 1)) - set.centre;
  int corona, sample;
  ChooseSample(toViewer, corona, sample);
  int index = set.firstSample[static_cast<size_t>(corona)] + sample;
  int col = index % set.cols, row = index / set.cols;
  float s0 = static_cast<float>(col) / set.cols, s1 = static_cast<float>(col + 1) / set.cols;
  float t0 = static_cast<float>(row) / set.rows, t1 = static_cast<float>(row + 1) / set.rows;
  float scale = VectorLength(TAffineVector(a[0]));
  float r = set.radius * scale;
  // The camera's right and up axes in world space are the rows of the view matrix.
  TAffineVector right(rci.view[0][0], rci.view[1][0], rci.view[2][0]);
  TAffineVector up(rci.view[0][1], rci.view[1][1], rci.view[2][1]);
  TAffineVector rr = right * r, uu = up * r;
  const TAffineVector corners[4] = {centre - rr - uu, centre + rr - uu, centre + rr + uu, centre - rr + uu};
  const float s[4] = {s0, s1, s1, s0}, t[4] = {t0, t0, t1, t1};
  for (int i = 0; i < 4; ++i) {
    glTexCoord2f(s[i], t[i]);
    glVertex3f(corners[i].x, corners[i].y, corners[i].z);
  }
}

void TGLStaticImposterBuilder::Request(TGLImposter& imposter, TRenderContext& rci) {
  if (!imposter.ImpostoredObject) return;
  queue_.push_back(&imposter);
  if (renderPoint_) {
    // The viewer flushes whatever a missing render point left queued, so nothing
    // outlives the frame.
    auto& pending = rci.imposterBuilders;
    if (std::find(pending.begin(), pending.end(), this) == pending.end()) pending.push_back(this);
    return;
  }
  Flush(rci);
}

void TGLStaticImposterBuilder::Flush(TRenderContext& rci) {
  if (queue_.empty()) return;
  // Pictures first: taking one changes the framebuffer, so not inside glBegin.
  std::vector<std::pair<PictureSet*, TGLImposter*>> items;
  int taken = 0;
  for (TGLImposter* imp : queue_) {
    const auto found = sets_.find(imp->ImpostoredObject);
    if (found != sets_.end()) {
      items.push_back({found->second.get(), imp});
    } else if (taken < MaxNewPicturesPerFlush) {
      ++taken;
      items.push_back({PicturesOf(*imp->ImpostoredObject, rci), imp});
    }
  }
  queue_.clear();
  std::stable_sort(items.begin(), items.end(), [](const auto& x, const auto& y) { return x.first < y.first; });

  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadMatrixf(&rci.view[0][0]);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  if (ImposterOptions & impoBlended) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }
  if (ImposterOptions & impoAlphaTest) {
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, AlphaTreshold);
  }
  glColor4f(1, 1, 1, 1);
  PictureSet* bound = nullptr;
  bool open = false;
  for (auto& [set, imp] : items) {
    if (set != bound) {
      if (open) glEnd();
      glBindTexture(GL_TEXTURE_2D, set->texture);
      glBegin(GL_QUADS);
      open = true;
      bound = set;
    }
    DrawOne(*imp, *set, rci);
  }
  if (open) glEnd();
  glPopMatrix();
  glPopAttrib();
}

bool TGLStaticImposterBuilder::QuadBounds(const TGLBaseSceneObject& object, TBoundingSphere& out) const {
  const auto found = sets_.find(&object);
  if (found == sets_.end()) return false;
  // The quad's half side is the picture's radius; its corners lie that times the root of two away.
  out = {found->second->centre, found->second->radius * 1.4143f};
  return true;
}

bool TGLImposter::LocalBounds(TBoundingSphere& out) const {
  return Builder && ImpostoredObject && Builder->QuadBounds(*ImpostoredObject, out);
}

void TGLImposter::Render(TRenderContext& rci) {
  if (Builder && ImpostoredObject && !rci.picking) Builder->Request(*this, rci);
}

TGLRenderPoint::~TGLRenderPoint() {
  for (TGLStaticImposterBuilder* b : builders_) b->renderPoint_ = nullptr;
}

void TGLRenderPoint::Render(TRenderContext& rci) {
  for (TGLStaticImposterBuilder* b : builders_) b->Flush(rci);
}
