// TGLTexture: a texture image kept in memory and uploaded to OpenGL on first use, so
// materials can be built and changed with no GL context (headless worlds and tests).
#pragma once

#include <cstdint>
#include <vector>

namespace platform { class Bitmap; }

enum TGLTextureImageAlpha { tiaDefault, tiaSuperBlackTransparent, tiaLuminance, tiaOpaque };
enum TGLTextureFormat { tfDefault, tfRGBA, tfRGB16, tfRGB };
enum TGLTextureMode { tmModulate, tmDecal, tmReplace };
enum TGLTextureWrap { twBoth, twNone };
enum TGLMinFilter { miNearest, miLinear, miNearestMipmapNearest, miLinearMipmapNearest, miNearestMipmapLinear, miLinearMipmapLinear };
enum TGLMagFilter { maNearest, maLinear };
enum TGLTextureCompression { tcDefault, tcNone };

class TGLTexture {
 public:
  TGLTexture() = default;
  ~TGLTexture();
  TGLTexture(const TGLTexture&) = delete;
  TGLTexture& operator=(const TGLTexture&) = delete;

  bool Disabled = true;
  TGLTextureImageAlpha ImageAlpha() const { return imageAlpha_; }
  void SetImageAlpha(TGLTextureImageAlpha a) { imageAlpha_ = a; Changed(); }
  TGLTextureFormat TextureFormat = tfDefault;
  TGLTextureMode TextureMode = tmDecal;
  TGLTextureWrap TextureWrap = twBoth;
  // One mipmap level a pixel, not a blend of two: on the software renderer the blend costs
  // a tenth of the frame, and on the game's busy ground textures it shows no difference.
  TGLMinFilter MinFilter = miLinearMipmapNearest;
  TGLMagFilter MagFilter = maLinear;
  TGLTextureCompression Compression = tcDefault;

  // Copies the bitmap into the texture's own image (24- or 32-bit); enables the texture.
  void AssignBitmap(const platform::Bitmap& bitmap);
  // rgba: width * height * 4 bytes, top row first.
  void SetImage(int width, int height, const std::uint8_t* rgba);
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool HasImage() const { return width_ > 0 && height_ > 0; }
  // The image after ImageAlpha is applied, top row first.
  std::vector<std::uint8_t> ImageWithAlpha() const;

  // GL side, valid only with a current context: binds the texture, uploading it first if needed.
  void Bind();
  // Adopts a GL texture made elsewhere (a render target); the texture frees it.
  void AdoptHandle(unsigned handle, int width, int height);
  unsigned Handle() const { return handle_; }
  void FreeHandle();

 private:
  void Changed() { uploaded_ = false; }
  void Upload();

  TGLTextureImageAlpha imageAlpha_ = tiaDefault;
  int width_ = 0, height_ = 0;
  std::vector<std::uint8_t> rgba_;
  unsigned handle_ = 0;
  bool uploaded_ = false;
  bool adopted_ = false;
};
