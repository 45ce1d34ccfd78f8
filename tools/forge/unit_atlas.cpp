// The paint atlas of the unit models: 256 x 256, sixteen 64-pixel cells of paint, glass,
// metal, tracks, decks, concrete and details, each cell drawn to be stretched over one face.
#include <cmath>

#include "tools/forge/unit_models.h"

namespace forge {

namespace {

constexpr int kCell = 64;

// Paint worn by weather: low-frequency blotches and fine grain around the base colour.
Rgb Worn(const Field& blotch, const Field& grain, int x, int y, Rgb base, float amount = 1) {
  float k = 1 + amount * (0.16f * (blotch.At(x, y) - 0.5f) + 0.10f * (grain.At(x, y) - 0.5f));
  return Shade(base, k);
}

void PaintCell(Canvas& c, int cell, const std::function<Rgb(int x, int y)>& paint) {
  int ox = (cell % 4) * kCell, oy = (cell / 4) * kCell;
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x) c.At(ox + x, oy + y) = paint(x, y);
}

// A cell's panel seam along its edges and a row of rivets, so stretched faces read as plates.
Rgb Panelled(Rgb base, int x, int y) {
  int edge = std::min(std::min(x, y), std::min(kCell - 1 - x, kCell - 1 - y));
  if (edge == 4) return Shade(base, 0.72f);
  if (edge == 5) return Shade(base, 1.12f);
  if (edge == 8 && (x + y) % 8 == 0) return Shade(base, 0.8f);
  return base;
}

}  // namespace

UvRect UnitUv(UnitCell cell) { return AtlasCell(cell % 4, cell / 4, 4, 0.05f); }

platform::Bitmap PaintUnitAtlas(std::mt19937& gen, const UnitPalette& p) {
  Canvas c(256, 256);
  const Field blotch = Fbm(gen, 256, 4, 4, 0.55f);
  const Field grain = Fbm(gen, 256, 64, 2, 0.6f);
  auto worn = [&](UnitCell cell, Rgb base, float amount = 1) {
    return [&, cell, base, amount](int x, int y) {
      return Worn(blotch, grain, (cell % 4) * kCell + x, (cell / 4) * kCell + y, base, amount);
    };
  };
  const Rgb light = Mix(p.paint, RgbOf(235, 235, 225), 0.18f);
  PaintCell(c, kCellPaint, [&](int x, int y) { return Panelled(worn(kCellPaint, p.paint)(x, y), x, y); });
  PaintCell(c, kCellPaintDark, worn(kCellPaintDark, p.detail));
  PaintCell(c, kCellPaintLight, [&](int x, int y) { return Panelled(worn(kCellPaintLight, light)(x, y), x, y); });
  PaintCell(c, kCellGlass, [&](int x, int y) {
    // Dark tinted glass, a sky reflection at the top and one bright streak across it.
    Rgb g = Mix(RgbOf(70, 96, 112), RgbOf(24, 36, 46), y / 63.0f);
    if (std::abs((x + y) - 40) < 5) g = Mix(g, RgbOf(200, 220, 230), 0.45f);
    return g;
  });
  PaintCell(c, kCellMetal, worn(kCellMetal, RgbOf(58, 60, 62), 1.5f));
  PaintCell(c, kCellTrack, [&](int x, int y) {
    // Track links: dark steel with a raised cleat every eight pixels.
    Rgb base = RgbOf(52, 50, 46);
    if (y % 8 < 3) base = RgbOf(84, 80, 72);
    if (x < 4 || x > 59) base = RgbOf(40, 38, 35);
    return Worn(blotch, grain, x, y + 64, base, 1.4f);
  });
  PaintCell(c, kCellRubber, [&](int x, int y) {
    float d = std::hypot(x - 31.5f, y - 31.5f);
    Rgb base = d > 26 ? RgbOf(36, 36, 36) : d > 12 ? Shade(p.detail, 0.95f) : RgbOf(72, 72, 68);
    return Worn(blotch, grain, x + 128, y + 64, base);
  });
  PaintCell(c, kCellDeck, [&](int x, int y) {
    Rgb base = Worn(blotch, grain, x + 192, y + 64, p.deck, 1.6f);
    return ((x * 7 + y * 13) % 11 == 0) ? Shade(base, 0.85f) : base;
  });
  PaintCell(c, kCellHullBands, [&](int x, int y) {
    // Across the cell (s) a hull loft runs keel, chine, deck edge, deck, other side; the hull
    // is mirrored about the deck's centre line. The waterline crosses the keel-to-chine strake
    // about two fifths of the way up, where the boot-top stripe goes. Along the cell (t) the
    // hull runs stern to bow, so the plating's butts are rows and its strakes columns.
    const float s = x / 63.0f, u = s < 0.5f ? s : 1 - s;
    const Rgb bottom = RgbOf(118, 52, 44), boot = RgbOf(34, 36, 40);
    const Rgb side = Shade(p.paint, 0.86f), sheer = Mix(p.paint, RgbOf(235, 235, 225), 0.3f);
    Rgb base;
    if (u < 0.07f) base = bottom;
    else if (u < 0.105f) base = boot;
    else if (u < 0.38f) base = Mix(Shade(side, 0.9f), side, (u - 0.105f) / 0.275f);  // weathered low down
    else if (u < 0.41f) base = sheer;  // the light deck-edge line that catches the eye
    else base = p.deck;
    base = Worn(blotch, grain, x, y + 128, base, u < 0.41f ? 1.0f : 1.3f);
    const bool hull = u >= 0.105f && u < 0.38f;
    if (hull && (y % 16 == 0 || x == 16 || x == 47)) base = Shade(base, 0.88f);  // plate seams
    if (hull && y % 16 == 1) base = Shade(base, 1.07f);
    if (u >= 0.41f && (y % 8 == 0)) base = Shade(base, 0.9f);  // deck plating
    return base;
  });
  auto concrete = [&](int x, int y, int ox) {
    Rgb base = Mix(RgbOf(150, 146, 136), RgbOf(112, 108, 100), blotch.At(x + ox, y + 128));
    return Shade(base, 0.9f + 0.2f * grain.At(x + ox, y + 128));
  };
  PaintCell(c, kCellConcrete, [&](int x, int y) { return concrete(x, y, 64); });
  PaintCell(c, kCellConcreteSlits, [&](int x, int y) {
    Rgb base = concrete(x, y, 128);
    if (y >= 10 && y <= 15 && (x % 32) >= 8 && (x % 32) <= 23) base = RgbOf(22, 22, 24);
    if (y == 16 && (x % 32) >= 8 && (x % 32) <= 23) base = Shade(base, 1.2f);
    return base;
  });
  PaintCell(c, kCellWindows, [&](int x, int y) {
    Rgb base = worn(kCellWindows, p.paint)(x, y);
    if (y >= 14 && y <= 40 && (x % 16) >= 3 && (x % 16) <= 12) base = Mix(RgbOf(40, 58, 70), RgbOf(150, 176, 190), (40 - y) / 60.0f);
    return base;
  });
  PaintCell(c, kCellTubes, [&](int x, int y) {
    Rgb base = worn(kCellTubes, p.detail)(x, y);
    float dx = (x % 32) - 15.5f, dy = (y % 32) - 15.5f, d = std::hypot(dx, dy);
    if (d < 11) base = RgbOf(20, 20, 22);
    else if (d < 13) base = RgbOf(80, 80, 78);
    return base;
  });
  PaintCell(c, kCellGrille, [&](int x, int y) {
    Rgb base = worn(kCellGrille, p.detail)(x, y);
    if (x > 6 && x < 57 && y > 6 && y < 57) base = (y % 6 < 3) ? RgbOf(26, 26, 24) : Shade(p.detail, 0.8f);
    return base;
  });
  PaintCell(c, kCellStripe, [&](int x, int y) {
    Rgb base = worn(kCellStripe, p.paint)(x, y);
    return (y > 26 && y < 38) ? RgbOf(206, 204, 192) : base;
  });
  PaintCell(c, kCellSoot, [&](int x, int y) { return Shade(worn(kCellSoot, RgbOf(40, 38, 36))(x, y), 1 - y / 200.0f); });
  return c.ToBitmap();
}

}  // namespace forge
