// Placing and sweeping the live grass around the camera.
#include "terrain/grass.h"

#include <algorithm>
#include <cmath>

#include "platform/random.h"
#include "scene/freeform.h"
#include "scene/proxy.h"
#include "world/queries.h"
#include "world/world.h"

namespace {

int GrassDistanceOf(const TTRVWorld& world) { return std::max(1, static_cast<int>(world.Context().settings.GrassDistance)); }

// floor for a coordinate, with broken or huge values kept far outside any map.
int CellOf(float v) {
  const float f = std::floor(v);
  if (!(f > -1e6f)) return -1000000;
  if (!(f < 1e6f)) return 1000000;
  return static_cast<int>(f);
}

float FlatDistance(const TAffineVector& a, const TAffineVector& b) { return std::hypot(a.x - b.x, a.z - b.z); }

TGLBaseSceneObject* RandomTuft(const TTRVTheme& theme) {
  const int pick = platform::Random().Int(static_cast<int>(theme.grassObjects.size()));
  return theme.Object(theme.grassObjects[static_cast<std::size_t>(pick)]);
}

// One cell's grass: a tuft somewhere in the cell and density - 1 more as its children, each
// on the ground where it stands.
void PlantCell(TTRVWorld& world, const TTRVGroundView& ground, const TTRVTheme& theme, int x, int z, int density) {
  const float r1 = static_cast<float>(platform::Random().Real()), r2 = static_cast<float>(platform::Random().Real());
  auto* tuft = world.grassRoot->AddNewChild<TGLProxyObject>();
  const float px = static_cast<float>(x) + r1, pz = static_cast<float>(z) + r2;
  tuft->Position.SetPoint(px, SurfaceAt(ground, px, pz, false).height, pz);
  tuft->SetTurnAngle(static_cast<float>(platform::Random().Int(360)));
  tuft->MasterObject = RandomTuft(theme);
  for (int k = 1; k < density; ++k) {
    // The offset is chosen across the ground and carried into the turned tuft's own frame,
    // so the child stays in the same cell whichever way its parent faces.
    const float cx = px + static_cast<float>(platform::Random().Real()) - r1;
    const float cz = pz + static_cast<float>(platform::Random().Real()) - r2;
    const TAffineVector at(cx, SurfaceAt(ground, cx, cz, false).height, cz);
    auto* child = tuft->AddNewChild<TGLProxyObject>();
    child->Position.SetPoint(TAffineVector(tuft->InvAbsoluteMatrix() * TVector(at, 1)));
    child->SetTurnAngle(static_cast<float>(platform::Random().Int(360)));
    child->MasterObject = RandomTuft(theme);
  }
}

}  // namespace

TTRVGrid<std::uint8_t> BuildGrassMask(int grassDistance) {
  const int g = std::max(1, grassDistance);
  TTRVGrid<std::uint8_t> mask(2 * g, 2 * g, 0);
  const float r = static_cast<float>(g) - 0.5f;
  for (int a = 0; a <= 2 * g - 2; ++a)
    for (int b = 0; b <= 2 * g - 2; ++b) {
      const float da = static_cast<float>(a - g + 1), db = static_cast<float>(b - g + 1);
      if (da * da + db * db <= r * r) mask(a, b) = 1;
    }
  return mask;
}

void PrepareGrass(TTRVWorld& world) {
  world.grassMask = BuildGrassMask(GrassDistanceOf(world));
  world.lastGrassCentre = {-1e9f, 0, -1e9f};
}

void UpdateGrass(TTRVWorld& world, const TAffineVector& camera) {
  const TTRVSettings& settings = world.Context().settings;
  if (!settings.RenderGrass || !world.grassRoot) return;
  const int g = GrassDistanceOf(world);
  if (world.grassMask.SizeX() != 2 * g) PrepareGrass(world);
  const TAffineVector centre(camera.x, 0, camera.z);
  if (!(FlatDistance(centre, world.lastGrassCentre) >= kGrassStep)) return;
  world.lastGrassCentre = centre;
  const int cx = CellOf(centre.x), cz = CellOf(centre.z);

  // The cells that carry grass already, in the mask's own coordinates.
  TTRVGrid<std::uint8_t> occupied(2 * g, 2 * g, 0);
  for (int i = 0; i < world.grassRoot->Count(); ++i) {
    const TAffineVector p = world.grassRoot->Children(i)->Position.AsAffineVector();
    occupied.Set(cx + g - static_cast<int>(p.x), cz + g - static_cast<int>(p.z), 1);
  }

  const TTRVGroundView ground = GroundOf(world);
  const int cellsX = world.sectorCountX * kSectorCells, cellsZ = world.sectorCountZ * kSectorCells;
  const int density = std::max(1, static_cast<int>(settings.GrassDensity));
  for (int a = 0; a < 2 * g; ++a)
    for (int b = 0; b < 2 * g; ++b) {
      if (!world.grassMask(a, b) || occupied(a, b)) continue;
      const int x = cx + g - a, z = cz + g - b;
      if (x < 1 || x >= cellsX || z < 1 || z >= cellsZ || !world.grassGrid.At(x, z, 0)) continue;
      const std::size_t t = world.themeGrid.At(x, z, 255);
      if (t >= world.themes.size() || world.themes[t]->grassObjects.empty()) continue;
      PlantCell(world, ground, *world.themes[t], x, z, density);
    }

  // Measured across the ground: a tuft on a hill is as near as the cell it stands in.
  const float reach = static_cast<float>(g) + kGrassStep;
  for (int i = world.grassRoot->Count() - 1; i >= 0; --i) {
    TGLBaseSceneObject* tuft = world.grassRoot->Children(i);
    if (FlatDistance(tuft->Position.AsAffineVector(), centre) > reach) tuft->Free();
  }
}

void ShowGrassInView(TTRVWorld& world, const TAffineVector& eye, const TMatrix& viewMatrix) {
  if (!world.grassRoot) return;
  // The eye looks down its -Z axis. Half the widest view the game's lenses give is about 55
  // degrees from that axis; anything within 78 degrees is kept, and everything close by.
  constexpr float kKeepCos = 0.2f, kAlwaysWithin = 4.0f;
  const TAffineVector forward = -TAffineVector(viewMatrix[0][2], viewMatrix[1][2], viewMatrix[2][2]);
  for (int i = 0; i < world.grassRoot->Count(); ++i) {
    TGLBaseSceneObject* tuft = world.grassRoot->Children(i);
    const TAffineVector to = tuft->Position.AsAffineVector() - eye;
    const float d = VectorLength(to);
    tuft->Visible = d < kAlwaysWithin || glm::dot(to, forward) > kKeepCos * d;
  }
}

int GrassCount(const TTRVWorld& world) {
  if (!world.grassRoot) return 0;
  int n = 0;
  for (int i = 0; i < world.grassRoot->Count(); ++i) n += 1 + world.grassRoot->Children(i)->Count();
  return n;
}
