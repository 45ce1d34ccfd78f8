// A bitmap the game draws into and reads pixels from (maps, textures, screenshots):
// 24-bit (B, G, R bytes, as BMP stores them) or 32-bit (B, G, R, A), with the few canvas
// operations the game uses, text through the FontCache, and BMP reading and writing.
// Rectangles are half-open, [x1, x2) x [y1, y2), corners in any order, and every
// drawing call clips to the bitmap; nothing here trusts its arguments or file bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct SDL_Surface;

namespace platform {

class FontCache;

// A colour as the game's windows store it: 0x00BBGGRR, red in the low byte.
using Color = std::uint32_t;
constexpr Color MakeColor(int r, int g, int b) {
  return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

// Largest width or height of a bitmap, made or read.
inline constexpr int kMaxBitmapSide = 16384;

// What a BMP file's headers say, once they have passed every check.
struct BmpInfo {
  int width = 0;
  int height = 0;  // always positive; see topDown
  int bits = 0;    // 1, 4, 8, 24 or 32
  bool topDown = false;
  std::size_t length = 0;  // bytes the file occupies: its stated size, at least through the pixels
};

// Checks a BMP file's headers against the bytes: magic, sizes, offsets, depth,
// compression, palette and pixel rows. False with a short error otherwise.
bool InspectBmp(std::span<const std::uint8_t> bytes, BmpInfo& info, std::string& error);

class Bitmap {
 public:
  Bitmap() = default;
  // An empty bitmap when the size or depth is refused (see Create).
  Bitmap(int width, int height, int bits = 24);
  ~Bitmap();
  Bitmap(const Bitmap& other);
  Bitmap& operator=(const Bitmap& other);
  Bitmap(Bitmap&& other) noexcept;
  Bitmap& operator=(Bitmap&& other) noexcept;

  // A black bitmap (alpha 0 when 32-bit). Size 0 makes it empty. False, with the bitmap
  // unchanged, for bits other than 24 and 32 or sides outside 0..kMaxBitmapSide.
  bool Create(int width, int height, int bits);
  // New size, same depth; the overlapping top-left part is kept, new area is black.
  bool Resize(int width, int height);
  void Clear();

  bool Empty() const { return surface_ == nullptr; }
  int Width() const;
  int Height() const;
  int Bits() const;   // 24 or 32; 0 when empty
  int Pitch() const;  // bytes from one row to the next

  // Row y's first byte (rows top to bottom), or null when y is out of range.
  std::uint8_t* Scanline(int y);
  const std::uint8_t* Scanline(int y) const;
  // For the rest of the platform layer (texture upload, screen capture).
  SDL_Surface* Surface() const { return surface_; }

  // Out of range: Pixel answers 0, SetPixel does nothing. In a 32-bit bitmap SetPixel,
  // FillRect and the ellipses write opaque pixels.
  Color Pixel(int x, int y) const;
  void SetPixel(int x, int y, Color color);

  void FillRect(int x1, int y1, int x2, int y2, Color color);
  // The ellipse inscribed in the rectangle: the pixels whose centres lie inside it.
  void FillEllipse(int x1, int y1, int x2, int y2, Color color);
  // One pixel wide: the filled ellipse's pixels that touch an outside pixel edge-on.
  void OutlineEllipse(int x1, int y1, int x2, int y2, Color color);

  // Copies source rectangle s into destination rectangle d, stretched by nearest
  // sampling; source pixels outside the source are skipped. Depths may differ: alpha is
  // copied between 32-bit bitmaps and opaque from a 24-bit one.
  void CopyRect(int dx1, int dy1, int dx2, int dy2, const Bitmap& source, int sx1, int sy1, int sx2, int sy2);
  void StretchDraw(int x1, int y1, int x2, int y2, const Bitmap& source);
  void Draw(int x, int y, const Bitmap& source);

  // One line of UTF-8 text with its box's top-left at (x, y), anti-aliased over the
  // pixels below. False when the font cannot be had. Its box is the FontCache's
  // TextWidth x TextHeight.
  bool DrawText(int x, int y, std::string_view utf8, Color color, FontCache& fonts, int pixelSize, bool bold);

  // Replace the contents with a BMP file's picture, as 32-bit when the file is 32-bit
  // and 24-bit otherwise. On failure the bitmap is unchanged and error says why.
  bool LoadBmpFromMemory(std::span<const std::uint8_t> bytes, std::string& error);
  bool LoadBmpFile(const std::string& path, std::string& error);

  // The bitmap as a BMP file in its own depth (empty for an empty bitmap).
  std::vector<std::uint8_t> EncodeBmp() const;
  // Written to a temporary file beside the target and renamed over it, so a failed
  // write never leaves half a picture behind.
  bool SaveBmp(const std::string& path, std::string& error) const;

 private:
  void Adopt(SDL_Surface* surface);

  SDL_Surface* surface_ = nullptr;
};

}  // namespace platform
