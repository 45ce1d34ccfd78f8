// Clipped drawing onto a form's bitmap, and line breaking.
#include "platform/widgets/canvas.h"

#include <algorithm>
#include <cstdint>

#include "platform/fonts.h"

namespace platform::widgets {

TCanvas::TCanvas(platform::Bitmap& target, platform::FontCache& fonts)
    : target_(&target), fonts_(&fonts), clipRight_(target.Width()), clipBottom_(target.Height()) {}

TCanvas TCanvas::Sub(int left, int top, int width, int height) const {
  TCanvas sub = *this;
  sub.originX_ = originX_ + left;
  sub.originY_ = originY_ + top;
  sub.clipLeft_ = std::max(clipLeft_, sub.originX_);
  sub.clipTop_ = std::max(clipTop_, sub.originY_);
  sub.clipRight_ = std::min(clipRight_, sub.originX_ + std::max(0, width));
  sub.clipBottom_ = std::min(clipBottom_, sub.originY_ + std::max(0, height));
  return sub;
}

void TCanvas::FillRect(int x1, int y1, int x2, int y2, platform::Color color) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  const int l = std::max(clipLeft_, originX_ + x1), r = std::min(clipRight_, originX_ + x2);
  const int t = std::max(clipTop_, originY_ + y1), b = std::min(clipBottom_, originY_ + y2);
  if (l < r && t < b) target_->FillRect(l, t, r, b, color);
}

void TCanvas::FrameRect(int x1, int y1, int x2, int y2, platform::Color color) {
  Bevel(x1, y1, x2, y2, color, color);
}

void TCanvas::Bevel(int x1, int y1, int x2, int y2, platform::Color light, platform::Color dark) {
  if (x2 - x1 < 1 || y2 - y1 < 1) return;
  FillRect(x1, y1, x2, y1 + 1, light);
  FillRect(x1, y1, x1 + 1, y2, light);
  FillRect(x1, y2 - 1, x2, y2, dark);
  FillRect(x2 - 1, y1, x2, y2, dark);
}

void TCanvas::DrawBitmap(int x1, int y1, int x2, int y2, const platform::Bitmap& source,
                         std::optional<platform::Color> key) {
  if (source.Empty() || x2 <= x1 || y2 <= y1 || target_->Bits() != 32) return;
  const int sw = source.Width(), sh = source.Height(), dw = x2 - x1, dh = y2 - y1;
  const int sbpp = source.Bits() / 8;
  const int l = std::max(clipLeft_, originX_ + x1), r = std::min(clipRight_, originX_ + x2);
  const int t = std::max(clipTop_, originY_ + y1), b = std::min(clipBottom_, originY_ + y2);
  for (int y = t; y < b; ++y) {
    const int sy = static_cast<int>(static_cast<long long>(y - originY_ - y1) * sh / dh);
    const std::uint8_t* srow = source.Scanline(sy);
    std::uint8_t* drow = target_->Scanline(y);
    for (int x = l; x < r; ++x) {
      const int sx = static_cast<int>(static_cast<long long>(x - originX_ - x1) * sw / dw);
      const std::uint8_t* s = srow + sx * sbpp;
      if (key && platform::MakeColor(s[2], s[1], s[0]) == *key) continue;
      std::uint8_t* d = drow + x * 4;
      const unsigned a = sbpp == 4 ? s[3] : 255;
      for (int c = 0; c < 3; ++c) d[c] = static_cast<std::uint8_t>((s[c] * a + d[c] * (255 - a) + 127) / 255);
      d[3] = 255;
    }
  }
}

void TCanvas::DrawText(int x, int y, std::string_view utf8, const TFont& font) {
  if (utf8.empty() || ClipEmpty()) return;
  const int bx = originX_ + x, by = originY_ + y;
  const int w = TextWidth(utf8, font), h = LineHeight(font);
  const int l = std::max(clipLeft_, bx), r = std::min(clipRight_, bx + w);
  const int t = std::max(clipTop_, by), b = std::min(clipBottom_, by + h);
  if (l >= r || t >= b) return;
  if (l == bx && t == by && r == bx + w && b == by + h) {
    target_->DrawText(bx, by, utf8, font.color, *fonts_, font.size, font.bold);
    return;
  }
  // Partly clipped: draw over a copy of the visible part only, then put that part back.
  platform::Bitmap part(r - l, b - t, 32);
  part.CopyRect(0, 0, r - l, b - t, *target_, l, t, r, b);
  part.DrawText(bx - l, by - t, utf8, font.color, *fonts_, font.size, font.bold);
  target_->CopyRect(l, t, r, b, part, 0, 0, r - l, b - t);
}

int TCanvas::TextWidth(std::string_view utf8, const TFont& font) const {
  return fonts_->TextWidth(utf8, font.size, font.bold);
}

int TCanvas::LineHeight(const TFont& font) const { return fonts_->TextHeight("", font.size, font.bold); }

std::vector<std::string> WrapText(platform::FontCache& fonts, std::string_view utf8, const TFont& font,
                                  int maxWidth) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = utf8.find('\n', start);
    std::string_view paragraph = utf8.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
    if (maxWidth <= 0) {
      lines.emplace_back(paragraph);
    } else {
      // An empty paragraph still takes its line.
      std::string line;
      std::size_t pos = 0;
      while (pos < paragraph.size()) {
        std::size_t space = paragraph.find(' ', pos);
        if (space == std::string_view::npos) space = paragraph.size();
        const std::string_view word = paragraph.substr(pos, space - pos);
        pos = space + 1;
        if (word.empty()) continue;  // runs of spaces
        if (line.empty()) {
          line = word;
        } else if (std::string joined = line + " " + std::string(word);
                   fonts.TextWidth(joined, font.size, font.bold) <= maxWidth) {
          line = std::move(joined);
        } else {
          lines.push_back(std::move(line));
          line = word;
        }
      }
      lines.push_back(std::move(line));
    }
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace platform::widgets
