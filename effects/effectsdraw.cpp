// Drawing of the particles: the game's own GL, run from the world's direct-drawing callback.
// One vertex array for the whole batch: with a big explosion on screen, a draw call per
// particle costs Mesa's software renderer more than the pixels do.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "effects/effects.h"
#include "scene/gl.h"
#include "scene/rendercontext.h"

namespace {

// Below this, a disc's centre adds less than half a step of an 8-bit colour: nothing shows.
constexpr float kInvisibleAlpha = 1.0f / 1024;

}  // namespace

void TTRVEffects::Draw(const TRenderContext& rci) {
  if (particles_.empty()) return;

  // Back to front from the eye that draws, so each disc blends over what lies behind it. A
  // disc whose colour has faded out entirely (dust and smoke spend the end of their lives so),
  // or that has no rim, would leave every pixel as it was: it is not drawn at all.
  drawOrder_.clear();
  for (int i = 0; i < ParticleCount(); ++i) {
    const TTRVFX& p = particles_[static_cast<std::size_t>(i)];
    if (p.segments < 1 || p.Color().a < kInvisibleAlpha) continue;
    const TAffineVector off = p.position - rci.cameraPosition;
    drawOrder_.emplace_back(VectorDotProduct(off, off), i);
  }
  std::sort(drawOrder_.begin(), drawOrder_.end(), [](const auto& a, const auto& b) { return a.first > b.first; });

  // The camera's right and up axes in world space are the rows of the view matrix.
  const TMatrix& view = rci.view;
  const TAffineVector right = VectorNormalize(TAffineVector(view[0][0], view[1][0], view[2][0]));
  const TAffineVector up = VectorNormalize(TAffineVector(view[0][1], view[1][1], view[2][1]));

  vertices_.clear();
  indices_.clear();
  for (const auto& [distance, index] : drawOrder_) {
    const TTRVFX& p = particles_[static_cast<std::size_t>(index)];
    const int segments = p.segments;
    if (rims_.size() <= static_cast<std::size_t>(segments)) rims_.resize(static_cast<std::size_t>(segments) + 1);
    auto& rim = rims_[static_cast<std::size_t>(segments)];
    if (rim.empty()) {
      for (int k = 0; k <= segments; ++k) {
        const double a = k * 2 * std::numbers::pi / segments;
        rim.emplace_back(static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a)));
      }
    }
    const TVector c = p.Color();
    const TAffineVector r = right * p.size, u = up * p.size;
    const Vertex centre{p.position.x, p.position.y, p.position.z, c.r, c.g, c.b, c.a};
    auto rimVertex = [&](int k) {
      const TAffineVector v = p.position + r * rim[static_cast<std::size_t>(k)].first +
                              u * rim[static_cast<std::size_t>(k)].second;
      return Vertex{v.x, v.y, v.z, c.r, c.g, c.b, 0};  // the disc fades out toward its rim
    };
    // The fan around the centre, as separate triangles so that all discs go in one call; the
    // triangles share their vertices, each transformed once.
    const auto first = static_cast<std::uint32_t>(vertices_.size());
    vertices_.push_back(centre);
    for (int k = 0; k <= segments; ++k) vertices_.push_back(rimVertex(k));
    for (std::uint32_t k = 1; k <= static_cast<std::uint32_t>(segments); ++k)
      indices_.insert(indices_.end(), {first, first + k, first + k + 1});
  }
  if (vertices_.empty()) return;

  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  // Particles live in world coordinates, whatever frame the callback was placed in.
  glLoadMatrixf(&view[0][0]);
  glDisable(GL_CULL_FACE);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDepthFunc(GL_LEQUAL);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &vertices_[0].x);
  glColorPointer(4, GL_FLOAT, sizeof(Vertex), &vertices_[0].r);
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices_.size()), GL_UNSIGNED_INT, indices_.data());
  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
}
