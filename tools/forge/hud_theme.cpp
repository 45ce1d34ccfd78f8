// The forge step "hud-theme": the theme HUD, materials only. Every picture is cut out of pure
// black (transparent in the game). The unit icons, target markers and base marker are white
// silhouettes because the HUD repaints every non-black pixel in a side's colour; the unit icons
// point up (forward), as the map turns them by the unit's heading.
#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "platform/fonts.h"
#include "tools/forge/hud_pictures.h"
#include "tools/forge/steps.h"
#include "tools/forge/texkit.h"
#include "tools/forge/themekit.h"

namespace forge {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr Rgb kWhite = RgbOf(255, 255, 255), kOutline = RgbOf(24, 24, 24);
constexpr Rgb kRed = RgbOf(232, 48, 36), kGreen = RgbOf(70, 210, 90), kAmber = RgbOf(250, 206, 70);

Canvas Blank(int size = 64) { return Canvas(size, size, {}, 0); }

// A shape drawn over a slightly larger dark copy of itself, so it reads on any ground.
void Outlined(Canvas& c, const Shape& s, Rgb colour, float outline = 1.6f) {
  c.Fill([&](float x, float y) { return s(x, y) - outline; }, kOutline);
  c.Fill(s, colour);
}

// Four ticks round a centre, pointing inward, from radius r0 to r1.
Shape Ticks(float cx, float cy, float r0, float r1, float half) {
  Shape s = Segment(cx + r0, cy, cx + r1, cy, half);
  s = Union(s, Segment(cx - r0, cy, cx - r1, cy, half));
  s = Union(s, Segment(cx, cy + r0, cx, cy + r1, half));
  return Union(s, Segment(cx, cy - r0, cx, cy - r1, half));
}

Canvas CursorFire() {
  Canvas c = Blank();
  Outlined(c, Union(Ring(32, 32, 16, 19), Union(Ticks(32, 32, 8, 28, 1.6f), Circle(32, 32, 2.2f))), kRed);
  return c;
}

Canvas CursorNoFire() {
  Canvas c = Blank();
  Outlined(c, Union(Ring(32, 32, 17, 21), Segment(19, 45, 45, 19, 2.2f)), kGreen);
  return c;
}

Canvas CursorUnknown() {
  Canvas c = Blank();
  // Open corner brackets and a small cross: aim with nothing under it.
  Shape s = Ticks(32, 32, 4, 11, 1.4f);
  for (float sx : {-1.0f, 1.0f})
    for (float sy : {-1.0f, 1.0f})
      s = Union(s, Union(Segment(32 + sx * 24, 32 + sy * 24, 32 + sx * 14, 32 + sy * 24, 1.6f),
                         Segment(32 + sx * 24, 32 + sy * 24, 32 + sx * 24, 32 + sy * 14, 1.6f)));
  Outlined(c, s, kAmber);
  return c;
}

Canvas Magnifier() {
  Canvas c = Blank();
  Outlined(c, Union(Ring(26, 26, 13, 17), Segment(38, 38, 54, 54, 4)), kWhite);
  c.Fill(Circle(26, 26, 13), RgbOf(150, 196, 226), 0.9f);
  Outlined(c, Union(Segment(19, 26, 33, 26, 1.8f), Segment(26, 19, 26, 33, 1.8f)), kWhite, 1.0f);
  return c;
}

Canvas Resize() {
  Canvas c = Blank();
  Shape arrow = Segment(16, 16, 48, 48, 2.6f);
  arrow = Union(arrow, Polygon({{8, 8}, {26, 10}, {10, 26}}));
  arrow = Union(arrow, Polygon({{56, 56}, {38, 54}, {54, 38}}));
  Outlined(c, arrow, kWhite);
  return c;
}

// A bomb falling nose down: body, fins and a band, centred on (cx, cy), `size` tall.
Shape BombShape(float cx, float cy, float size) {
  float w = size * 0.2f;
  Shape body = RoundBox(cx - w, cy - size * 0.28f, cx + w, cy + size * 0.3f, w);
  Shape fins = Polygon({{cx - w * 1.6f, cy - size * 0.5f}, {cx + w * 1.6f, cy - size * 0.5f}, {cx + w * 0.6f, cy - size * 0.22f},
                        {cx - w * 0.6f, cy - size * 0.22f}});
  return Union(body, fins);
}

Canvas Artillery() {
  Canvas c = Blank();
  Outlined(c, Union(Ring(32, 38, 20, 23), Ticks(32, 38, 18, 28, 1.5f)), kRed);
  Outlined(c, BombShape(32, 26, 36), RgbOf(200, 200, 190));
  c.Fill(RoundBox(28, 21, 36, 24), kRed);
  return c;
}

// Weapon icons: the plain one when the weapon may be chosen, the framed bright one when it is.
using Drawing = std::function<void(Canvas&, float bright)>;

Canvas WeaponIcon(const Drawing& draw, bool selected) {
  Canvas c = Blank();
  if (selected) Outlined(c, Subtract(RoundBox(2, 2, 62, 62, 8), RoundBox(6, 6, 58, 58, 5)), kAmber, 1.0f);
  draw(c, selected ? 1.0f : 0.7f);
  return c;
}

void Bullets(Canvas& c, float k) {
  for (int i = 0; i < 3; ++i) {
    float x = 20 + 12 * i;
    Shape round = Union(RoundBox(x - 4, 26, x + 4, 50, 1), Intersect(Circle(x, 26, 4), RoundBox(x - 4, 14, x + 4, 26)));
    Outlined(c, round, Shade(RgbOf(220, 176, 80), k), 1.2f);
    c.Fill(RoundBox(x - 4, 14, x + 4, 30, 4), Shade(RgbOf(190, 120, 70), k));
  }
}

void Shell(Canvas& c, float k) {
  Shape shell = Union(RoundBox(24, 28, 40, 54, 1), Polygon({{24, 28}, {32, 8}, {40, 28}}));
  Outlined(c, shell, Shade(RgbOf(214, 180, 90), k), 1.4f);
  c.Fill(Polygon({{24.5f, 28}, {32, 8.5f}, {39.5f, 28}}), Shade(RgbOf(140, 150, 130), k));
  c.Fill(RoundBox(22, 50, 42, 55), Shade(RgbOf(180, 140, 60), k));
}

void Rocket(Canvas& c, float k) {
  Shape rocket = Union(RoundBox(27, 16, 37, 50, 2), Polygon({{27, 17}, {32, 5}, {37, 17}}));
  rocket = Union(rocket, Polygon({{27, 40}, {18, 56}, {27, 52}}));
  rocket = Union(rocket, Polygon({{37, 40}, {46, 56}, {37, 52}}));
  Outlined(c, rocket, Shade(RgbOf(220, 222, 214), k), 1.4f);
  c.Fill(Polygon({{27.5f, 17}, {32, 5.5f}, {36.5f, 17}}), Shade(kRed, k));
  c.Fill(Polygon({{30, 52}, {34, 52}, {32, 61}}), Shade(kAmber, k));
}

Canvas TimeAccel() {
  Canvas c = Blank();
  Outlined(c, Union(Polygon({{8, 14}, {32, 32}, {8, 50}}), Polygon({{32, 14}, {56, 32}, {32, 50}})), kAmber);
  return c;
}

Canvas ShieldIcon() {
  Canvas c = Blank();
  Shape shield = Polygon({{10, 8}, {54, 8}, {54, 30}, {46, 46}, {32, 58}, {18, 46}, {10, 30}});
  Outlined(c, shield, RgbOf(90, 130, 190));
  c.Fill(Polygon({{15, 13}, {49, 13}, {49, 30}, {42, 43}, {32, 52}, {22, 43}, {15, 30}}), RgbOf(60, 96, 160));
  c.Fill(RoundBox(28, 13, 36, 52), RgbOf(220, 224, 232));
  return c;
}

Canvas Kills() {
  Canvas c = Blank();
  Outlined(c, Union(Ring(32, 32, 18, 22), Union(Segment(20, 20, 44, 44, 3), Segment(44, 20, 20, 44, 3))), kRed);
  return c;
}

// The unit silhouettes, seen from above, nose up.
Canvas IconHeli() {
  Canvas c = Blank();
  Shape s = RoundBox(25, 8, 39, 36, 7);
  s = Union(s, RoundBox(30, 30, 34, 58, 2));                 // tail boom
  s = Union(s, RoundBox(24, 52, 40, 56, 2));                 // stabiliser
  s = Union(s, Union(Segment(10, 10, 54, 42, 1.8f), Segment(54, 10, 10, 42, 1.8f)));  // blades
  s = Union(s, RoundBox(20, 22, 44, 26, 1));                 // short wings
  c.Fill(s, kWhite);
  return c;
}

Canvas IconTank() {
  Canvas c = Blank();
  Shape s = Union(RoundBox(14, 14, 22, 56, 2), RoundBox(42, 14, 50, 56, 2));  // tracks
  s = Union(s, RoundBox(20, 18, 44, 54, 3));
  s = Union(s, Circle(32, 38, 10));
  s = Union(s, RoundBox(30, 4, 34, 32, 1));                                  // barrel
  c.Fill(s, kWhite);
  return c;
}

Canvas IconBoat() {
  Canvas c = Blank();
  c.Fill(Polygon({{32, 2}, {42, 18}, {43, 56}, {40, 62}, {24, 62}, {21, 56}, {22, 18}}), kWhite);
  return c;
}

Canvas IconTurret() {
  Canvas c = Blank();
  Shape s = RoundBox(14, 22, 50, 58, 4);
  s = Union(s, Circle(32, 36, 13));
  s = Union(s, Union(RoundBox(26, 6, 30, 30, 1), RoundBox(34, 6, 38, 30, 1)));
  c.Fill(s, kWhite);
  return c;
}

Canvas TargetFire() {
  Canvas c = Blank();
  // Four corner brackets round the target.
  for (float sx : {-1.0f, 1.0f})
    for (float sy : {-1.0f, 1.0f})
      c.Fill(Union(Segment(32 + sx * 28, 32 + sy * 28, 32 + sx * 16, 32 + sy * 28, 2.2f),
                   Segment(32 + sx * 28, 32 + sy * 28, 32 + sx * 28, 32 + sy * 16, 2.2f)),
             kWhite);
  return c;
}

Canvas TargetNoFire() {
  Canvas c = Blank();
  // A ring broken into four arcs.
  Shape ring = Ring(32, 32, 24, 28);
  Shape gaps = Union(RoundBox(28, 0, 36, 64), RoundBox(0, 28, 64, 36));
  c.Fill(Subtract(ring, gaps), kWhite);
  return c;
}

Canvas BaseIcon() {
  Canvas c = Blank();
  std::vector<TTexPoint> star;
  for (int i = 0; i < 10; ++i) {
    float a = kPi * i / 5 - kPi / 2, r = i % 2 ? 10.0f : 24.0f;
    star.push_back({32 + r * std::cos(a), 33 + r * std::sin(a)});
  }
  c.Fill(Union(Ring(32, 32, 27, 31), Polygon(star)), kWhite);
  return c;
}

Canvas Bomb() {
  Canvas c = Blank();
  c.Fill(BombShape(32, 32, 58), RgbOf(84, 92, 70));
  c.Fill(RoundBox(26, 40, 30, 58, 2), RgbOf(130, 140, 112));  // a highlight down one side
  c.Fill(RoundBox(21, 30, 43, 33), RgbOf(200, 170, 50));
  return c;
}

// The map frame: a ring covering the rotating square map's corners, with a slot in its upper
// half through which the armour gauge shows. Sized for the sprite that is 1.418 map widths.
constexpr int kFrame = 256;
constexpr float kInner = kFrame * 0.5f / 1.418f, kOuter = kFrame * 0.5f;
// The frame's opaque ring, and the gauge's ring inside it. The gauge is turned before it is
// drawn, and resampling a turned cut-out moves its edge by up to a texel; tucked this far under
// the frame on both sides, no turn lets a sliver of gauge colour show past the frame's edges.
constexpr float kFrameInner = kInner - 1, kFrameOuter = kOuter;
constexpr float kGaugeTuck = 1.5f;
constexpr float kGaugeInner = kFrameInner + kGaugeTuck, kGaugeOuter = kFrameOuter - kGaugeTuck;

Canvas MapMask() {
  Canvas c = Blank(kFrame);
  const float m = kFrame / 2.0f;
  c.Fill(Ring(m, m, kFrameInner, kFrameOuter), RgbOf(70, 76, 82));
  c.Fill(Ring(m, m, kFrameInner, kInner + 3), RgbOf(150, 156, 160));
  c.Fill(Ring(m, m, kFrameOuter - 4, kFrameOuter), RgbOf(40, 44, 48));
  // The gauge slot: cut back to transparent.
  Shape slot = Intersect(Ring(m, m, kInner + 9, kOuter - 9), RoundBox(0, 0, kFrame, m - 3));
  c.Each([&](int x, int y, Rgb&, float& alpha) {
    if (slot(x + 0.5f, y + 0.5f) < 0) alpha = 0;
  });
  return c;
}

Canvas ArmourGauge() {
  Canvas c = Blank(kFrame);
  const float m = kFrame / 2.0f;
  // Upper half full (green), lower half empty (red); turning it half a turn empties the slot.
  const Shape ring = Ring(m, m, kGaugeInner, kGaugeOuter);
  c.Fill(Intersect(ring, RoundBox(0, 0, kFrame, m)), RgbOf(60, 200, 70));
  c.Fill(Intersect(ring, RoundBox(0, m, kFrame, kFrame)), RgbOf(200, 50, 36));
  for (int i = 1; i < 10; ++i) {  // tick marks every tenth
    float a = kPi * i / 10;
    c.Fill(Segment(m + (kInner + 8) * std::cos(a), m - (kInner + 8) * std::sin(a), m + (kOuter - 8) * std::cos(a),
                   m - (kOuter - 8) * std::sin(a), 1.2f),
           RgbOf(30, 90, 36));
  }
  return c;
}

// "123" in bold for the unit-count legend.
platform::Bitmap Numbers(std::string& error) {
  platform::Bitmap b(64, 64, 24);
  platform::FontCache fonts;
  const int size = 27;
  const int w = fonts.TextWidth("123", size, true), h = fonts.TextHeight("123", size, true);
  if (!b.DrawText((64 - w) / 2, (64 - h) / 2, "123", platform::MakeColor(255, 255, 255), fonts, size, true)) {
    error = "no font for HUDnums: " + fonts.Error();
    return {};
  }
  return b;
}

}  // namespace

bool HudThemeData(TTRVThemeFileData& t, std::string& error) {
  t = {};
  t.themeName = "HUD";
  auto add = [&](const char* name, const Canvas& picture) { t.materials.push_back(TextureMaterial(name, picture.ToBitmap(true), 1)); };
  add("HUDmask", MapMask());
  add("HUDarmor", ArmourGauge());
  add("HUDcursorFire", CursorFire());
  add("HUDcursorNoFire", CursorNoFire());
  add("HUDcursorUnknownFire", CursorUnknown());
  add("HUDmagnifier", Magnifier());
  add("HUDresize", Resize());
  add("HUDArtillery", Artillery());
  add("HUDiconMachinegun", WeaponIcon(Bullets, false));
  add("HUDselectMachinegun", WeaponIcon(Bullets, true));
  add("HUDiconGun", WeaponIcon(Shell, false));
  add("HUDselectGun", WeaponIcon(Shell, true));
  add("HUDiconRocket", WeaponIcon(Rocket, false));
  add("HUDselectRocket", WeaponIcon(Rocket, true));
  add("TimeAccel", TimeAccel());
  add("HUDshield", ShieldIcon());
  platform::Bitmap numbers = Numbers(error);
  if (numbers.Empty()) return false;
  t.materials.push_back(TextureMaterial("HUDnums", numbers, 1));
  add("HUDkills", Kills());
  add("IconHeli", IconHeli());
  add("IconTank", IconTank());
  add("IconBoat", IconBoat());
  add("IconTurret", IconTurret());
  add("HUDtargetFire", TargetFire());
  add("HUDtargetNoFire", TargetNoFire());
  add("HUDBase", BaseIcon());
  add("Bomb", Bomb());
  return true;
}

bool ForgeHudTheme(const ForgeContext& context, std::string& error) {
  TTRVThemeFileData t;
  return HudThemeData(t, error) && WriteTheme(context, t, error);
}

}  // namespace forge
