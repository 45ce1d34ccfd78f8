// The forge step "screen-theme": the theme Screen, whose three pictures stand over the dark
// cover between screens: the title logo (4:1), a banner (16:1) and a square emblem. Text is
// DejaVu Sans through the game's own font cache; pure black stays transparent.
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "platform/fonts.h"
#include "tools/forge/steps.h"
#include "tools/forge/texkit.h"
#include "tools/forge/themekit.h"

namespace forge {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr Rgb kSteel = RgbOf(222, 226, 216), kGold = RgbOf(226, 184, 78), kOlive = RgbOf(66, 76, 44);

platform::Color ColorOf(Rgb c) { return platform::MakeColor(int(c.r), int(c.g), int(c.b)); }

// Centred text with a dark drop shadow; false when the font is missing.
bool Title(platform::Bitmap& b, platform::FontCache& fonts, const std::string& text, int centreY, int size, Rgb colour) {
  const int w = fonts.TextWidth(text, size, true), h = fonts.TextHeight(text, size, true);
  const int x = (b.Width() - w) / 2, y = centreY - h / 2;
  const int drop = std::max(1, size / 16);
  return b.DrawText(x + drop, y + drop, text, platform::MakeColor(28, 30, 26), fonts, size, true) &&
         b.DrawText(x, y, text, ColorOf(colour), fonts, size, true);
}

std::vector<TTexPoint> Star(float cx, float cy, float outer, float inner) {
  std::vector<TTexPoint> p;
  for (int i = 0; i < 10; ++i) {
    float a = kPi * i / 5 - kPi / 2, r = i % 2 ? inner : outer;
    p.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  return p;
}

bool Logo(platform::FontCache& fonts, platform::Bitmap& out) {
  Canvas c(512, 128, {}, 0);
  c.Fill(RoundBox(24, 84, 488, 88), kGold);
  c.Fill(Polygon(Star(40, 86, 14, 6)), kGold);
  c.Fill(Polygon(Star(472, 86, 14, 6)), kGold);
  out = c.ToBitmap(true);
  return Title(out, fonts, "MORVANE", 44, 70, kSteel) && Title(out, fonts, "FIELD COMMAND", 108, 26, kGold);
}

bool Banner(std::mt19937& gen, platform::FontCache& fonts, platform::Bitmap& out) {
  // A camouflage strip between gold rules, with chevrons at both ends.
  const Field blotches = Fbm(gen, 1024, 16, 3, 0.5f);
  Canvas c(1024, 64, {}, 0);
  c.Each([&](int x, int y, Rgb& colour, float& alpha) {
    if (y < 6 || y > 57) return;
    float t = blotches.At(x, y * 4);
    colour = t < 0.4f ? Shade(kOlive, 0.8f) : t < 0.6f ? RgbOf(96, 92, 60) : RgbOf(52, 58, 40);
    alpha = 1;
  });
  c.Fill(RoundBox(0, 6, 1024, 9), kGold);
  c.Fill(RoundBox(0, 55, 1024, 58), kGold);
  for (int i = 0; i < 3; ++i)
    for (float side : {-1.0f, 1.0f}) {
      float x = side < 0 ? 24.0f + 22 * i : 1000.0f - 22 * i;
      c.Fill(Polygon({{x, 16}, {x + side * 12, 32}, {x, 48}, {x - side * 6, 48}, {x + side * 6, 32}, {x - side * 6, 16}}), kGold);
    }
  out = c.ToBitmap(true);
  return Title(out, fonts, "MORVANE  FIELD  COMMAND", 32, 30, kSteel);
}

bool Emblem(platform::FontCache& fonts, platform::Bitmap& out) {
  Canvas c(256, 256, {}, 0);
  c.Fill(Circle(128, 128, 124), kGold);
  c.Fill(Circle(128, 128, 112), kOlive);
  c.Fill(Ring(128, 128, 100, 104), Shade(kGold, 0.8f));
  // Two wing sweeps under a star.
  for (float side : {-1.0f, 1.0f})
    for (int i = 0; i < 4; ++i) {
      float y = 124 + 12 * i, x0 = 128 + side * 22, x1 = 128 + side * (86 - 12 * i);
      c.Fill(Polygon({{x0, y}, {x1, y - 10}, {x1 - side * 8, y + 4}, {x0, y + 8}}), kSteel);
    }
  c.Fill(Polygon(Star(128, 104, 44, 18)), kGold);
  out = c.ToBitmap(true);
  return Title(out, fonts, "MFC", 196, 40, kSteel);
}

}  // namespace

bool ForgeScreenTheme(const ForgeContext& context, std::string& error) {
  std::mt19937 gen = SeededGenerator("screen-theme");
  platform::FontCache fonts;
  platform::Bitmap logo, banner, emblem;
  if (!Logo(fonts, logo) || !Banner(gen, fonts, banner) || !Emblem(fonts, emblem)) {
    error = "cannot draw the screen titles: " + fonts.Error();
    return false;
  }
  TTRVThemeFileData t;
  t.themeName = "Screen";
  t.materials = {TextureMaterial("SCREENkvor", logo, 1), TextureMaterial("SCREENzmv", banner, 1),
                 TextureMaterial("SCREENhead", emblem, 1)};
  return WriteTheme(context, t, error);
}

}  // namespace forge
