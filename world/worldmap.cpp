// World map colours and the turn onto power-of-two sides.
#include "world/worldmap.h"

#include "scene/vectorgeometry.h"
#include "world/worldfile.h"

platform::Bitmap DrawWorldMap(const TTRVGrid<std::uint8_t>& heights, const TTRVGrid<std::uint8_t>& classes,
                              const TTRVMapMarks& marks, const std::function<void(int column)>& onColumn) {
  const int w = heights.SizeX(), h = heights.SizeZ();
  platform::Bitmap map(w, h, 24);
  if (map.Empty()) return map;
  for (int x = 0; x < w; ++x) {
    for (int z = 0; z < h; ++z) {
      const int e = heights(x, z);
      platform::Color c = platform::MakeColor(e / 2 + 128, e / 2 + 128, e / 2 + 128);
      switch (classes.At(x, z)) {
        case tcRoad: c = platform::MakeColor(100, 100, 100); break;
        case tcForest: c = platform::MakeColor(0, e / 2 + 128, 0); break;
        case tcSea: c = platform::MakeColor(0, 0, 0); break;
        case tcRiver: c = platform::MakeColor(0, 0, 255 - e); break;
        case tcSettlement: c = platform::MakeColor(128, 0, 0); break;
        default: break;  // open ground and unknown classes keep the grey
      }
      map.SetPixel(x, z, c);
    }
    if (onColumn) onColumn(x);
  }
  for (const TTRVCell& c : marks.trees)
    map.SetPixel(c.x, c.z, platform::MakeColor(0, heights.At(c.x, c.z) / 2 + 108, 0));
  for (const TTRVCell& c : marks.buildings) map.SetPixel(c.x, c.z, platform::MakeColor(192, 0, 0));
  for (const TTRVCell& c : marks.obstacles) map.SetPixel(c.x, c.z, platform::MakeColor(185, 43, 177));
  return map;
}

int WorldMapImageSide(int cells) { return RoundUpToPowerOf2(cells - 1); }

platform::Bitmap TurnWorldMap(const platform::Bitmap& full, const std::function<void(int column, int width)>& onColumn) {
  if (full.Empty()) return {};
  const int w = full.Width(), h = full.Height();
  const int w2 = WorldMapImageSide(w), h2 = WorldMapImageSide(h);
  platform::Bitmap turned(w2, h2, 24);
  // x * w / w2 in integers is the truncated product: w2 is a power of two, so nothing rounds.
  for (int x = 0; x < w2; ++x) {
    const int sx = w - 1 - static_cast<int>(static_cast<long long>(x) * w / w2);
    for (int z = 0; z < h2; ++z) {
      const int sz = h - 1 - static_cast<int>(static_cast<long long>(z) * h / h2);
      turned.SetPixel(x, z, full.Pixel(sx, sz));
    }
    if (onColumn) onColumn(x, w2);
  }
  return turned;
}
