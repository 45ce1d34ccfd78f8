// Geometry of the simple shapes.
#include "scene/quadrics.h"

#include <algorithm>
#include <cmath>

#include "scene/gl.h"

void TGLSphere::DrawGeometry(TRenderContext&) {
  int slices = std::max(3, Slices), stacks = std::max(1, Stacks);
  float top = DegToRad(std::clamp(Top, -90.0f, 90.0f)), bottom = DegToRad(std::clamp(Bottom, -90.0f, 90.0f));
  float sign = NormalDirection == ndInside ? -1.0f : 1.0f;
  for (int j = 0; j < stacks; ++j) {
    float a0 = top + (bottom - top) * j / stacks, a1 = top + (bottom - top) * (j + 1) / stacks;
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i <= slices; ++i) {
      // Inside-facing spheres wind the other way so their inner faces are front faces.
      int k = NormalDirection == ndInside ? slices - i : i;
      float lon = 2 * 3.14159265f * k / slices;
      for (float a : {a0, a1}) {
        float c = std::cos(a);
        TAffineVector n(c * std::sin(lon), std::sin(a), c * std::cos(lon));
        glNormal3f(n.x * sign, n.y * sign, n.z * sign);
        glTexCoord2f(static_cast<float>(k) / slices, (a - bottom) / (top - bottom == 0 ? 1 : top - bottom));
        glVertex3f(n.x * Radius, n.y * Radius, n.z * Radius);
      }
    }
    glEnd();
  }
  if (TopCap != ctNone && Top < 90) {
    float a = top, c = std::cos(a);
    glBegin(GL_TRIANGLE_FAN);
    glNormal3f(0, sign, 0);
    glVertex3f(0, TopCap == ctCenter ? 0 : std::sin(a) * Radius, 0);
    for (int i = 0; i <= slices; ++i) {
      float lon = 2 * 3.14159265f * i / slices;
      glVertex3f(c * std::sin(lon) * Radius, std::sin(a) * Radius, c * std::cos(lon) * Radius);
    }
    glEnd();
  }
}

void TGLPlane::DrawGeometry(TRenderContext&) {
  int n = std::clamp(Subdivisions, 1, 1024);
  glNormal3f(0, 0, 1);
  for (int j = 0; j < n; ++j) {
    float v0 = static_cast<float>(j) / n, v1 = static_cast<float>(j + 1) / n;
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i <= n; ++i) {
      float u = static_cast<float>(i) / n;
      glTexCoord2f(u * XTiles, v1 * YTiles);
      glVertex3f((u - 0.5f) * Width, (v1 - 0.5f) * Height, 0);
      glTexCoord2f(u * XTiles, v0 * YTiles);
      glVertex3f((u - 0.5f) * Width, (v0 - 0.5f) * Height, 0);
    }
    glEnd();
  }
}

void TGLAnnulus::DrawGeometry(TRenderContext&) {
  int slices = std::max(3, Slices);
  float y0 = -Height * 0.5f, y1 = Height * 0.5f;
  auto ring = [&](float y, float inner, float outer, float ny) {
    glBegin(GL_TRIANGLE_STRIP);
    glNormal3f(0, ny, 0);
    for (int i = 0; i <= slices; ++i) {
      int k = ny > 0 ? i : slices - i;
      float a = 2 * 3.14159265f * k / slices, s = std::sin(a), c = std::cos(a);
      glTexCoord2f(static_cast<float>(k) / slices, 1); glVertex3f(outer * s, y, outer * c);
      glTexCoord2f(static_cast<float>(k) / slices, 0); glVertex3f(inner * s, y, inner * c);
    }
    glEnd();
  };
  auto side = [&](float rb, float rt, float sign) {
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i <= slices; ++i) {
      int k = sign > 0 ? i : slices - i;
      float a = 2 * 3.14159265f * k / slices, s = std::sin(a), c = std::cos(a);
      glNormal3f(s * sign, 0, c * sign);
      glVertex3f(rt * s, y1, rt * c);
      glVertex3f(rb * s, y0, rb * c);
    }
    glEnd();
  };
  if (Parts & anTop) ring(y1, TopInnerRadius, TopRadius, 1);
  if (Parts & anBottom) ring(y0, BottomInnerRadius, BottomRadius, -1);
  if (Parts & anOuterSides) side(BottomRadius, TopRadius, 1);
  if (Parts & anInnerSides) side(BottomInnerRadius, TopInnerRadius, -1);
}

void TGLLines::DrawGeometry(TRenderContext&) {
  if (Nodes.size() < 2) return;
  glPushAttrib(GL_LIGHTING_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
  glDisable(GL_LIGHTING);
  glLineWidth(LineWidth);
  glColor4f(LineColor.Red, LineColor.Green, LineColor.Blue, LineColor.Alpha);
  glBegin(Loop ? GL_LINE_LOOP : GL_LINE_STRIP);
  for (const auto& n : Nodes) glVertex3f(n.x, n.y, n.z);
  glEnd();
  glPopAttrib();
}
