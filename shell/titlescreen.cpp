// The title picture: a sky gradient with the screen theme's pictures blended over it.
#include "shell/titlescreen.h"

#include <algorithm>
#include <string>
#include <vector>

#include "world/theme.h"

namespace {

// The material's picture stretched into the box and blended by its alpha.
void BlendPicture(platform::Bitmap& target, const TTRVTheme& theme, const std::string& material, int left, int top,
                  int width, int height) {
  const TGLLibMaterial* m = theme.materialLibrary.GetLibMaterialByName(material);
  if (m == nullptr || width <= 0 || height <= 0) return;
  const TGLTexture& texture = m->Material.Texture;
  if (!texture.HasImage()) return;
  const std::vector<std::uint8_t> rgba = texture.ImageWithAlpha();
  const int sw = texture.Width(), sh = texture.Height();
  for (int y = std::max(0, top); y < std::min(target.Height(), top + height); ++y) {
    const int sy = (y - top) * sh / height;
    for (int x = std::max(0, left); x < std::min(target.Width(), left + width); ++x) {
      const int sx = (x - left) * sw / width;
      const std::uint8_t* s = &rgba[(static_cast<std::size_t>(sy) * sw + sx) * 4];
      const int a = s[3];
      if (a == 0) continue;
      const platform::Color d = target.Pixel(x, y);
      const auto mix = [a](int src, int dst) { return (src * a + dst * (255 - a)) / 255; };
      target.SetPixel(x, y, platform::MakeColor(mix(s[0], platform::RedOf(d)), mix(s[1], platform::GreenOf(d)),
                                                mix(s[2], platform::BlueOf(d))));
    }
  }
}

}  // namespace

platform::Bitmap TitleScreen(const TTRVTheme& theme, int width, int height) {
  platform::Bitmap picture(std::max(1, width), std::max(1, height), 24);
  const int w = picture.Width(), h = picture.Height();
  for (int y = 0; y < h; ++y) {
    // Night blue at the top to a dark olive horizon.
    const double t = static_cast<double>(y) / h;
    const platform::Color c = platform::MakeColor(static_cast<int>(14 + 30 * t), static_cast<int>(20 + 28 * t),
                                                  static_cast<int>(44 - 16 * t));
    picture.FillRect(0, y, w, y + 1, c);
  }
  const int bannerW = w - 10, bannerH = bannerW / 16;
  BlendPicture(picture, theme, "SCREENzmv", 5, 5, bannerW, bannerH);
  const int emblem = std::min(w, h) / 3;
  BlendPicture(picture, theme, "SCREENhead", w / 12, h - emblem - h / 12, emblem, emblem);
  const int logoW = w / 5, logoH = logoW / 4;
  BlendPicture(picture, theme, "SCREENkvor", w - 5 - logoW, h - 5 - logoH, logoW, logoH);
  return picture;
}
