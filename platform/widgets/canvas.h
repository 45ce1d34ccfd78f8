// What a widget paints with: a window onto its form's bitmap with its own origin and a
// clip rectangle, so a child never paints outside its parent. Also the line breaking the
// labels and hints share.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bitmap.h"
#include "platform/widgets/widget.h"

namespace platform {
class FontCache;
}

namespace platform::widgets {

class TCanvas {
 public:
  // The whole bitmap, origin at its top-left.
  TCanvas(platform::Bitmap& target, platform::FontCache& fonts);

  // A canvas for the rectangle (left, top, width, height) of this one: origin at its
  // corner, clipped to it and to this canvas's clip.
  TCanvas Sub(int left, int top, int width, int height) const;
  bool ClipEmpty() const { return clipRight_ <= clipLeft_ || clipBottom_ <= clipTop_; }

  platform::FontCache& Fonts() const { return *fonts_; }

  // Rectangles are half-open, [x1, x2) x [y1, y2), in this canvas's coordinates.
  void FillRect(int x1, int y1, int x2, int y2, platform::Color color);
  // A one-pixel outline along the inside of the rectangle.
  void FrameRect(int x1, int y1, int x2, int y2, platform::Color color);
  // A one-pixel bevel: light along the top and left, dark along the bottom and right.
  void Bevel(int x1, int y1, int x2, int y2, platform::Color light, platform::Color dark);
  // The source stretched into the rectangle (nearest sampling). Source pixels equal to the
  // key are skipped; a 32-bit source is blended by its alpha.
  void DrawBitmap(int x1, int y1, int x2, int y2, const platform::Bitmap& source,
                  std::optional<platform::Color> key = std::nullopt);
  // One line of text with its box's top-left at (x, y).
  void DrawText(int x, int y, std::string_view utf8, const TFont& font);

  int TextWidth(std::string_view utf8, const TFont& font) const;
  int LineHeight(const TFont& font) const;

 private:
  platform::Bitmap* target_;
  platform::FontCache* fonts_;
  int originX_ = 0, originY_ = 0;
  int clipLeft_ = 0, clipTop_ = 0, clipRight_ = 0, clipBottom_ = 0;  // in bitmap pixels
};

// Lines of the text as drawn in maxWidth pixels: hard breaks at '\n', soft breaks between
// words; a word wider than the line stands alone. maxWidth <= 0 breaks only at '\n'.
std::vector<std::string> WrapText(platform::FontCache& fonts, std::string_view utf8, const TFont& font,
                                  int maxWidth);

}  // namespace platform::widgets
