// The forge step "military-theme": the theme Military. Its object order is fixed by the world:
// 0 the fence post (kind 3), 1 the wall segment (kind 4, one unit along +X from the post),
// 2 the naval pier (deck 15 x 5 at x -7..7, z -2..2, top 0.94, with the raised block where the
// two upper turret slots stand at 1.597 and 1.684), then the base buildings (kind 1).
#include <cmath>
#include <numbers>

#include "tools/forge/ground_textures.h"
#include "tools/forge/houses.h"
#include "tools/forge/steps.h"
#include "tools/forge/themekit.h"

namespace forge {

namespace {

constexpr int kCell = 64;
constexpr float kPi = std::numbers::pi_v<float>;

enum MilitaryCell {
  kWallStripes, kConcrete, kCorrugated, kHangarDoor,
  kOfficeWindows, kDeckPlanks, kPiling, kSteel,
  kHazard, kPostBands, kGlass, kRoofFelt,
};
UvRect Uv(MilitaryCell c) { return AtlasCell(c % 4, c / 4, 4, 0.04f); }

platform::Bitmap PaintMilitaryAtlas(std::mt19937& gen) {
  Canvas c(256, 256);
  const Field grain = Fbm(gen, 256, 32, 3, 0.5f);
  const Field stain = Fbm(gen, 256, 8, 4, 0.5f);
  auto cell = [&](MilitaryCell which, const std::function<Rgb(int x, int y, float g, float s)>& f) {
    int ox = (which % 4) * kCell, oy = (which / 4) * kCell;
    for (int y = 0; y < kCell; ++y)
      for (int x = 0; x < kCell; ++x) c.At(ox + x, oy + y) = f(x, y, grain.At(ox + x, oy + y), stain.At(ox + x, oy + y));
  };
  auto concrete = [](float g, float s) { return Shade(RgbOf(156, 154, 146), 0.8f + 0.2f * g - 0.15f * s * s); };
  cell(kWallStripes, [&](int x, int y, float g, float s) {
    Rgb b = concrete(g, s);
    if (y < 6) b = Shade(b, 1.1f);                          // coping
    if (y > 30 && y < 38) b = RgbOf(84, 92, 60);            // an olive band
    if (x % 32 == 0) b = Shade(b, 0.7f);                     // panel joints
    return b;
  });
  cell(kConcrete, [&](int x, int y, float g, float s) { return (x % 32 == 0 || y % 32 == 0) ? Shade(concrete(g, s), 0.75f) : concrete(g, s); });
  cell(kCorrugated, [&](int x, int, float g, float s) {
    float rib = 0.5f + 0.5f * std::cos(2 * kPi * x / 6.0f);
    return Shade(RgbOf(98, 106, 72), 0.75f + 0.3f * rib + 0.1f * g - 0.1f * s);
  });
  cell(kHangarDoor, [&](int x, int y, float g, float) {
    Rgb b = Shade(RgbOf(120, 124, 120), 0.85f + 0.2f * g);
    if (x % 16 == 0 || y < 4) b = Shade(b, 0.6f);
    if (y > 54) b = RgbOf(200, 170, 40);
    return b;
  });
  cell(kOfficeWindows, [&](int x, int y, float g, float s) {
    Rgb b = concrete(g, s);
    if (y > 20 && y < 40 && x % 16 > 3 && x % 16 < 13) b = Mix(RgbOf(130, 160, 176), RgbOf(36, 48, 60), (y - 20) / 20.0f);
    return b;
  });
  cell(kDeckPlanks, [&](int x, int y, float g, float s) {
    Rgb b = Shade(RgbOf(120, 100, 76), 0.8f + 0.25f * grain.Sample(x * 3.0f, y * 0.3f) - 0.1f * s);
    (void)g;
    return (x % 8 == 0) ? Shade(b, 0.55f) : b;
  });
  cell(kPiling, [&](int, int y, float g, float) {
    Rgb b = Shade(RgbOf(90, 80, 66), 0.8f + 0.3f * g);
    return y > 40 ? Mix(b, RgbOf(50, 80, 50), (y - 40) / 24.0f) : b;  // weed below the tide line
  });
  cell(kSteel, [&](int, int, float g, float) { return Shade(RgbOf(80, 84, 88), 0.8f + 0.3f * g); });
  cell(kHazard, [&](int x, int y, float, float) { return ((x + y) / 8) % 2 ? RgbOf(220, 180, 30) : RgbOf(34, 32, 30); });
  cell(kPostBands, [&](int, int y, float g, float) { return (y / 16) % 2 ? RgbOf(200, 50, 40) : Shade(RgbOf(230, 230, 224), 0.9f + 0.1f * g); });
  cell(kGlass, [&](int x, int y, float, float) {
    Rgb b = Mix(RgbOf(120, 160, 180), RgbOf(40, 60, 76), y / 63.0f);
    return (x % 21 < 2) ? RgbOf(60, 64, 68) : b;  // mullions
  });
  cell(kRoofFelt, [&](int, int, float g, float s) { return Shade(RgbOf(66, 66, 62), 0.8f + 0.3f * g - 0.1f * s); });
  for (int cellIndex = 12; cellIndex < 16; ++cellIndex)
    for (int y = 0; y < kCell; ++y)
      for (int x = 0; x < kCell; ++x) c.At((cellIndex % 4) * kCell + x, (cellIndex / 4) * kCell + y) = RgbOf(90, 90, 86);
  return c.ToBitmap();
}

platform::Bitmap SlabTexture(std::mt19937& gen) {
  const Field stain = Fbm(gen, kGroundSize, 4, 5, 0.55f);
  const Field grain = Fbm(gen, kGroundSize, 64, 2, 0.5f);
  Canvas c(kGroundSize, kGroundSize);
  c.Each([&](int x, int y, Rgb& colour, float&) {
    colour = Shade(RgbOf(150, 148, 140), 0.8f + 0.15f * grain.At(x, y) + 0.15f * (stain.At(x, y) - 0.5f));
    if (x % 64 < 2 || y % 64 < 2) colour = Shade(colour, 0.6f);  // expansion joints
  });
  return c.ToBitmap();
}

MeshKit FencePost() {
  MeshKit m;
  m.SetRegion(Uv(kConcrete));
  m.Box({-0.05f, 0, -0.05f}, {0.05f, 0.3f, 0.05f}, false);
  m.SetRegion(Uv(kPostBands));
  m.Box({-0.035f, 0.3f, -0.035f}, {0.035f, 0.42f, 0.035f}, false);
  m.SetRegion(Uv(kSteel));
  m.Box({-0.045f, 0.42f, -0.045f}, {0.045f, 0.45f, 0.045f});
  return m;
}

constexpr float kWallHeight = 0.34f;

MeshKit WallSegment() {
  MeshKit m;
  m.SetRegion(Uv(kWallStripes));
  m.Box({0, 0, -0.045f}, {1, kWallHeight, 0.045f}, false);
  // Razor wire on top: a few coils along the wall, square in section: a hundred walls stand
  // round every base, and rounder coils would triple the wall's triangles for a few pixels.
  m.SetRegion(Uv(kSteel));
  for (int i = 0; i < 4; ++i) {
    float x = (i + 0.5f) / 4;
    m.Push(Translation(x, kWallHeight + 0.04f, 0) * RotationZ(90) * RotationY(45));
    m.Cylinder(0.04f, 0.04f, -0.1f, 0.1f, 4, false);
    m.Pop();
  }
  return m;
}

MeshKit Pier() {
  MeshKit m;
  // Deck slab on piles, its top at the turret slots' 0.939.
  m.SetRegion(Uv(kConcrete));
  m.Box({-7.0f, 0.8f, -2.0f}, {7.0f, 0.939f, 2.0f});
  // Planking laid a hair above the slab in unit squares, so the boards keep their width.
  m.SetRegion(Uv(kDeckPlanks));
  for (int x = -7; x < 7; ++x)
    for (int z = -2; z < 2; ++z) {
      const float y = 0.94f, x0 = static_cast<float>(x), z0 = static_cast<float>(z);
      m.Quad({x0, y, z0 + 1}, {x0 + 1, y, z0 + 1}, {x0 + 1, y, z0}, {x0, y, z0});
    }
  m.SetRegion(Uv(kPiling));
  for (int i = 0; i < 11; ++i)
    for (float z : {-1.75f, 0.0f, 1.75f}) {
      m.Push(Translation(-6.6f + 1.32f * i, 0, z));
      m.Cylinder(0.11f, 0.11f, -2.0f, 0.8f, 8, false);
      m.Pop();
    }
  // Harbour office: two roof levels holding turret slots 1 (1.684) and 0 (1.597).
  m.SetRegion(Uv(kOfficeWindows));
  m.Box({-0.6f, 0.94f, 0.6f}, {1.25f, 1.684f, 2.0f}, false);
  m.Box({1.25f, 0.94f, 0.6f}, {3.0f, 1.597f, 2.0f}, false);
  m.SetRegion(Uv(kHazard));
  m.Box({-0.62f, 1.64f, 0.58f}, {1.25f, 1.684f, 0.62f});
  m.Box({1.25f, 1.555f, 0.58f}, {3.02f, 1.597f, 0.62f});
  // Stairs up the block's open side and bollards along both quays.
  m.SetRegion(Uv(kSteel));
  for (int s = 0; s < 6; ++s) {
    float y = 0.94f + 0.12f * (s + 1), z = 0.6f - 0.1f * (s + 1);
    m.Box({-1.0f, y - 0.03f, z - 0.1f}, {-0.62f, y, z});
  }
  for (int i = 0; i < 8; ++i)
    for (float z : {-1.92f, 1.92f}) {
      float x = -6.8f + 1.9f * i;
      if (z > 0 && x > -0.8f && x < 3.1f) continue;
      m.Push(Translation(x, 0, z));
      m.Cylinder(0.05f, 0.06f, 0.94f, 1.04f, 8);
      m.Pop();
    }
  return m;
}

Building Hangar() {
  Building b;
  MeshKit& m = b.model;
  const float r = 0.38f, half = 0.44f;
  const int n = 10;
  std::vector<TTexPoint> arc;
  for (int i = 0; i <= n; ++i) arc.push_back({r * std::cos(kPi * i / n), r * std::sin(kPi * i / n)});
  const LoftSection shell[] = {{-half, arc}, {half, arc}};
  m.SetRegion(Uv(kCorrugated));
  m.Loft(shell, false, false);
  // End walls: fans under the arch, the doors at the front.
  for (float z : {half, -half}) {
    m.SetRegion(Uv(z > 0 ? kHangarDoor : kCorrugated));
    for (int i = 0; i < n; ++i) {
      TTexPoint a = arc[i], c = arc[i + 1];
      auto uv = [&](TTexPoint p) { return TTexPoint(0.5f + 0.5f * p.x / r, p.y / r); };
      if (z > 0) m.Triangle({0, 0, z}, {a.x, a.y, z}, {c.x, c.y, z}, {0.5f, 0}, uv(a), uv(c));
      else m.Triangle({0, 0, z}, {c.x, c.y, z}, {a.x, a.y, z}, {0.5f, 0}, uv(c), uv(a));
    }
  }
  b.height = r;
  b.markers = {Marker({0, r / 2, 0}, {2 * r, r, 2 * half})};
  return b;
}

Building ControlTower() {
  Building b;
  MeshKit& m = b.model;
  m.SetRegion(Uv(kOfficeWindows));
  m.Box({-0.3f, 0, -0.25f}, {0.3f, 0.3f, 0.25f}, false);
  m.SetRegion(Uv(kRoofFelt));
  m.Box({-0.31f, 0.3f, -0.26f}, {0.31f, 0.32f, 0.26f});
  m.SetRegion(Uv(kConcrete));
  m.Box({-0.12f, 0.32f, -0.12f}, {0.12f, 0.88f, 0.12f}, false);
  m.SetRegion(Uv(kGlass));
  m.Box({-0.2f, 0.88f, -0.2f}, {0.2f, 1.04f, 0.2f}, false);
  m.SetRegion(Uv(kRoofFelt));
  m.Box({-0.23f, 1.04f, -0.23f}, {0.23f, 1.07f, 0.23f});
  m.SetRegion(Uv(kSteel));
  m.Box({0.1f, 1.07f, 0.1f}, {0.115f, 1.3f, 0.115f});
  m.SetRegion(Uv(kHazard));
  m.Box({0.09f, 1.3f, 0.09f}, {0.125f, 1.33f, 0.125f});
  b.height = 1.07f;
  b.markers = {Marker({0, 0.16f, 0}, {0.6f, 0.32f, 0.5f}), Marker({0, 0.7f, 0}, {0.4f, 0.76f, 0.4f})};
  return b;
}

}  // namespace

bool ForgeMilitaryTheme(const ForgeContext& context, std::string& error) {
  std::mt19937 gen = SeededGenerator("military-theme");
  TTRVThemeFileData t;
  t.themeName = "Military";
  t.materials = {
      HeightLayer("Earth", GravelTexture(gen, RgbOf(122, 108, 84), RgbOf(150, 146, 136)), 1, 6, 255, 12),
      ClassLayer("BaseGround", SlabTexture(gen), 6, 8),
      TextureMaterial("Military", PaintMilitaryAtlas(gen)),
      TextureMaterial("Houses", PaintBuildingAtlas(gen)),
  };
  t.objects.push_back(ModelObject("FencePost", "Military", okObstacle, 0.45f, FencePost()));
  t.objects.push_back(ModelObject("Wall", "Military", okImposterObject, kWallHeight, WallSegment(),
                                  {Marker({0.5f, kWallHeight / 2, 0}, {1, kWallHeight, 0.1f})}));
  t.objects.push_back(ModelObject("Pier", "Military", okImposterObject, 1.65f, Pier(),
                                  {Marker({0, 0.47f, 0}, {14, 0.94f, 4}), Marker({1.2f, 1.3f, 1.3f}, {3.6f, 0.75f, 1.4f})}));
  const HouseStyle barracks{kPlasterWindow, kPlasterDoor, kPlaster, kSlate, 0.5f};
  const Building hall = GableHouse(0.86f, 0.44f, 0.3f, barracks, false);
  t.objects.push_back(ModelObject("Barracks", "Houses", okBuilding, hall.height, hall.model, hall.markers));
  const Building hangar = Hangar();
  t.objects.push_back(ModelObject("Hangar", "Military", okBuilding, hangar.height, hangar.model, hangar.markers));
  const Building tower = ControlTower();
  t.objects.push_back(ModelObject("ControlTower", "Military", okBuilding, tower.height, tower.model, tower.markers));
  return WriteTheme(context, t, error);
}

}  // namespace forge
