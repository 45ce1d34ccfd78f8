// Text on bitmaps: SDL2_ttf renders a line, which is blended over the bitmap's pixels.
// Kept apart from the canvas so the BMP reader builds without the font engine.
#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/bitmap.h"
#include "platform/fonts.h"

namespace platform {

bool Bitmap::DrawText(int x, int y, std::string_view utf8, Color color, FontCache& fonts, int pixelSize,
                      bool bold) {
  TTF_Font* font = fonts.Font(pixelSize, bold);
  if (font == nullptr) return false;
  if (utf8.empty() || Empty()) return true;
  const SDL_Color fg{static_cast<Uint8>(RedOf(color)), static_cast<Uint8>(GreenOf(color)),
                     static_cast<Uint8>(BlueOf(color)), 255};
  SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, std::string(utf8).c_str(), fg);
  if (rendered == nullptr) return false;
  SDL_Surface* text = rendered;
  if (rendered->format->format != SDL_PIXELFORMAT_ARGB8888) {
    text = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (text == nullptr) return false;
  }

  const int bpp = surface_->format->BytesPerPixel;
  // Only the part of the text that falls on the bitmap.
  const auto clip = [](long long from, long long to, int size) {
    return std::pair<int, int>(static_cast<int>(std::clamp<long long>(from, 0, size)),
                               static_cast<int>(std::clamp<long long>(to, 0, size)));
  };
  const auto [left, right] = clip(x, static_cast<long long>(x) + text->w, Width());
  const auto [top, bottom] = clip(y, static_cast<long long>(y) + text->h, Height());
  const std::uint8_t ink[3] = {static_cast<std::uint8_t>(BlueOf(color)),
                               static_cast<std::uint8_t>(GreenOf(color)),
                               static_cast<std::uint8_t>(RedOf(color))};
  for (int py = top; py < bottom; ++py) {
    const auto* trow = reinterpret_cast<const Uint32*>(static_cast<const std::uint8_t*>(text->pixels) +
                                                       static_cast<std::ptrdiff_t>(py - y) * text->pitch);
    std::uint8_t* drow = Scanline(py);
    for (int px = left; px < right; ++px) {
      const unsigned a = trow[px - x] >> 24;
      if (a == 0) continue;
      std::uint8_t* d = drow + px * bpp;
      for (int c = 0; c < 3; ++c)
        d[c] = static_cast<std::uint8_t>((ink[c] * a + d[c] * (255 - a) + 127) / 255);
      if (bpp == 4) d[3] = static_cast<std::uint8_t>(a + (d[3] * (255 - a) + 127) / 255);
    }
  }
  SDL_FreeSurface(text);
  return true;
}

}  // namespace platform
