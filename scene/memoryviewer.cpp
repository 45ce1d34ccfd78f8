// Off-screen rendering through a framebuffer object with a colour texture and a depth buffer.
#include "scene/memoryviewer.h"

#include <algorithm>

#include "platform/bitmap.h"
#include "platform/glcontext.h"
#include "scene/gl.h"

TGLMemoryViewer::TGLMemoryViewer(int width, int height) : width_(std::max(1, width)), height_(std::max(1, height)) {}

TGLMemoryViewer::~TGLMemoryViewer() { FreeTarget(); }

void TGLMemoryViewer::SetSize(int width, int height) {
  width = std::max(1, width);
  height = std::max(1, height);
  if (width == width_ && height == height_) return;
  FreeTarget();
  width_ = width;
  height_ = height;
}

void TGLMemoryViewer::FreeTarget() {
  if (platform::HasCurrentGLContext()) {
    if (fbo_) glDeleteFramebuffers(1, &fbo_);
    if (colour_) glDeleteTextures(1, &colour_);
    if (depth_) glDeleteRenderbuffers(1, &depth_);
  }
  fbo_ = colour_ = depth_ = 0;
  triedFbo_ = false;
}

bool TGLMemoryViewer::EnsureTarget() {
  if (fbo_) return true;
  if (triedFbo_) return false;
  triedFbo_ = true;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previousFbo_);
  glGenTextures(1, &colour_);
  glBindTexture(GL_TEXTURE_2D, colour_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width_, height_, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glBindTexture(GL_TEXTURE_2D, 0);
  glGenRenderbuffers(1, &depth_);
  glBindRenderbuffer(GL_RENDERBUFFER, depth_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width_, height_);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  glGenFramebuffers(1, &fbo_);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour_, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
  bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFbo_));
  if (!complete) {
    FreeTarget();
    triedFbo_ = true;  // render to the back buffer from now on
  }
  return complete;
}

void TGLMemoryViewer::Bind() {
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previousFbo_);
  if (EnsureTarget()) {
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
  } else {
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
  }
}

void TGLMemoryViewer::Unbind() {
  if (fbo_) glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFbo_));
}

void TGLMemoryViewer::Render() {
  if (!platform::HasCurrentGLContext()) return;
  Bind();
  Buffer.SetSize(width_, height_);
  Buffer.Render();
  Unbind();
}

void TGLMemoryViewer::CopyToTexture(TGLTexture& texture) {
  if (!platform::HasCurrentGLContext()) return;
  Bind();
  GLuint tex = 0;
  glGenTextures(1, &tex);
  glBindTexture(GL_TEXTURE_2D, tex);
  glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 0, 0, width_, height_, 0);
  glGenerateMipmap(GL_TEXTURE_2D);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glBindTexture(GL_TEXTURE_2D, 0);
  Unbind();
  texture.AdoptHandle(tex, width_, height_);
}

platform::Bitmap TGLMemoryViewer::CaptureBitmap() {
  if (!platform::HasCurrentGLContext()) return platform::Bitmap(width_, height_, 24);
  Bind();
  if (fbo_) glReadBuffer(GL_COLOR_ATTACHMENT0);
  platform::Bitmap bmp = ReadFramebufferToBitmap(width_, height_);
  Unbind();
  return bmp;
}
