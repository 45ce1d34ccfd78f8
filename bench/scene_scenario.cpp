// The standard scene: a textured, lit terrain patch as one mesh, trees as proxies of one
// master, fog and a HUD sprite, drawn through the scene layer as the game draws.

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/benchdisplay.h"
#include "bench/scenarios.h"
#include "platform/bitmap.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "scene/freeform.h"
#include "scene/proxy.h"
#include "scene/sprite.h"
#include "scene/viewer.h"

namespace {

constexpr int kGrid = 64;  // 64 x 64 quads: 8192 triangles

float Height(float x, float z) { return 1.5f * std::sin(x * 0.21f) * std::cos(z * 0.17f) + 0.6f * std::sin(z * 0.5f); }

std::unique_ptr<TMeshObject> TerrainMesh() {
  TAffineVectorList v, n;
  TTexPointList t;
  TIntegerList idx;
  for (int z = 0; z <= kGrid; ++z)
    for (int x = 0; x <= kGrid; ++x) {
      float fx = static_cast<float>(x), fz = static_cast<float>(z);
      v.push_back({fx, Height(fx, fz), fz});
      TAffineVector dx(1, Height(fx + 0.5f, fz) - Height(fx - 0.5f, fz), 0);
      TAffineVector dz(0, Height(fx, fz + 0.5f) - Height(fx, fz - 0.5f), 1);
      n.push_back(VectorNormalize(glm::cross(dz, dx)));
      t.push_back({fx / 8, fz / 8});
    }
  for (int z = 0; z < kGrid; ++z)
    for (int x = 0; x < kGrid; ++x) {
      int a = z * (kGrid + 1) + x, b = a + 1, c = a + kGrid + 1, d = c + 1;
      for (int i : {a, c, b, b, c, d}) idx.push_back(i);
    }
  auto mesh = MakeMeshObject("terrain", v, n, t);
  AddVertexIndexGroup(*mesh, idx);
  return mesh;
}

// A low tree: a 12-sided cone of foliage over a 6-sided trunk, about 60 triangles.
std::unique_ptr<TMeshObject> TreeMesh() {
  TAffineVectorList v, n;
  auto ring = [&](float r0, float r1, float y0, float y1, int sides) {
    for (int i = 0; i < sides; ++i) {
      float a0 = 6.2831853f * i / sides, a1 = 6.2831853f * (i + 1) / sides;
      TAffineVector p[4] = {{r0 * std::sin(a0), y0, r0 * std::cos(a0)}, {r0 * std::sin(a1), y0, r0 * std::cos(a1)},
                            {r1 * std::sin(a1), y1, r1 * std::cos(a1)}, {r1 * std::sin(a0), y1, r1 * std::cos(a0)}};
      TAffineVector nn = VectorNormalize(TAffineVector(std::sin((a0 + a1) / 2), (r0 - r1) / (y1 - y0), std::cos((a0 + a1) / 2)));
      for (int k : {0, 1, 2, 0, 2, 3}) {
        v.push_back(p[k]);
        n.push_back(nn);
      }
    }
  };
  ring(0.12f, 0.1f, 0, 0.8f, 6);
  ring(0.9f, 0.0f, 0.6f, 2.6f, 12);
  ring(0.9f, 0.0f, 0.6f, 0.6f, 12);
  return MakeMeshObject("tree", v, n);
}

platform::Bitmap GrassTexture() {
  platform::Bitmap bmp(128, 128, 24);
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x) {
      int g = 120 + static_cast<int>(40 * std::sin(x * 0.3f) * std::sin(y * 0.23f)) + ((x * 7 + y * 13) % 17);
      bmp.SetPixel(x, y, platform::MakeColor(g / 3, g, g / 4));
    }
  return bmp;
}

double MeasureFps(TGLSceneViewer& viewer, platform::MessageLoop& loop, double seconds) {
  // Warm up: the first frames upload textures and build vertex caches.
  for (int i = 0; i < 5; ++i) viewer.Render();
  int frames = 0;
  double start = platform::NowSeconds(), now = start;
  while (now - start < seconds && loop.PumpEvents()) {
    viewer.Render();
    ++frames;
    now = platform::NowSeconds();
  }
  return now > start ? frames / (now - start) : 0;
}

}  // namespace

int RunSceneScenario(const BenchOptions& options) {
  int code = 0;
  {
    BenchDisplay display;
    if (!display.Open(800, 600, "morvane-bench")) return 1;
    platform::Window& window = display.window;
    std::string error;
    platform::MessageLoop loop(window);
    TGLScene scene;
    TGLMaterialLibrary library;
    library.AddTextureMaterial("grass", GrassTexture());
    TGLLibMaterial* leaves = library.Add("leaves");
    leaves->Material.FrontProperties.Diffuse.SetColor(0.15f, 0.45f, 0.12f);

    auto* camera = scene.Objects().AddNewChild<TGLCamera>();
    camera->FocalLength = window.Width() / 800.0f * 50;
    camera->DepthOfView = 1024;
    camera->Position.SetPoint(kGrid / 2.0f, 9, -4);
    camera->Direction.SetVector(0, -0.35f, 1);
    auto* sun = scene.Objects().AddNewChild<TGLLightSource>();
    sun->LightStyle = lsParallel;
    sun->SpotDirection.SetVector(0.4f, 1, -0.3f);

    auto* terrain = scene.Objects().AddNewChild<TGLFreeForm>();
    terrain->MeshObjects.Add(TerrainMesh());
    terrain->Material.MaterialLibrary = &library;
    terrain->Material.LibMaterialName = "grass";

    auto* masters = scene.Objects().AddNewChild<TGLDummyCube>();
    masters->Visible = false;
    auto* tree = masters->AddNewChild<TGLFreeForm>();
    tree->MeshObjects.Add(TreeMesh());
    tree->Material.MaterialLibrary = &library;
    tree->Material.LibMaterialName = "leaves";
    int trees = 0;
    std::size_t triangles = terrain->MeshObjects.TriangleCount();
    for (int i = 0; i < 30; ++i) {
      float x = 6 + (i % 6) * 10.0f + (i % 3), z = 8 + (i / 6) * 9.0f;
      auto* p = scene.Objects().AddNewChild<TGLProxyObject>();
      p->MasterObject = tree;
      p->Position.SetPoint(x, Height(x, z), z);
      p->Turn(i * 37.0f);
      ++trees;
      triangles += tree->MeshObjects.TriangleCount();
    }
    auto* hud = scene.Objects().AddNewChild<TGLHUDSprite>();
    hud->Position.SetPoint(60, 40, 0);
    hud->SetSize(100, 24);
    hud->Material.MaterialOptions = moNoLighting;
    hud->Material.BlendingMode = bmTransparency;
    hud->Material.FrontProperties.Diffuse.SetColor(0, 0, 0, 0.5f);

    TGLSceneViewer viewer(window);
    viewer.SetCamera(camera);
    viewer.Buffer.BackgroundColor = 0x00E0C8A0;
    viewer.Buffer.FogEnable = true;
    viewer.Buffer.FogEnvironment.FogColor = TGLColor::FromWinColor(0x00E0C8A0);
    viewer.Buffer.FogEnvironment.FogStart = 40;
    viewer.Buffer.FogEnvironment.FogEnd = 90;

    double sceneFps = MeasureFps(viewer, loop, options.seconds);
    if (!options.shotPath.empty() && !viewer.CreateSnapshotBitmap().SaveBmp(options.shotPath, error))
      std::fprintf(stderr, "morvane-bench: %s\n", error.c_str());
    // The floor: the same window cleared and swapped, nothing drawn.
    viewer.SetCamera(nullptr);
    double floorFps = MeasureFps(viewer, loop, options.seconds / 2);

    std::printf("scenario: scene\n");
    std::printf("width: %d\nheight: %d\n", window.Width(), window.Height());
    std::printf("triangles: %zu\n", triangles);
    std::printf("proxies: %d\n", trees);
    std::printf("scene_fps: %.1f\n", sceneFps);
    std::printf("floor_fps: %.1f\n", floorFps);
  }
  return code;
}
