// Texture images: alpha rules, and upload to OpenGL on first bind.
#include "scene/texture.h"

#include <cstddef>
#include <utility>

#include "platform/bitmap.h"
#include "platform/glcontext.h"
#include "scene/gl.h"

TGLTexture::~TGLTexture() { FreeHandle(); }

void TGLTexture::SetImage(int width, int height, const std::uint8_t* rgba) {
  if (width <= 0 || height <= 0 || !rgba) {
    width_ = height_ = 0;
    rgba_.clear();
  } else {
    width_ = width;
    height_ = height;
    rgba_.assign(rgba, rgba + static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
  }
  Disabled = !HasImage();
  if (adopted_) FreeHandle();
  Changed();
}

std::vector<std::uint8_t> TGLTexture::ImageWithAlpha() const {
  std::vector<std::uint8_t> out = rgba_;
  for (std::size_t i = 0; i + 3 < out.size(); i += 4) {
    std::uint8_t r = out[i], g = out[i + 1], b = out[i + 2];
    switch (imageAlpha_) {
      case tiaSuperBlackTransparent: out[i + 3] = (r | g | b) == 0 ? 0 : 255; break;
      case tiaLuminance: out[i + 3] = static_cast<std::uint8_t>((r * 299 + g * 587 + b * 114 + 500) / 1000); break;
      case tiaOpaque: out[i + 3] = 255; break;
      case tiaDefault: break;
    }
  }
  return out;
}

void TGLTexture::FreeHandle() {
  if (handle_ && platform::HasCurrentGLContext()) {
    GLuint h = handle_;
    glDeleteTextures(1, &h);
  }
  handle_ = 0;
  uploaded_ = false;
  adopted_ = false;
}

void TGLTexture::AdoptHandle(unsigned handle, int width, int height) {
  FreeHandle();
  rgba_.clear();
  handle_ = handle;
  width_ = width;
  height_ = height;
  adopted_ = true;
  uploaded_ = true;
  Disabled = false;
}

void TGLTexture::Upload() {
  if (!handle_) {
    GLuint h = 0;
    glGenTextures(1, &h);
    handle_ = h;
  }
  glBindTexture(GL_TEXTURE_2D, handle_);
  std::vector<std::uint8_t> image = ImageWithAlpha();
  // OpenGL's first row is the bottom one: t = 0 at the image's bottom edge.
  std::size_t row = static_cast<std::size_t>(width_) * 4;
  for (int y = 0; y < height_ / 2; ++y) {
    std::uint8_t* a = image.data() + row * static_cast<std::size_t>(y);
    std::uint8_t* b = image.data() + row * static_cast<std::size_t>(height_ - 1 - y);
    for (std::size_t i = 0; i < row; ++i) std::swap(a[i], b[i]);
  }
  GLint internal = TextureFormat == tfRGB16 ? GL_RGB5 : TextureFormat == tfRGB ? GL_RGB8 : GL_RGBA8;
  static const GLint kMin[] = {GL_NEAREST, GL_LINEAR, GL_NEAREST_MIPMAP_NEAREST, GL_LINEAR_MIPMAP_NEAREST,
                               GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR_MIPMAP_LINEAR};
  GLint minFilter = kMin[MinFilter];
  bool mipmaps = MinFilter >= miNearestMipmapNearest;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, MagFilter == maNearest ? GL_NEAREST : GL_LINEAR);
  GLint wrap = TextureWrap == twBoth ? GL_REPEAT : GL_CLAMP_TO_EDGE;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (mipmaps)
    gluBuild2DMipmaps(GL_TEXTURE_2D, internal, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, image.data());
  else
    glTexImage2D(GL_TEXTURE_2D, 0, internal, width_, height_, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.data());
  uploaded_ = true;
}

void TGLTexture::Bind() {
  if (!adopted_ && (!uploaded_ || !handle_)) {
    if (!HasImage()) {
      glBindTexture(GL_TEXTURE_2D, 0);
      return;
    }
    Upload();
    return;
  }
  glBindTexture(GL_TEXTURE_2D, handle_);
}

void TGLTexture::AssignBitmap(const platform::Bitmap& bitmap) {
  int w = bitmap.Width(), h = bitmap.Height(), bits = bitmap.Bits();
  if (bitmap.Empty() || w <= 0 || h <= 0 || (bits != 24 && bits != 32)) {
    SetImage(0, 0, nullptr);
    return;
  }
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
  int step = bits / 8;
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* src = bitmap.Scanline(y);
    std::uint8_t* dst = rgba.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * 4;
    for (int x = 0; x < w; ++x, src += step, dst += 4) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
      dst[3] = step == 4 ? src[3] : 255;
    }
  }
  SetImage(w, h, rgba.data());
}
