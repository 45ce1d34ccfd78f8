// morvane-bench makesave NAME [--size W] [--sides S] [--units N] [--seed X]: a new game of S
// sides and N units on a generated W x W-sector island (made once, as worlds/SaveBench<W>x<S>),
// started through the engine and saved as save/NAME.TRV. morvane-bench [--shot FILE.bmp] loadsave
// NAME: loads save/NAME.TRV through the engine as the game does, window and all: load_s and the
// result word, and with --shot the view two seconds after the load.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "bench/benchdisplay.h"
#include "bench/scenarios.h"
#include "bench/unitmix.h"
#include "generator/creator.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "shell/engine.h"
#include "shell/worldfactory.h"

namespace fs = std::filesystem;

namespace {

int MakeSaveUsage() {
  std::fprintf(stderr,
               "usage: morvane-bench makesave NAME [--size W] [--sides S] [--units N] [--seed X]\n"
               "  W: sectors a side (4..64, default 20); S: sides (2..9, default 9);\n"
               "  N: helicopters, tanks and boats in all (default 200)\n");
  return 2;
}

// The island of the measured case, generated into the program folder's worlds/ unless there.
bool EnsureIsland(const std::string& name, int size, int sides, std::string& error) {
  std::error_code ec;
  if (fs::exists(platform::ProgramFolder() / "worlds" / (name + ".TRV"), ec)) return true;
  TTRVWorldParams params;
  params.mapWidth = size;
  params.mapHeight = size;
  params.heightScale = 19;
  params.baseCount = std::max(params.baseCount, sides);
  params.themeNames = {"Basic", "Water", "Military"};
  TTRVWorldCreator creator(platform::ProgramFolder());
  TTRVCreateResult made = creator.CreateWorld(params, TTRVSketchSource::RandomMulti, name, sides);
  // Sides beyond the island's bases gather at its centre.
  if (!made.ok) made = creator.CreateWorld(params, TTRVSketchSource::RandomMulti, name, 1);
  error = made.error;
  return made.ok;
}

TTRVWorldInfo SetUp(int sides, int units) {
  TTRVWorldInfo info;
  info.playerUnitType = utHeli;
  for (int s = 0; s < sides; ++s) {
    TTRVWorldFractionInfo side;
    side.name = s == 0 ? "Player" : "Enemy " + std::to_string(s);
    side.sideColour = BenchSideColour(s);
    AddVehicles(side.unitCounts, units / sides + (s < units % sides ? 1 : 0), -1);
    side.unitCounts[utTurret] = 4;
    side.navalBase = s % 2;  // half the sides on a pier, rebuilt by the load
    side.mainEnemy = static_cast<std::uint8_t>((s + 1) % sides);
    side.attacking = 1;
    info.sides.push_back(side);
  }
  return info;
}

}  // namespace

int RunMakeSaveScenario(const BenchOptions& options) {
  const auto& args = options.arguments;
  if (args.empty()) return MakeSaveUsage();
  const std::string name = args[0];
  int size = 20, sides = 9, units = 200;
  unsigned long long seed = 1;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (i + 1 >= args.size()) return MakeSaveUsage();
    const char* v = args[++i].c_str();
    if (args[i - 1] == "--size") size = std::atoi(v);
    else if (args[i - 1] == "--sides") sides = std::atoi(v);
    else if (args[i - 1] == "--units") units = std::atoi(v);
    else if (args[i - 1] == "--seed") seed = std::strtoull(v, nullptr, 10);
    else return MakeSaveUsage();
  }
  if (sides < 2 || sides > 9 || units < 0 || size < kMinMapSectors || size > kMaxMapSectors) return MakeSaveUsage();
  platform::Random().Seed(seed);
  const std::string world = "SaveBench" + std::to_string(size) + "x" + std::to_string(sides);
  if (std::string why; !EnsureIsland(world, size, sides, why)) {
    std::fprintf(stderr, "makesave: %s\n", why.c_str());
    return 1;
  }

  BenchDisplay display;
  if (!display.Open(800, 600, "makesave")) return 1;
  TTRVEngine engine(display.window, platform::ProgramFolder());
  InstallWorldFactories(engine);
  const TTRVWorldInfo info = SetUp(sides, units);
  if (engine.StartWorld(world, &info, {}) != TTRVStartOutcome::Started) {
    std::fprintf(stderr, "makesave: %s\n", engine.LastError().c_str());
    return 1;
  }
  if (!engine.SaveGame(name)) {
    std::fprintf(stderr, "makesave: %s\n", engine.LastError().c_str());
    return 1;
  }
  const TTRVExtractLoadGameData h = engine.ReadSaveHeader(name);
  std::printf("world: %s\n", world.c_str());
  std::printf("save: %s\n", engine.Files().Save(name).string().c_str());
  std::printf("sides: %d\n", h.sideCount);
  std::printf("units_alive: %d\n", h.allies + h.enemies);
  engine.StopWorld();
  return 0;
}

int RunLoadSaveScenario(const BenchOptions& options) {
  if (options.arguments.size() != 1) {
    std::fprintf(stderr, "usage: morvane-bench loadsave NAME   (loads save/NAME.TRV)\n");
    return 2;
  }
  BenchDisplay display;
  if (!display.Open(800, 600, "loadsave")) return 1;
  TTRVEngine engine(display.window, platform::ProgramFolder());
  engine.Settings.ResolutionX = 800;
  engine.Settings.ResolutionY = 600;
  engine.ApplyViewport();
  InstallWorldFactories(engine);
  platform::Stopwatch watch;
  const bool ok = engine.LoadGame(options.arguments[0]);
  const double seconds = watch.ElapsedSeconds();
  std::printf("load_s: %.3f\n", seconds);
  if (ok)
    std::printf("result: OK\n");
  else
    std::printf("result: ERROR %s\n", engine.LastError().c_str());
  if (ok && !options.shotPath.empty()) {
    // The loaded game as the player first sees it, once the sectors around the camera baked.
    engine.SkipFade();
    engine.Viewer->Visible = true;
    engine.Cadencer->SetEnabled(false);
    const double dt = 1.0 / 60;
    for (int i = 0; i < 120; ++i) {
      engine.Progress(dt, dt * (i + 1));
      engine.Viewer->Render();
    }
    std::string error;
    if (!engine.Viewer->CreateSnapshotBitmap().SaveBmp(options.shotPath, error)) {
      std::fprintf(stderr, "loadsave: %s\n", error.c_str());
      return 1;
    }
  }
  engine.StopWorld();
  return ok ? 0 : 1;
}
