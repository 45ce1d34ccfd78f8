// morvane-bench fly [FILE] [--altitude A] [--shot-at F]: loads an island (a world file, or a synthetic 10 x 10-sector one
// written with the game's own writer when FILE is "synthetic" or missing) and flies the camera
// across it at 800 x 600 with the "Medium" detail settings, as the game step would drive the
// sectors: bake, stream, grass, waves, sky on the camera. Prints fly_fps, floor_fps,
// bake_ms_max, the ground layer passes drawn per frame and the grass tufts standing. The
// camera keeps A units over the ground (default 28); --shot takes its picture after the
// fraction F of the flight (default 0.15).
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "bench/benchdisplay.h"
#include "bench/scenarios.h"
#include "platform/bitmap.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "scene/viewer.h"
#include "terrain/grass.h"
#include "terrain/lodtable.h"
#include "terrain/sector.h"
#include "terrain/sectorstream.h"
#include "world/queries.h"
#include "world/world.h"
#include "world/worldfile.h"

namespace fs = std::filesystem;

namespace {

// Smooth value noise in 0..1 over a lattice of the given spacing.
class ValueNoise {
 public:
  explicit ValueNoise(std::uint32_t seed) : seed_(seed) {}
  float At(float x, float z) const {
    const int x0 = static_cast<int>(std::floor(x)), z0 = static_cast<int>(std::floor(z));
    const float fx = Smooth(x - static_cast<float>(x0)), fz = Smooth(z - static_cast<float>(z0));
    const float a = Lattice(x0, z0), b = Lattice(x0 + 1, z0), c = Lattice(x0, z0 + 1), d = Lattice(x0 + 1, z0 + 1);
    return (a * (1 - fx) + b * fx) * (1 - fz) + (c * (1 - fx) + d * fx) * fz;
  }
  float Octaves(float x, float z, int octaves) const {
    float sum = 0, amplitude = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
      sum += At(x, z) * amplitude;
      total += amplitude;
      x = x * 2.03f + 17.1f;
      z = z * 2.03f - 5.3f;
      amplitude *= 0.5f;
    }
    return sum / total;
  }

 private:
  static float Smooth(float t) { return t * t * (3 - 2 * t); }
  float Lattice(int x, int z) const {
    std::uint32_t h = seed_ ^ (static_cast<std::uint32_t>(x) * 374761393u) ^ (static_cast<std::uint32_t>(z) * 668265263u);
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
  }
  std::uint32_t seed_;
};

// Object indices of the forge's "Basic" theme: three trees, then three houses.
constexpr std::uint8_t kTrees[] = {0, 1, 2};
constexpr std::uint8_t kHouses[] = {3, 4, 5};

// A noisy island in a 10 x 10-sector sea: beaches, hills with rock on the heights, forests
// with trees, four villages with houses and a road between them. Land uses theme 0 (Basic),
// the sea theme 1 (Water).
TTRVWorldFileData SyntheticIsland() {
  constexpr int kSectors = 10, kCells = kSectors * kSectorCells;
  const ValueNoise relief(7), forest(91), jitter(1234);
  std::mt19937 random(42);
  TTRVGrid<std::uint8_t> height(kCells, kCells, 0), type(kCells, kCells, 0x10 | tcSea);
  const float cx = 150, cz = 148, radius = 128;
  const struct {
    float x, z, r;
  } villages[] = {{72, 116, 8}, {120, 110, 9}, {185, 165, 8}, {110, 190, 7}};
  for (int x = 0; x < kCells; ++x)
    for (int z = 0; z < kCells; ++z) {
      const float dx = (static_cast<float>(x) - cx) / radius, dz = (static_cast<float>(z) - cz) / radius;
      const float coast = 1 - (dx * dx + dz * dz) - 0.35f * (relief.Octaves(x / 40.0f + 50, z / 40.0f + 50, 3) - 0.5f);
      if (coast <= 0.04f) continue;
      const float hills = relief.Octaves(x / 28.0f, z / 28.0f, 4);
      const float h = std::min(1.0f, coast * 1.4f) * (0.15f + 1.2f * hills * hills) * 230;
      height(x, z) = static_cast<std::uint8_t>(std::clamp(h, 1.0f, 240.0f));
      std::uint8_t terrain = tcOpenGround;
      if (forest.Octaves(x / 18.0f, z / 18.0f, 3) > 0.56f && height(x, z) > 12 && height(x, z) < 170) terrain = tcForest;
      for (const auto& v : villages)
        if (std::hypot(static_cast<float>(x) - v.x, static_cast<float>(z) - v.z) < v.r) terrain = tcSettlement;
      type(x, z) = terrain;
    }
  // A road from village to village, a cell wide, where it runs over land.
  for (std::size_t i = 0; i + 1 < std::size(villages); ++i) {
    const auto& a = villages[i];
    const auto& b = villages[i + 1];
    const int steps = static_cast<int>(std::hypot(b.x - a.x, b.z - a.z));
    for (int s = 0; s <= steps; ++s) {
      const float t = static_cast<float>(s) / static_cast<float>(steps);
      const int x = static_cast<int>(a.x + (b.x - a.x) * t + 6 * std::sin(t * 6.28f));
      const int z = static_cast<int>(a.z + (b.z - a.z) * t);
      if (height.At(x, z, 0) > 0 && type(x, z) != tcSettlement) type(x, z) = tcRoad;
    }
  }

  TTRVWorldFileData d;
  d.worldName = "FlySynthetic";
  d.createdAt = 45000;
  d.heightDivisor = 13;
  d.themeNames = {"Basic", "Water"};
  d.sectorCountX = kSectors;
  d.sectorCountZ = kSectors;
  d.grass.assign(static_cast<std::size_t>(kCells) * kCells, 0);
  for (int i = 0; i < kNavalBaseCount; ++i) d.navalBases[static_cast<std::size_t>(i)] = {3, 3};
  std::uniform_real_distribution<float> unit(0, 1);
  // The last sector column and row stay open sea, as the generator leaves them.
  for (int sx = 0; sx < kSectors - 1; ++sx)
    for (int sz = 0; sz < kSectors - 1; ++sz) {
      TTRVSectorRecord r;
      r.sectorX = sx;
      r.sectorZ = sz;
      bool land = false;
      for (int a = 0; a < kSectorSide; ++a)
        for (int b = 0; b < kSectorSide; ++b) {
          const int x = sx * kSectorCells + a, z = sz * kSectorCells + b;
          const std::size_t i = static_cast<std::size_t>(a * kSectorSide + b);
          r.heights[i] = height.At(x, z, 0);
          r.cellTypes[i] = type.At(x, z, 0x10 | tcSea);
          land = land || r.heights[i] > 0;
        }
      if (!land) continue;
      for (int a = 0; a < kSectorCells; ++a)
        for (int b = 0; b < kSectorCells; ++b) {
          const int x = sx * kSectorCells + a, z = sz * kSectorCells + b;
          const std::uint8_t t = type(x, z);
          const float roll = unit(random);
          const auto offset = static_cast<std::uint8_t>((static_cast<int>(unit(random) * 12 + 2) << 4) | static_cast<int>(unit(random) * 12 + 2));
          if (t == tcForest && roll < 0.22f) {
            // Near trees in list 0, then fewer kept as imposters further out.
            const int list = roll < 0.1f ? 0 : roll < 0.16f ? 1 : 2;
            r.placements[static_cast<std::size_t>(list)].push_back(
                {static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b), kTrees[random() % 3], 0x80, offset});
          } else if (t == tcOpenGround && roll < 0.008f && height(x, z) < 150) {
            r.placements[1].push_back({static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b), kTrees[random() % 3], 0x80, offset});
          } else if (t == tcSettlement && roll < 0.12f && jitter.At(x * 0.7f, z * 0.7f) > 0.3f) {
            r.placements[2].push_back({static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b), kHouses[random() % 3],
                                       static_cast<std::uint8_t>((random() % 8) << 4), 0x88});
          }
        }
      d.sectors.push_back(r);
    }
  return d;
}

struct FlyOptions {
  float altitude = 28;
  double shotAt = 0.15;
};

FlyOptions ReadFlyOptions(const BenchOptions& options) {
  FlyOptions out;
  const auto& args = options.arguments;
  const std::size_t first = !args.empty() && args[0].rfind("--", 0) != 0 ? 1 : 0;
  for (std::size_t i = first; i + 1 < args.size(); i += 2) {
    if (args[i] == "--altitude") out.altitude = std::clamp(std::strtof(args[i + 1].c_str(), nullptr), 1.0f, 500.0f);
    if (args[i] == "--shot-at") out.shotAt = std::clamp(std::strtod(args[i + 1].c_str(), nullptr), 0.0, 1.0);
  }
  return out;
}

struct IslandFile {
  fs::path worldsFolder;
  std::string name;
  fs::path scratch;  // removed afterwards when set
};

bool PrepareIsland(const BenchOptions& options, IslandFile& out, std::string& error) {
  const std::string arg =
      options.arguments.empty() || options.arguments[0].rfind("--", 0) == 0 ? "synthetic" : options.arguments[0];
  if (arg != "synthetic") {
    const fs::path file = fs::absolute(arg);
    out.worldsFolder = file.parent_path();
    out.name = file.stem().string();
    return true;
  }
  out.scratch = fs::temp_directory_path() / ("morvane-fly-" + std::to_string(::getpid()));
  std::error_code ec;
  fs::create_directories(out.scratch, ec);
  out.worldsFolder = out.scratch;
  out.name = "FlySynthetic";
  return SaveWorldFile(out.scratch / "FlySynthetic.TRV", SyntheticIsland(), error);
}

}  // namespace

int RunFlyScenario(const BenchOptions& options) {
  const fs::path program = platform::ProgramFolder();
  std::error_code ec;
  if (!fs::exists(program / "themes" / "Basic.TRV", ec)) {
    std::fprintf(stderr, "fly: no themes in %s (the data forge writes them: ninja game-data)\n", (program / "themes").string().c_str());
    return 1;
  }
  IslandFile island;
  const FlyOptions fly = ReadFlyOptions(options);
  std::string error;
  if (!PrepareIsland(options, island, error)) {
    std::fprintf(stderr, "fly: %s\n", error.c_str());
    return 1;
  }
  int code = 0;
  {
    BenchDisplay display;
    if (!display.Open(800, 600, "fly")) return 1;
    platform::Window& window = display.window;
    platform::MessageLoop loop(window);
    TGLScene scene;
    auto* camera = scene.Objects().AddNewChild<TGLCamera>();
    camera->FocalLength = window.Width() / 800.0f * 50;
    auto* sun = scene.Objects().AddNewChild<TGLLightSource>();
    sun->LightStyle = lsParallel;
    sun->SpotDirection.SetVector(VectorNormalize(TAffineVector(0.5f, 1, -0.35f)));
    sun->Ambient.SetColor(0.35f, 0.35f, 0.35f);

    TTRVWorldContext context;
    context.scene = &scene;
    context.programFolder = program;
    context.worldsFolder = island.worldsFolder;
    context.settings.MasterDetail = "Medium";  // the defaults are the Medium preset
    context.settings.Language = "ENG";
    context.camera = camera;
    platform::Stopwatch loadWatch;
    auto world = CreateLoadedWorld(context, island.name, true, nullptr, error);
    const double loadSeconds = loadWatch.ElapsedSeconds();
    if (!world) {
      std::fprintf(stderr, "fly: %s\n", error.c_str());
      code = 1;
    } else {
      PrepareSectors(*world);
      const TTRVFogRange fog = FogRangeFor(world->viewRange);
      camera->DepthOfView = fog.end + 8;

      TGLSceneViewer viewer(window);
      viewer.SetCamera(camera);
      viewer.Buffer.BackgroundColor = 0x00FF8080;
      viewer.Buffer.AmbientColor.SetColor(0.5f, 0.5f, 0.5f);
      viewer.Buffer.FogEnable = true;
      viewer.Buffer.FogEnvironment.FogColor.SetColor(0.5f, 0.5f, 1.0f);
      viewer.Buffer.FogEnvironment.FogStart = fog.start;
      viewer.Buffer.FogEnvironment.FogEnd = fog.end;

      // A straight pass over the island, low enough to see its trees, looking ahead and down.
      const TTRVGroundView ground = GroundOf(*world);
      const float cells = static_cast<float>(world->CellsX());
      // From over the sea off the west coast, inland across the island.
      const TAffineVector start(cells * -0.04f, 0, cells * 0.26f), heading = VectorNormalize(TAffineVector(1, 0, 0.45f));
      const float speed = 30;
      float altitude = 0;
      const auto place = [&](float travelled, float dt) {
        TAffineVector p = start + heading * travelled;
        const float floorY = std::max(SurfaceAt(ground, p + heading * 12.0f, false).height, SurfaceAt(ground, p, false).height);
        const float want = std::max(floorY, 0.0f) + fly.altitude;
        altitude = altitude == 0 ? want : altitude + (want - altitude) * std::min(1.0f, dt * 1.5f);
        p.y = altitude;
        camera->Position.SetPoint(p);
        camera->Up.SetVector(0, 1, 0);
        camera->Direction.SetVector(heading.x, -0.3f, heading.z);
      };

      double bakeMax = 0, bakeFlightMax = 0, last = platform::NowSeconds();
      bool flying = false;
      int bakes = 0;
      long long passes = 0;
      int grassMax = 0;
      const auto countPasses = [&] {
        int n = 0;
        for (int c = 0; c < world->sectorRoot->Count(); ++c)
          for (int i = 0; i < world->sectorRoot->Children(c)->Count(); ++i)
            if (auto* s = dynamic_cast<TTRVSector*>(world->sectorRoot->Children(c)->Children(i))) n += s->groundPasses;
        return n;
      };
      float travelled = 0;
      const auto frame = [&](bool move) {
        const double now = platform::NowSeconds();
        const float dt = static_cast<float>(std::min(0.066, now - last));
        last = now;
        if (move) travelled += speed * dt;
        place(travelled, dt);
        world->AdvanceFrame(dt);
        world->CentreSky();
        const double t0 = platform::NowSeconds();
        if (StepSectors(*world, dt)) {
          const double ms = (platform::NowSeconds() - t0) * 1000;
          bakeMax = std::max(bakeMax, ms);
          if (flying) bakeFlightMax = std::max(bakeFlightMax, ms);
          ++bakes;
        }
        viewer.Render();
        if (flying) {
          passes += countPasses();
          grassMax = std::max(grassMax, GrassCount(*world));
        }
      };
      // The first frames create and bake the sectors around the camera; the update after the
      // bake (brought forward here instead of waiting three seconds) gives them their levels
      // and objects, and the next frames picture the imposters' models. The flight is timed
      // after them.
      for (int i = 0; i < 2 && loop.PumpEvents(); ++i) frame(false);
      world->sectorTimer = kSectorUpdateInterval;
      for (int i = 0; i < 6 && loop.PumpEvents(); ++i) frame(false);

      int frames = 0;
      flying = true;
      // Processor time of every thread, the renderer's included: what a frame costs, whatever
      // else the machine is doing meanwhile.
      const std::clock_t cpu0 = std::clock();
      const double t0 = platform::NowSeconds();
      double now = t0;
      bool shot = options.shotPath.empty();
      while (now - t0 < options.seconds && loop.PumpEvents()) {
        frame(true);
        ++frames;
        now = platform::NowSeconds();
        if (!shot && now - t0 > options.seconds * fly.shotAt) {
          shot = true;
          std::string why;
          if (!viewer.CreateSnapshotBitmap().SaveBmp(options.shotPath, why)) std::fprintf(stderr, "fly: %s\n", why.c_str());
          last = platform::NowSeconds();
          now = last;
        }
      }
      const double flyFps = now > t0 ? frames / (now - t0) : 0;
      const double cpuMsPerFrame =
          frames > 0 ? static_cast<double>(std::clock() - cpu0) * 1000.0 / CLOCKS_PER_SEC / frames : 0.0;

      int sectors = 0, loaded = 0;
      for (int c = 0; c < world->sectorRoot->Count(); ++c)
        for (int i = 0; i < world->sectorRoot->Children(c)->Count(); ++i) {
          ++sectors;
          if (auto* s = dynamic_cast<TTRVSector*>(world->sectorRoot->Children(c)->Children(i)); s && !s->waterOnly) ++loaded;
        }

      viewer.SetCamera(nullptr);
      for (int i = 0; i < 5; ++i) viewer.Render();
      int floorFrames = 0;
      const double f0 = platform::NowSeconds();
      double f1 = f0;
      while (f1 - f0 < options.seconds / 2 && loop.PumpEvents()) {
        viewer.Render();
        ++floorFrames;
        f1 = platform::NowSeconds();
      }

      std::printf("scenario: fly\n");
      std::printf("world: %s\n", island.name.c_str());
      std::printf("width: %d\nheight: %d\n", window.Width(), window.Height());
      std::printf("load_s: %.3f\n", loadSeconds);
      std::printf("view_range: %d\n", world->viewRange);
      std::printf("sectors: %d\nland_sectors: %d\n", sectors, loaded);
      std::printf("frames_baking: %d\n", bakes);
      std::printf("distance: %.1f\n", travelled);
      std::printf("fly_fps: %.1f\n", flyFps);
      std::printf("fly_cpu_ms_per_frame: %.2f\n", cpuMsPerFrame);
      std::printf("floor_fps: %.1f\n", f1 > f0 ? floorFrames / (f1 - f0) : 0);
      std::printf("bake_ms_max: %.1f\n", bakeMax);
      std::printf("bake_ms_flight_max: %.1f\n", bakeFlightMax);
      std::printf("passes_per_frame: %.1f\n", frames > 0 ? static_cast<double>(passes) / frames : 0.0);
      std::printf("grass_count: %d\n", GrassCount(*world));
      std::printf("grass_count_max: %d\n", grassMax);
    }
  }
  if (!island.scratch.empty()) fs::remove_all(island.scratch, ec);
  return code;
}
