// The forge step "help-bitmaps": the pictures the dialogs load from data/ — the screen-symbol
// help's HUD symbols and its mini-map mock-up, and the tick of the on/off switches. The symbols
// are the HUD theme's own art, scaled to the size the help shows them; everything is 24-bit and
// cut out of pure black, so a dialog can key the black away.
#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "tools/forge/hud_pictures.h"
#include "tools/forge/steps.h"
#include "tools/forge/texkit.h"

namespace forge {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr Rgb kOutline = RgbOf(24, 24, 24);
constexpr Rgb kPlayerBlue = RgbOf(56, 112, 255), kEnemyRed = RgbOf(232, 44, 32);

// The kit's canvas hands out its pixels only for writing; these read a picture passed as const.
Rgb ColourAt(const Canvas& c, int x, int y) { return const_cast<Canvas&>(c).At(x, y); }
float AlphaAt(const Canvas& c, int x, int y) { return const_cast<Canvas&>(c).AlphaAt(x, y); }

// A cut-out bitmap as a canvas: black is transparent, every other pixel opaque.
Canvas FromCutOut(const platform::Bitmap& b) {
  Canvas c(b.Width(), b.Height(), {}, 0);
  c.Each([&](int x, int y, Rgb& colour, float& alpha) {
    const platform::Color p = b.Pixel(x, y);
    if (p == 0) return;
    colour = RgbOf(platform::RedOf(p), platform::GreenOf(p), platform::BlueOf(p));
    alpha = 1;
  });
  return c;
}

// Premultiplied bilinear sample; outside the picture is transparent.
void Sample(const Canvas& c, float x, float y, Rgb& colour, float& alpha) {
  x -= 0.5f, y -= 0.5f;
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const float tx = x - x0, ty = y - y0;
  colour = {}, alpha = 0;
  for (int dy = 0; dy < 2; ++dy)
    for (int dx = 0; dx < 2; ++dx) {
      const int px = x0 + dx, py = y0 + dy;
      if (px < 0 || py < 0 || px >= c.Width() || py >= c.Height()) continue;
      const float w = (dx ? tx : 1 - tx) * (dy ? ty : 1 - ty);
      const float a = AlphaAt(c, px, py) * w;
      const Rgb p = ColourAt(c, px, py);
      colour.r += p.r * a, colour.g += p.g * a, colour.b += p.b * a;
      alpha += a;
    }
}

// Draws `src` over `dst`, scaled to a size x size square centred on (cx, cy) and turned by
// `degrees` counter-clockwise on the screen, supersampled 4 x 4 per pixel.
void Place(Canvas& dst, const Canvas& src, float cx, float cy, float size, float degrees) {
  constexpr int kSub = 4;
  const float scale = src.Width() / size;
  const float c = std::cos(degrees * kPi / 180), s = std::sin(degrees * kPi / 180);
  const float reach = size * 0.75f;
  const int x0 = std::max(0, static_cast<int>(cx - reach));
  const int x1 = std::min(dst.Width(), static_cast<int>(cx + reach) + 1);
  const int y0 = std::max(0, static_cast<int>(cy - reach));
  const int y1 = std::min(dst.Height(), static_cast<int>(cy + reach) + 1);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      Rgb sum{};
      float alpha = 0;
      for (int j = 0; j < kSub; ++j)
        for (int i = 0; i < kSub; ++i) {
          // Screen y points down, so a counter-clockwise turn on screen is clockwise in (x, y).
          const float dx = x + (i + 0.5f) / kSub - cx, dy = y + (j + 0.5f) / kSub - cy;
          const float u = (c * dx - s * dy) * scale + src.Width() / 2.0f;
          const float v = (s * dx + c * dy) * scale + src.Height() / 2.0f;
          Rgb p;
          float a;
          Sample(src, u, v, p, a);
          sum.r += p.r, sum.g += p.g, sum.b += p.b;
          alpha += a;
        }
      alpha /= kSub * kSub;
      if (alpha <= 0) continue;
      const Rgb colour = Shade(sum, 1.0f / (alpha * kSub * kSub));
      Rgb& d = dst.At(x, y);
      float& da = dst.AlphaAt(x, y);
      d = Mix(d, colour, alpha);
      da = alpha + da * (1 - alpha);
    }
}

// A copy with a dark rim one `radius` wide round everything drawn, so white art reads on a
// light dialog as well as on the 3D view.
Canvas WithOutline(const Canvas& src, float radius) {
  Canvas out(src.Width(), src.Height(), kOutline, 0);
  const int r = static_cast<int>(std::ceil(radius));
  out.Each([&](int x, int y, Rgb&, float& alpha) {
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx) {
        const int px = x + dx, py = y + dy;
        if (px < 0 || py < 0 || px >= src.Width() || py >= src.Height()) continue;
        const float fade = std::clamp(radius + 0.5f - std::hypot(float(dx), float(dy)), 0.0f, 1.0f);
        alpha = std::max(alpha, AlphaAt(src, px, py) * fade);
      }
  });
  out.Each([&](int x, int y, Rgb& colour, float& alpha) {
    const float a = AlphaAt(src, x, y);
    colour = Mix(colour, ColourAt(src, x, y), a);
    alpha = std::max(alpha, a);
  });
  return out;
}

// Every drawn pixel in one colour, as the HUD paints a side's icons.
Canvas Tinted(Canvas art, Rgb colour) {
  art.Each([&](int, int, Rgb& c, float&) { c = colour; });
  return art;
}

// ---- the mini-map mock-up ----

// A small island seen from above in the colours of the game's map images: sea, beach, meadows,
// forest, rock, a road and a village.
Canvas IslandMap(int size) {
  std::mt19937 gen = SeededGenerator("help-bitmaps");
  const Field relief = Fbm(gen, 128, 4, 5, 0.55f);
  const Field woods = Fbm(gen, 128, 8, 3, 0.5f);
  const RampStop ground[] = {{0.00f, RgbOf(22, 52, 104)}, {0.40f, RgbOf(40, 92, 150)}, {0.47f, RgbOf(70, 130, 170)},
                             {0.50f, RgbOf(206, 192, 140)}, {0.53f, RgbOf(112, 156, 70)}, {0.72f, RgbOf(88, 132, 58)},
                             {0.84f, RgbOf(128, 122, 100)}, {1.00f, RgbOf(196, 192, 184)}};
  Canvas c(size, size, {}, 1);
  const float m = size / 2.0f;
  c.Each([&](int x, int y, Rgb& colour, float&) {
    const float d = std::hypot(x + 0.5f - m * 0.92f, y + 0.5f - m * 1.06f) / m;
    const float h = relief.Sample(x * 128.0f / size, y * 128.0f / size) * 0.55f + (1 - d) * 0.62f;
    colour = Ramp(ground, h);
    if (h > 0.55f && h < 0.8f && woods.Sample(x * 128.0f / size, y * 128.0f / size) > 0.58f)
      colour = Mix(colour, RgbOf(44, 90, 40), 0.85f);
  });
  const float k = size / 100.0f;
  c.Fill(Union(Segment(22 * k, 64 * k, 48 * k, 50 * k, 0.9f * k), Segment(48 * k, 50 * k, 74 * k, 34 * k, 0.9f * k)),
         RgbOf(150, 140, 120));
  for (const auto& [x, y] : std::vector<std::pair<float, float>>{{44, 47}, {48, 45}, {46, 54}, {51, 52}, {52, 47}})
    c.Fill(RoundBox((x - 1.3f) * k, (y - 1.3f) * k, (x + 1.3f) * k, (y + 1.3f) * k), RgbOf(168, 96, 72));
  return c;
}

struct MapMarker {
  const char* icon;
  float x, y;  // on a 100 x 100 map, from its top-left
  float heading;
  bool enemy;
};

// The round map as the HUD shows it: the island turned with the view, unit and base markers in
// their sides' colours, the armour gauge at 70 % behind the frame's slot, and the frame.
Canvas MapMockUp(const std::map<std::string, Canvas>& hud, int size) {
  Canvas c(size, size, {}, 0);
  const float m = size / 2.0f, mapWidth = size / 1.418f;
  const Canvas island = IslandMap(128);
  Canvas disc(size, size, {}, 0);
  Place(disc, island, m, m, mapWidth * 1.25f, 20);
  c.Each([&](int x, int y, Rgb& colour, float& alpha) {
    if (std::hypot(x + 0.5f - m, y + 0.5f - m) > mapWidth * 0.53f) return;
    colour = disc.At(x, y), alpha = disc.AlphaAt(x, y);
  });
  const float unit = mapWidth / 100;
  const MapMarker markers[] = {{"IconHeli", 40, 62, 10, false},  {"IconHeli", 58, 66, -15, false},
                            {"IconTank", 30, 48, 80, false},  {"IconBoat", 70, 80, 100, false},
                            {"IconTank", 62, 24, 200, true},  {"IconHeli", 76, 38, 160, true},
                            {"IconTurret", 24, 30, 0, true},  {"IconTurret", 44, 15, 0, true}};
  for (const MapMarker& k : markers) {
    const Rgb colour = k.enemy ? kEnemyRed : kPlayerBlue;
    Place(c, WithOutline(Tinted(hud.at(k.icon), colour), 5), m + (k.x - 50) * unit, m + (k.y - 50) * unit, 11,
          k.heading);
  }
  Place(c, WithOutline(Tinted(hud.at("HUDBase"), kEnemyRed), 5), m - 16 * unit, m - 27 * unit, 13, 0);
  // The player's own helicopter: twice the size, in the middle, heading up the map.
  Place(c, WithOutline(Tinted(hud.at("IconHeli"), kPlayerBlue), 4), m, m, 20, 0);
  Place(c, hud.at("HUDarmor"), m, m, static_cast<float>(size), 180 - 0.7f * 180);
  Place(c, hud.at("HUDmask"), m, m, static_cast<float>(size), 0);
  return c;
}

// The switches' tick: a green check mark with a dark rim, 25 x 25.
Canvas Tick() {
  Canvas c(25, 25, {}, 0);
  const Shape tick = Union(Segment(5, 13, 10, 18.5f, 2.2f), Segment(10, 18.5f, 20, 6, 2.2f));
  c.Fill([&](float x, float y) { return tick(x, y) - 1.4f; }, kOutline);
  c.Fill(tick, RgbOf(70, 210, 90));
  return c;
}

bool WriteBitmap(const ForgeContext& context, const std::string& name, const Canvas& picture, std::string& error) {
  const std::vector<std::uint8_t> bytes = picture.ToBitmap(true).EncodeBmp();
  return WriteFileAtomically(context.outDir / "data" / (name + ".bmp"), bytes.data(), bytes.size(), error);
}

}  // namespace

bool ForgeHelpBitmaps(const ForgeContext& context, std::string& error) {
  TTRVThemeFileData theme;
  if (!HudThemeData(theme, error)) return false;
  std::map<std::string, Canvas> hud;
  for (const TTRVMaterialRecord& m : theme.materials) {
    platform::Bitmap b;
    if (!b.LoadBmpFromMemory(m.bmp, error)) {
      error = "HUD picture " + m.materialName + ": " + error;
      return false;
    }
    hud.emplace(m.materialName, FromCutOut(b));
  }
  for (const char* needed : {"HUDArtillery", "TimeAccel", "HUDshield", "HUDkills", "HUDnums", "IconHeli", "IconTank",
                             "IconBoat", "IconTurret", "HUDBase", "HUDarmor", "HUDmask"})
    if (!hud.count(needed)) {
      error = std::string("the HUD theme has no picture ") + needed;
      return false;
    }

  // The help's symbols at the size it shows them. The legend's unit icons lie on their side
  // (nose to the right) as on the game screen, except the turret.
  struct Symbol {
    const char* file;
    const char* material;
    int size;
    float turn;
    bool outline;
  };
  const Symbol symbols[] = {
      {"HUDArtillery", "HUDArtillery", 64, 0, false}, {"TimeAccel", "TimeAccel", 64, 0, false},
      {"HUDshield", "HUDshield", 32, 0, false},       {"HUDkills", "HUDkills", 32, 0, false},
      {"HUDnums", "HUDnums", 32, 0, true},            {"iconHeli", "IconHeli", 32, 270, true},
      {"iconTank", "IconTank", 32, 270, true},        {"iconBoat", "IconBoat", 32, 270, true},
      {"iconTurret", "IconTurret", 32, 0, true},
  };
  for (const Symbol& s : symbols) {
    const Canvas& art = hud.at(s.material);
    Canvas picture(s.size, s.size, {}, 0);
    Place(picture, s.outline ? WithOutline(art, 4) : art, s.size / 2.0f, s.size / 2.0f, static_cast<float>(s.size),
          s.turn);
    if (!WriteBitmap(context, s.file, picture, error)) return false;
  }
  return WriteBitmap(context, "HUDmap", MapMockUp(hud, 154), error) && WriteBitmap(context, "tick", Tick(), error);
}

}  // namespace forge
