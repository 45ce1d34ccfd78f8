// Vegetation pictures and models of the climate themes.
#include "tools/forge/flora.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/forge/texkit.h"

namespace forge {

namespace {

constexpr int kCell = 64;
constexpr float kPi = std::numbers::pi_v<float>;

UvRect Cell(FloraCell c) {
  if (c != kStone && c != kSandstone) return AtlasCell(c % 4, c / 4, 4, 0.06f);
  // Grey stone in the cell's left half, sandstone in its right; the same inset keeps filtering
  // from reaching across the middle. Split this way, not top and bottom, because a boulder's
  // crown gathers at the top of its region, where the smaller mipmaps would blend the halves.
  UvRect r = AtlasCell(kStone % 4, kStone / 4, 4, 0.06f);
  const float middle = (r.s0 + r.s1) / 2, inset = r.s0 - AtlasCell(kStone % 4, kStone / 4, 4, 0).s0;
  if (c == kStone) r.s1 = middle - inset;
  else r.s0 = middle + inset;
  return r;
}

// A round bar from a to b (trunks, branches).
void Limb(MeshKit& m, TAffineVector a, TAffineVector b, float r0, float r1, int sides = 6) {
  TAffineVector d = b - a;
  float pitch = glm::degrees(std::atan2(std::hypot(d.x, d.z), d.y));
  float yaw = glm::degrees(std::atan2(d.x, d.z));
  m.Push(Translation(a.x, a.y, a.z) * RotationY(yaw) * RotationX(pitch));
  m.Cylinder(r0, r1, 0, glm::length(d), sides, false);
  m.Pop();
}

void Clump(MeshKit& m, TAffineVector at, TAffineVector radii, float turn) {
  m.Push(Translation(at.x, at.y, at.z) * RotationY(turn));
  m.Blob(radii.x, radii.y, radii.z, 6, 4);
  m.Pop();
}

}  // namespace

platform::Bitmap PaintFloraAtlas(std::mt19937& gen) {
  Canvas c(256, 256);
  const Field grain = Fbm(gen, 256, 32, 3, 0.5f);
  const Field tone = Fbm(gen, 256, 8, 4, 0.5f);
  const Cellular clumps = CellularNoise(gen, 256, 24);
  auto cell = [&](FloraCell which, const std::function<Rgb(int x, int y, float g, float t, float clump)>& f) {
    int ox = (which % 4) * kCell, oy = (which / 4) * kCell;
    for (int y = 0; y < kCell; ++y)
      for (int x = 0; x < kCell; ++x) {
        float clump = 1 - std::clamp(clumps.nearest.At(ox + x, oy + y) / 8, 0.0f, 1.0f);
        c.At(ox + x, oy + y) = f(x, y, grain.At(ox + x, oy + y), tone.At(ox + x, oy + y), clump);
      }
  };
  // Bark: streaks run along the trunk (t), so sample the grain stretched that way.
  auto streaks = [&](int x, int y) { return grain.Sample(x * 3.0f, y * 0.25f); };
  cell(kBark, [&](int x, int y, float, float t, float) { return Shade(RgbOf(92, 70, 50), 0.7f + 0.5f * streaks(x, y) + 0.1f * t); });
  cell(kBirchBark, [&](int x, int y, float g, float, float) {
    Rgb b = Shade(RgbOf(222, 220, 210), 0.9f + 0.1f * g);
    return (streaks(x + 40, y * 5) > 0.7f) ? RgbOf(40, 38, 36) : b;
  });
  cell(kPalmBark, [&](int, int y, float g, float, float) { return Shade(RgbOf(120, 96, 66), (y % 8 < 2 ? 0.6f : 0.95f) + 0.15f * g); });
  cell(kCactus, [&](int x, int, float g, float, float) {
    float rib = 0.5f + 0.5f * std::cos(2 * kPi * x / 8.0f);
    Rgb b = Mix(RgbOf(52, 92, 46), RgbOf(98, 138, 76), rib);
    return (g > 0.82f) ? RgbOf(210, 200, 160) : b;  // spines
  });
  auto foliage = [&](Rgb dark, Rgb light) {
    return [=](int, int, float g, float t, float clump) { return Mix(dark, light, std::clamp(0.5f * clump + 0.35f * g + 0.25f * t - 0.1f, 0.0f, 1.0f)); };
  };
  cell(kNeedles, foliage(RgbOf(22, 52, 30), RgbOf(58, 102, 56)));
  cell(kSnowNeedles, [&](int x, int y, float g, float t, float clump) {
    Rgb n = Mix(RgbOf(22, 50, 34), RgbOf(50, 88, 60), std::clamp(0.5f * clump + 0.4f * g, 0.0f, 1.0f));
    float snow = std::clamp((0.45f * t + 0.5f * clump + 0.35f * (1 - y / 63.0f) - 0.55f) * 5, 0.0f, 1.0f);
    (void)x;
    return Mix(n, RgbOf(236, 240, 246), snow);
  });
  cell(kLeaves, foliage(RgbOf(34, 72, 28), RgbOf(96, 146, 58)));
  cell(kAutumnLeaves, foliage(RgbOf(70, 104, 40), RgbOf(158, 184, 82)));
  cell(kOliveLeaves, foliage(RgbOf(70, 86, 60), RgbOf(150, 160, 128)));
  cell(kPineCrown, foliage(RgbOf(30, 62, 40), RgbOf(76, 112, 64)));
  cell(kAcaciaLeaves, foliage(RgbOf(82, 100, 38), RgbOf(156, 164, 76)));
  cell(kPalmFrond, [&](int x, int y, float g, float, float) {
    // A midrib along the frond (s = 0.5) and leaflets slanting away from it.
    float d = std::abs(x - 31.5f);
    Rgb b = Mix(RgbOf(40, 88, 36), RgbOf(104, 150, 60), 0.5f + 0.5f * std::sin((d + y) * 0.9f) * 0.6f + 0.2f * g);
    return d < 2 ? RgbOf(150, 150, 90) : b;
  });
  cell(kCypress, foliage(RgbOf(18, 40, 26), RgbOf(44, 76, 46)));
  cell(kDeadWood, [&](int x, int y, float, float t, float) { return Shade(RgbOf(104, 96, 86), 0.7f + 0.4f * streaks(x, y) + 0.1f * t); });
  cell(kStone, [&](int x, int y, float g, float t, float clump) {
    if (x < kCell / 2) return Shade(RgbOf(128, 124, 116), 0.75f + 0.3f * t + 0.15f * g - 0.1f * clump);
    // Red sandstone: wavy bedding layers of rust and buff.
    float bed = 0.5f + 0.5f * std::sin(2 * kPi * (y / 9.0f + 0.35f * grain.Sample(x * 0.5f, y * 0.2f)));
    Rgb stone = Mix(RgbOf(128, 62, 42), RgbOf(200, 134, 98), std::clamp(0.6f * bed + 0.35f * t + 0.25f * g - 0.15f, 0.0f, 1.0f));
    return Shade(stone, 0.85f + 0.2f * g - 0.08f * clump);
  });
  cell(kSnowLump, [&](int, int, float g, float t, float) { return Mix(RgbOf(196, 206, 224), RgbOf(246, 248, 252), std::clamp(0.6f * t + 0.4f * g, 0.0f, 1.0f)); });
  return c.ToBitmap();
}

MeshKit Conifer(std::mt19937& gen, float h, float spread, FloraCell needles) {
  MeshKit m;
  m.SetRegion(Cell(kBark));
  m.Cylinder(0.06f * spread + 0.02f, 0.03f, 0, 0.35f * h, 6, false);
  m.SetRegion(Cell(needles));
  // Four tiers of cones, each a little narrower and turned so the facets do not line up.
  const int tiers = 4;
  for (int i = 0; i < tiers; ++i) {
    float base = h * (0.14f + 0.2f * i), top = i == tiers - 1 ? h : base + 0.38f * h;
    float r = spread * (1 - 0.22f * i) * (0.9f + 0.2f * Uniform(gen));
    m.Push(RotationY(360 * Uniform(gen)));
    m.Cylinder(r, 0, base, top, 7, true);
    m.Pop();
  }
  return m;
}

MeshKit Broadleaf(std::mt19937& gen, float h, float spread, FloraCell bark, FloraCell leaves) {
  MeshKit m;
  m.SetRegion(Cell(bark));
  m.Cylinder(0.075f, 0.045f, 0, 0.6f * h, 6, false);
  for (int i = 0; i < 3; ++i) {
    float a = 2 * kPi * (i + Uniform(gen) * 0.5f) / 3;
    Limb(m, {0, 0.4f * h, 0}, {0.45f * spread * std::sin(a), 0.62f * h, 0.45f * spread * std::cos(a)}, 0.035f, 0.02f, 5);
  }
  m.SetRegion(Cell(leaves));
  Clump(m, {0, 0.7f * h, 0}, {0.75f * spread, 0.28f * h, 0.75f * spread}, 0);
  for (int i = 0; i < 5; ++i) {
    float a = 2 * kPi * (i + 0.4f * Uniform(gen)) / 5, r = spread * (0.45f + 0.15f * Uniform(gen));
    float y = h * (0.6f + 0.22f * Uniform(gen));
    float s = spread * (0.45f + 0.15f * Uniform(gen));
    Clump(m, {r * std::sin(a), y, r * std::cos(a)}, {s, s * 0.85f, s}, 360 * Uniform(gen));
  }
  Clump(m, {0, 0.88f * h, 0}, {0.4f * spread, 0.12f * h, 0.4f * spread}, 30);
  return m;
}

MeshKit UmbrellaPine(std::mt19937& gen, float h, float spread, FloraCell crownCell) {
  MeshKit m;
  m.SetRegion(Cell(kBark));
  const TAffineVector crown{0.12f * h, 0.8f * h, 0.02f * h};
  Limb(m, {0, 0, 0}, crown, 0.06f, 0.04f);
  Limb(m, crown * 0.7f, crown + TAffineVector(-0.3f * spread, 0.02f * h, 0.1f), 0.03f, 0.02f, 5);
  m.SetRegion(Cell(crownCell));
  Clump(m, crown + TAffineVector(0, 0.06f * h, 0), {spread, 0.1f * h, 0.85f * spread}, 0);
  for (int i = 0; i < 4; ++i) {
    float a = 2 * kPi * i / 4 + Uniform(gen);
    Clump(m, crown + TAffineVector(0.55f * spread * std::sin(a), 0.02f * h, 0.55f * spread * std::cos(a)),
          {0.5f * spread, 0.08f * h, 0.5f * spread}, 40.0f * i);
  }
  return m;
}

MeshKit Cypress(float h) {
  MeshKit m;
  m.SetRegion(Cell(kBark));
  m.Cylinder(0.05f, 0.04f, 0, 0.2f * h, 6, false);
  m.SetRegion(Cell(kCypress));
  Clump(m, {0, 0.55f * h, 0}, {0.16f * h, 0.46f * h, 0.16f * h}, 0);
  Clump(m, {0.03f * h, 0.4f * h, 0}, {0.13f * h, 0.3f * h, 0.13f * h}, 25);
  return m;
}

MeshKit Palm(std::mt19937& gen, float h) {
  MeshKit m;
  // A trunk that leans and bends, in six ringed segments.
  m.SetRegion(Cell(kPalmBark));
  TAffineVector prev{0, 0, 0};
  const int segments = 6;
  for (int i = 1; i <= segments; ++i) {
    float t = static_cast<float>(i) / segments;
    TAffineVector p{0.18f * h * t * t, 0.9f * h * t, 0};
    Limb(m, prev, p, 0.07f - 0.025f * t + 0.005f, 0.07f - 0.025f * t, 6);
    prev = p;
  }
  const TAffineVector top = prev;
  // Fronds: arching strips that droop toward their tips.
  m.SetRegion(Cell(kPalmFrond));
  const int fronds = 8;
  for (int f = 0; f < fronds; ++f) {
    float a = 2 * kPi * (f + 0.3f * Uniform(gen)) / fronds;
    TAffineVector dir{std::sin(a), 0, std::cos(a)}, side{std::cos(a), 0, -std::sin(a)};
    const float len = 0.55f * h * (0.85f + 0.3f * Uniform(gen));
    const int steps = 4;
    for (int s = 0; s < steps; ++s) {
      auto at = [&](int k) {
        float u = static_cast<float>(k) / steps;
        return top + dir * (len * u) + TAffineVector(0, 0.12f * h * u - 0.38f * h * u * u, 0);
      };
      auto width = [&](int k) { return 0.09f * h * std::sin(kPi * (0.15f + 0.85f * k / steps)) + 0.005f; };
      TAffineVector p0 = at(s), p1 = at(s + 1);
      m.Card(p0 + side * width(s), p0 - side * width(s), p1 - side * width(s + 1), p1 + side * width(s + 1), {0, 1, 0});
    }
  }
  m.SetRegion(Cell(kBark));
  for (int i = 0; i < 3; ++i) Clump(m, top + TAffineVector(0.05f * std::sin(2.1f * i), -0.05f, 0.05f * std::cos(2.1f * i)), {0.04f, 0.04f, 0.04f}, 0);
  return m;
}

MeshKit Cactus(float h) {
  MeshKit m;
  m.SetRegion(Cell(kCactus));
  const float r = 0.085f;
  m.Cylinder(r, r * 0.95f, 0, 0.88f * h, 8, false);
  Clump(m, {0, 0.88f * h, 0}, {r * 0.95f, r, r * 0.95f}, 0);
  // Two arms: out sideways, then up.
  struct Arm {
    float side, at, reach, rise;
  };
  for (const Arm& arm : {Arm{1, 0.38f, 0.2f, 0.32f}, Arm{-1, 0.5f, 0.17f, 0.26f}}) {
    const float ar = r * 0.7f;
    TAffineVector from{0, arm.at * h, 0}, elbow{arm.side * arm.reach * h, arm.at * h + 0.03f * h, 0};
    Limb(m, from, elbow, ar, ar, 8);
    Clump(m, elbow, {ar, ar, ar}, 0);
    TAffineVector tip = elbow + TAffineVector(0, arm.rise * h, 0);
    Limb(m, elbow, tip, ar, ar * 0.95f, 8);
    Clump(m, tip, {ar, ar, ar}, 0);
  }
  return m;
}

MeshKit BareTree(std::mt19937& gen, float h) {
  MeshKit m;
  m.SetRegion(Cell(kDeadWood));
  m.Cylinder(0.07f, 0.04f, 0, 0.55f * h, 6, false);
  Limb(m, {0, 0.5f * h, 0}, {0, h, 0}, 0.04f, 0.012f, 5);
  for (int i = 0; i < 5; ++i) {
    float a = 2 * kPi * (i + 0.5f * Uniform(gen)) / 5, y = h * (0.35f + 0.12f * i);
    float reach = h * (0.32f - 0.04f * i);
    TAffineVector from{0, y, 0}, to{reach * std::sin(a), y + 0.25f * h, reach * std::cos(a)};
    Limb(m, from, to, 0.025f, 0.008f, 5);
    Limb(m, (from + to) * 0.5f, to + TAffineVector(0.15f * h * std::cos(a), 0.12f * h, -0.15f * h * std::sin(a)), 0.012f,
         0.005f, 4);
  }
  m.SetRegion(Cell(kSnowLump));
  Clump(m, {0, 0.03f, 0}, {0.2f, 0.06f, 0.2f}, 0);  // a drift around the foot
  return m;
}

MeshKit Boulder(float size, FloraCell cell) {
  MeshKit m;
  m.SetRegion(Cell(cell));
  Clump(m, {0, 0.25f * size, 0}, {size, 0.6f * size, 0.8f * size}, 20);
  Clump(m, {0.5f * size, 0.15f * size, 0.4f * size}, {0.5f * size, 0.35f * size, 0.45f * size}, 70);
  return m;
}

platform::Bitmap PaintGrassAtlas(std::mt19937& gen, Rgb dark, Rgb light, Rgb flower) {
  Canvas c(256, 256, {}, 0);  // transparent: pure black where no blade is
  const Rgb dry = Mix(light, RgbOf(190, 170, 110), 0.6f);
  const Rgb tundra = Mix(dark, RgbOf(120, 100, 70), 0.4f);
  struct Look {
    int ox, oy;
    Rgb lo, hi;
    int blades;
    bool flowers;
  };
  for (const Look& look : {Look{0, 0, dark, light, 70, false}, Look{128, 0, dark, light, 55, true},
                           Look{0, 128, Shade(dry, 0.7f), dry, 60, false}, Look{128, 128, tundra, Mix(tundra, light, 0.5f), 80, false}}) {
    for (int i = 0; i < look.blades; ++i) {
      // Blades rise from the bottom of the cell, tallest in the middle, leaning outward.
      float bx = look.ox + 10 + 108 * Uniform(gen), by = look.oy + 125.0f;
      float centre = 1 - std::abs(bx - look.ox - 64) / 64;
      float height = (35 + 75 * Uniform(gen)) * (0.55f + 0.45f * centre);
      float lean = (bx - look.ox - 64) * 0.35f + (Uniform(gen) - 0.5f) * 30;
      float w = 1.6f + 1.6f * Uniform(gen);
      TTexPoint tip{std::clamp(bx + lean, look.ox + 3.0f, look.ox + 124.0f), std::max(by - height, look.oy + 4.0f)};
      Rgb colour = Mix(look.lo, look.hi, Uniform(gen));
      c.Fill(Polygon({{bx - w, by}, {bx + w, by}, {tip.x, tip.y}}), colour, 1, look.ox, look.oy, look.ox + 128, look.oy + 128);
      if (look.flowers && i % 4 == 0)
        c.Fill(Circle(tip.x, tip.y, 3.2f), Mix(flower, RgbOf(255, 255, 255), 0.3f * Uniform(gen)), 1, look.ox, look.oy,
               look.ox + 128, look.oy + 128);
    }
  }
  return c.ToBitmap(true);
}

MeshKit GrassTuft(int column, int row, float width, float height) {
  MeshKit m;
  m.SetRegion(AtlasCell(column, row, 2, 0.01f));
  m.CrossedCards(width, height, 3);
  return m;
}

}  // namespace forge
