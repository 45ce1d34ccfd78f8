// Sprite quads: billboards in eye space, HUD quads in pixel space.
#include "scene/sprite.h"

#include "scene/gl.h"
#include "scene/rendercontext.h"

void TGLSprite::DrawGeometry(TRenderContext& rci) {
  // Keep only the translation of the modelview so the quad faces the camera.
  TVector eye = rci.view * AbsolutePosition();
  glPushMatrix();
  glLoadIdentity();
  glTranslatef(eye.x, eye.y, eye.z);
  if (Rotation != 0) glRotatef(Rotation, 0, 0, 1);
  float w = Width * 0.5f, h = Height * 0.5f;
  glNormal3f(0, 0, 1);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0); glVertex3f(-w, -h, 0);
  glTexCoord2f(1, 0); glVertex3f(w, -h, 0);
  glTexCoord2f(1, 1); glVertex3f(w, h, 0);
  glTexCoord2f(0, 1); glVertex3f(-w, h, 0);
  glEnd();
  glPopMatrix();
}

void TGLHUDSprite::DrawGeometry(TRenderContext&) {
  // The viewer has set a pixel projection (origin top-left, Y down) and identity modelview.
  glPushMatrix();
  glTranslatef(Position.X(), Position.Y(), 0);
  if (Rotation != 0) glRotatef(-Rotation, 0, 0, 1);
  float w = Width * 0.5f, h = Height * 0.5f;
  glBegin(GL_QUADS);
  glTexCoord2f(0, YTiles); glVertex2f(-w, -h);
  glTexCoord2f(0, 0); glVertex2f(-w, h);
  glTexCoord2f(XTiles, 0); glVertex2f(w, h);
  glTexCoord2f(XTiles, YTiles); glVertex2f(w, -h);
  glEnd();
  glPopMatrix();
}
