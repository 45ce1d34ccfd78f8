// The civilian buildings and their atlas.
#include "tools/forge/houses.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "tools/forge/texkit.h"

namespace forge {

namespace {

constexpr int kCell = 64;

// A wall of `segments` equal panels from (x0, z0) to (x1, z1), counter-clockwise seen from
// outside when walked with the building on the left; panel `doorAt` takes the door cell.
void Wall(MeshKit& m, TTexPoint from, TTexPoint to, float height, int segments, BuildingCell window, BuildingCell door,
          int doorAt = -1) {
  for (int i = 0; i < segments; ++i) {
    TTexPoint a = from + (to - from) * (static_cast<float>(i) / segments);
    TTexPoint b = from + (to - from) * (static_cast<float>(i + 1) / segments);
    m.SetRegion(BuildingUv(i == doorAt ? door : window));
    m.Quad({a.x, 0, a.y}, {b.x, 0, b.y}, {b.x, height, b.y}, {a.x, height, a.y});
  }
}

int Panels(float length) { return std::max(1, static_cast<int>(std::lround(length / 0.28f))); }

void AddGable(MeshKit& m, float w, float d, float walls, const HouseStyle& s, bool chimney) {
  const float x = w / 2, z = d / 2, ridge = walls + s.roofPitch * d, o = 0.05f;
  m.SetRegion(BuildingUv(kStonework));
  m.Box({-x - 0.01f, 0, -z - 0.01f}, {x + 0.01f, 0.04f, z + 0.01f}, false);
  const int front = Panels(w);
  Wall(m, {-x, z}, {x, z}, walls, front, s.window, s.door, front / 2);
  Wall(m, {x, -z}, {-x, -z}, walls, front, s.window, s.door);
  Wall(m, {x, z}, {x, -z}, walls, Panels(d), s.window, s.door);
  Wall(m, {-x, -z}, {-x, z}, walls, Panels(d), s.window, s.door);
  m.SetRegion(BuildingUv(s.gable));
  m.Triangle({x, walls, z}, {x, walls, -z}, {x, ridge, 0});
  m.Triangle({-x, walls, -z}, {-x, walls, z}, {-x, ridge, 0});
  // Roof slopes overhanging the walls, each seen from both sides.
  const float eave = walls - o * s.roofPitch * 2;
  m.SetRegion(BuildingUv(s.roof));
  m.Quad({-x - o, eave, z + o}, {x + o, eave, z + o}, {x + o, ridge, 0}, {-x - o, ridge, 0});
  m.Quad({x + o, eave, -z - o}, {-x - o, eave, -z - o}, {-x - o, ridge, 0}, {x + o, ridge, 0});
  if (chimney) {
    m.SetRegion(BuildingUv(kStonework));
    m.Box({0.55f * x, walls, -0.45f * z}, {0.55f * x + 0.08f, ridge + 0.06f, -0.45f * z + 0.08f}, false);
  }
}

TTRVMarkerPoint WallBox(TAffineVector centre, TAffineVector size) { return {centre, size}; }

}  // namespace

UvRect BuildingUv(BuildingCell cell) { return AtlasCell(cell % 4, cell / 4, 4, 0.03f); }

platform::Bitmap PaintBuildingAtlas(std::mt19937& gen) {
  Canvas c(256, 256);
  const Field grain = Fbm(gen, 256, 32, 3, 0.5f);
  const Field stain = Fbm(gen, 256, 8, 4, 0.5f);
  const Cellular stones = CellularNoise(gen, 256, 20);
  auto cell = [&](BuildingCell which, const std::function<Rgb(int x, int y, float g, float s)>& f) {
    int ox = (which % 4) * kCell, oy = (which / 4) * kCell;
    for (int y = 0; y < kCell; ++y)
      for (int x = 0; x < kCell; ++x) c.At(ox + x, oy + y) = f(x, y, grain.At(ox + x, oy + y), stain.At(ox + x, oy + y));
  };
  auto wall = [](Rgb base, float g, float s) { return Shade(base, 0.88f + 0.12f * g - 0.12f * s * s); };
  // A window: frame, four panes with a sky reflection, and a sill; optional shutters.
  auto window = [](int x, int y, Rgb wallColour, Rgb frame, bool shutters, int top = 16, int bottom = 42) -> Rgb {
    const int l = 22, r = 42;
    if (shutters && y >= top && y <= bottom && ((x >= l - 9 && x < l) || (x > r && x <= r + 9)))
      return (y % 4 == 0) ? Shade(RgbOf(60, 96, 70), 0.7f) : RgbOf(60, 96, 70);
    if (x < l || x > r || y < top || y > bottom) return (y == bottom + 1 && x >= l - 2 && x <= r + 2) ? RgbOf(210, 205, 195) : wallColour;
    if (x < l + 2 || x > r - 2 || y < top + 2 || y > bottom - 2 || x == (l + r) / 2 || y == (top + bottom) / 2) return frame;
    return Mix(RgbOf(150, 180, 200), RgbOf(40, 54, 70), static_cast<float>(y - top) / (bottom - top));
  };
  auto door = [](int x, int y, Rgb wallColour, Rgb wood) -> Rgb {
    if (x < 20 || x > 44 || y < 14) return wallColour;
    if (x < 22 || x > 42 || y < 16) return Shade(wood, 0.6f);
    return (x % 6 == 0) ? Shade(wood, 0.8f) : (x == 38 && y == 40) ? RgbOf(200, 190, 120) : wood;
  };
  auto tiles = [](int x, int y, Rgb base, float g) {
    int row = y / 8;
    int col = (x + (row % 2) * 5) / 10;
    float k = 0.85f + 0.2f * g + 0.06f * ((row * 7 + col * 3) % 4);
    if (y % 8 == 7) k *= 0.6f;  // shadow under each course
    return Shade(base, k);
  };
  const Rgb plaster = RgbOf(226, 216, 190), stucco = RgbOf(238, 232, 218), adobe = RgbOf(196, 150, 104);
  const Rgb wood = RgbOf(110, 72, 44), frame = RgbOf(236, 236, 230);
  cell(kPlasterWindow, [&](int x, int y, float g, float s) { return window(x, y, wall(plaster, g, s), frame, false); });
  cell(kPlasterDoor, [&](int x, int y, float g, float s) { return door(x, y, wall(plaster, g, s), wood); });
  cell(kRedTiles, [&](int x, int y, float g, float) { return tiles(x, y, RgbOf(160, 62, 44), g); });
  cell(kSlate, [&](int x, int y, float g, float) { return tiles(x, y, RgbOf(78, 82, 92), g); });
  cell(kPlanks, [&](int x, int y, float g, float) {
    Rgb b = Shade(RgbOf(124, 52, 40), 0.85f + 0.25f * grain.Sample(x * 0.3f, y * 3.0f));
    (void)g;
    return (x % 10 == 0) ? Shade(b, 0.55f) : b;
  });
  cell(kBarnDoor, [&](int x, int y, float g, float) {
    Rgb b = Shade(RgbOf(124, 52, 40), 0.85f + 0.2f * g);
    if (x >= 10 && x <= 54 && y >= 12) {
      b = (x % 8 == 0) ? RgbOf(80, 40, 30) : RgbOf(140, 110, 80);
      if (std::abs((x - 10) - (y - 12) * 44 / 52) < 2 || std::abs((54 - x) - (y - 12) * 44 / 52) < 2) b = RgbOf(230, 225, 210);
    }
    return b;
  });
  cell(kStuccoWindow, [&](int x, int y, float g, float s) { return window(x, y, wall(stucco, g, s), RgbOf(90, 70, 50), true); });
  cell(kTerracotta, [&](int x, int y, float g, float) { return tiles(x, y, RgbOf(196, 104, 62), g); });
  cell(kAdobeWindow, [&](int x, int y, float g, float s) {
    Rgb w = wall(adobe, g, s);
    if (x >= 24 && x <= 40 && y >= 20 && y <= 36) return (x < 26 || x > 38 || y < 22) ? RgbOf(120, 84, 50) : RgbOf(30, 24, 20);
    return w;
  });
  cell(kAdobeDoor, [&](int x, int y, float g, float s) { return door(x, y, wall(adobe, g, s), RgbOf(96, 64, 40)); });
  cell(kAdobe, [&](int, int, float g, float s) { return wall(adobe, g, s); });
  cell(kLogWindow, [&](int x, int y, float g, float) {
    float log = std::abs(std::sin((y + 2) * 3.14159f / 8));
    Rgb w = Shade(RgbOf(120, 84, 52), 0.55f + 0.45f * log + 0.1f * g);
    return window(x, y, w, RgbOf(220, 220, 210), false, 18, 40);
  });
  cell(kSnowRoof, [&](int x, int y, float g, float s) {
    Rgb snow = Mix(RgbOf(206, 214, 230), RgbOf(248, 250, 252), 0.5f * g + 0.5f * s);
    return (y > 58 && (x * 7 % 11) < 5) ? RgbOf(80, 70, 64) : snow;  // a dark eave edge showing
  });
  cell(kStonework, [&](int x, int y, float, float) {
    int ox = (kStonework % 4) * kCell + x, oy = (kStonework / 4) * kCell + y;
    float edge = stones.second.At(ox, oy) - stones.nearest.At(ox, oy);
    Rgb s = Shade(RgbOf(136, 130, 120), 0.75f + 0.4f * stones.id.At(ox, oy));
    return edge < 1.5f ? RgbOf(80, 76, 70) : s;
  });
  cell(kPlaster, [&](int, int, float g, float s) { return wall(plaster, g, s); });
  cell(kStuccoDoor, [&](int x, int y, float g, float s) { return door(x, y, wall(stucco, g, s), RgbOf(70, 96, 120)); });
  return c.ToBitmap();
}

Building GableHouse(float w, float d, float walls, const HouseStyle& style, bool chimney) {
  Building b;
  AddGable(b.model, w, d, walls, style, chimney);
  b.height = walls + style.roofPitch * d;
  b.markers = {WallBox({0, b.height / 2, 0}, {w, b.height, d})};
  return b;
}

Building LHouse(float w, float d, float walls, const HouseStyle& style) {
  Building b;
  const float wingW = 0.3f, wingL = 0.34f, shift = -0.15f;
  b.model.Push(Translation(0, 0, shift));
  AddGable(b.model, w, d, walls, style, true);
  // The wing's own front (+Z) faces +X after the quarter turn: its door opens on the yard.
  b.model.Push(Translation(-w / 2 + wingW / 2, 0, d / 2 + wingL / 2 - 0.04f) * RotationY(90));
  AddGable(b.model, wingL, wingW, walls * 0.9f, style, false);
  b.model.Pop();
  b.model.Pop();
  b.height = walls + style.roofPitch * d;
  b.markers = {WallBox({0, b.height / 2, shift}, {w, b.height, d}),
               WallBox({-w / 2 + wingW / 2, b.height / 2, shift + d / 2 + wingL / 2}, {wingW, b.height, wingL})};
  return b;
}

Building FlatHouse(float w, float d, float walls, bool dome) {
  Building b;
  MeshKit& m = b.model;
  const float x = w / 2, z = d / 2;
  const int front = Panels(w);
  Wall(m, {-x, z}, {x, z}, walls, front, kAdobeWindow, kAdobeDoor, front / 2);
  Wall(m, {x, -z}, {-x, -z}, walls, front, kAdobe, kAdobe);
  Wall(m, {x, z}, {x, -z}, walls, Panels(d), kAdobeWindow, kAdobe);
  Wall(m, {-x, -z}, {-x, z}, walls, Panels(d), kAdobeWindow, kAdobe);
  m.SetRegion(BuildingUv(kAdobe));
  m.Quad({-x, walls, z}, {x, walls, z}, {x, walls, -z}, {-x, walls, -z});
  // Parapet round the roof, and the ends of the roof beams along the front.
  const float p = 0.025f, ph = 0.05f;
  m.Box({-x, walls, z - p}, {x, walls + ph, z}, false);
  m.Box({-x, walls, -z}, {x, walls + ph, -z + p}, false);
  m.Box({x - p, walls, -z}, {x, walls + ph, z}, false);
  m.Box({-x, walls, -z}, {-x + p, walls + ph, z}, false);
  m.SetRegion(BuildingUv(kPlanks));
  for (int i = 0; i < 5; ++i) {
    float bx = -x + w * (i + 0.5f) / 5;
    m.Box({bx - 0.012f, walls - 0.06f, z}, {bx + 0.012f, walls - 0.035f, z + 0.06f});
  }
  b.height = walls + ph;
  if (dome) {
    const float r = 0.42f * std::min(w, d);
    m.SetRegion(BuildingUv(kPlaster));
    m.Push(Translation(0, walls, 0));
    m.Blob(r, r, r, 12, 8);
    m.Pop();
    b.height = walls + r;
  }
  b.markers = {WallBox({0, walls / 2, 0}, {w, walls, d})};
  return b;
}

Building AdobeTower(float side, float height) {
  Building b;
  MeshKit& m = b.model;
  const float s = side / 2, mid = height * 0.45f;
  const TTexPoint corners[] = {{-s, s}, {s, s}, {s, -s}, {-s, -s}};
  for (int i = 0; i < 4; ++i) {
    TTexPoint a = corners[i], c = corners[(i + 1) % 4];
    m.SetRegion(BuildingUv(i == 0 ? kAdobeDoor : kAdobe));
    m.Quad({a.x, 0, a.y}, {c.x, 0, c.y}, {c.x, mid, c.y}, {a.x, mid, a.y});
    m.SetRegion(BuildingUv(kAdobeWindow));
    m.Quad({a.x, mid, a.y}, {c.x, mid, c.y}, {c.x, height, c.y}, {a.x, height, a.y});
  }
  m.SetRegion(BuildingUv(kAdobe));
  m.Quad({-s, height, s}, {s, height, s}, {s, height, -s}, {-s, height, -s});
  // Merlons: three along each side.
  const float mw = side / 5, mh = 0.08f;
  for (int i = 0; i < 3; ++i) {
    float t = -s + mw * (2 * i) + mw * 0.5f;
    m.Box({t, height, s - mw}, {t + mw, height + mh, s}, false);
    m.Box({t, height, -s}, {t + mw, height + mh, -s + mw}, false);
    m.Box({s - mw, height, t}, {s, height + mh, t + mw}, false);
    m.Box({-s, height, t}, {-s + mw, height + mh, t + mw}, false);
  }
  b.height = height + mh;
  b.markers = {WallBox({0, height / 2, 0}, {side, height, side})};
  return b;
}

}  // namespace forge
