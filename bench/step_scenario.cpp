// morvane-bench step --sides S --units N [--size W] [--type heli|tank|boat|mixed]: generates a W x W-sector island with the
// game's generator, starts a new game of S sides and N units on it with no window, and steps
// it at 60 frames a second of world time for the scenario's seconds, timing every game step.
// Prints step_ms_mean, step_ms_p99 and peak_rss_mb (the process's high-water mark).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <system_error>
#include <vector>

#include "bench/scenarios.h"
#include "bench/unitmix.h"
#include "game/game.h"
#include "generator/creator.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "units/entity.h"
#include "units/targets.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kStepSeconds = 1.0 / 60;

int Usage() {
  std::fprintf(stderr,
               "usage: morvane-bench [--seconds T] step [--sides S] [--units N] [--size W] [--seed X]\n"
               "                                   [--type heli|tank|boat|mixed]\n"
               "  S: sides (2..9, default 8); N: helicopters, tanks and boats in all (default 200);\n"
               "  W: island sectors per side (default 10); T: seconds of world time (default 4)\n");
  return 2;
}

// The process's peak resident set, in megabytes; 0 when /proc does not say.
double PeakRssMb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
  return 0;
}

// A program folder of our own: the real themes, and a worlds/ folder the generated island
// goes to and is removed from afterwards.
struct ScratchFolder {
  fs::path path;
  ScratchFolder() {
    path = fs::temp_directory_path() / ("morvane-step-" + std::to_string(::getpid()));
    std::error_code ec;
    fs::remove_all(path, ec);
    fs::create_directories(path / "worlds", ec);
    fs::create_directory_symlink(platform::ProgramFolder() / "themes", path / "themes", ec);
  }
  ~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

// N units spread evenly over the sides and, within a side, of the mix's type (mixed:
// helicopters, tanks and boats in turn). Stances as a campaign would mix them: the player's side attacks its neighbour, the
// others attack, defend or roam in turn, each attacker's main enemy the next side.
TTRVWorldInfo SetUp(int sides, int units, int mix) {
  TTRVWorldInfo info;
  info.playerSide = 0;
  info.playerUnitType = utHeli;
  info.missionType = mtSuperiority;
  for (int s = 0; s < sides; ++s) {
    TTRVWorldFractionInfo side;
    side.name = "Side " + std::to_string(s + 1);
    side.sideColour = BenchSideColour(s);
    const int share = units / sides + (s < units % sides ? 1 : 0);
    AddVehicles(side.unitCounts, share, mix);
    side.mainEnemy = static_cast<std::uint8_t>((s + 1) % sides);
    switch (s % 3) {
      case 0: side.attacking = 1; break;
      case 1: side.defending = 1; break;
      default: side.roaming = 1; break;
    }
    info.sides.push_back(side);
  }
  return info;
}

// Writes the island "Step" into the folder's worlds/; the generator's state is gone when
// the game starts, as it is in the game.
bool GenerateIsland(const fs::path& folder, int size, int sides, std::string& error) {
  TTRVWorldParams params;
  params.mapWidth = size;
  params.mapHeight = size;
  params.heightScale = 19;
  params.baseCount = std::max(params.baseCount, sides);
  params.themeNames = {"Basic", "Water", "Military"};
  TTRVWorldCreator creator(folder);
  TTRVCreateResult made = creator.CreateWorld(params, TTRVSketchSource::RandomMulti, "Step", sides);
  if (!made.ok) {
    // Sides beyond the island's bases gather at its centre: slower to meet, still a battle.
    std::fprintf(stderr, "step: %s; taking an island with fewer bases\n", made.error.c_str());
    made = creator.CreateWorld(params, TTRVSketchSource::RandomMulti, "Step", 1);
  }
  error = made.error;
  return made.ok;
}

TTRVEntity* PlayerUnit(const TTRVWorld& world) {
  TTRVEntity* player = nullptr;
  ForEachUnit(world, [&](TTRVEntity& u) {
    if (!player && u.state.isPlayer) player = &u;
  });
  return player;
}

}  // namespace

int RunStepScenario(const BenchOptions& options) {
  int sides = 8, units = 200, size = 10, mix = -1;
  unsigned long long seed = 1;
  const std::vector<std::string>& args = options.arguments;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i + 1 >= args.size()) return Usage();
    const char* v = args[i + 1].c_str();
    if (args[i] == "--sides") sides = std::atoi(v);
    else if (args[i] == "--units") units = std::atoi(v);
    else if (args[i] == "--size") size = std::atoi(v);
    else if (args[i] == "--seed") seed = std::strtoull(v, nullptr, 10);
    else if (args[i] == "--type") {
      const std::optional<int> parsed = ParseUnitMix(v);
      if (!parsed) return Usage();
      mix = *parsed;
    }
    else return Usage();
    ++i;
  }
  // Nine sides at most: the world keeps nine side strengths.
  if (sides < 2 || sides > 9 || units < 0 || size < kMinMapSectors || size > kMaxMapSectors) return Usage();
  std::error_code ec;
  if (!fs::exists(platform::ProgramFolder() / "themes" / "Basic.TRV", ec)) {
    std::fprintf(stderr, "step: no themes beside the program (the data forge writes them: ninja game-data)\n");
    return 1;
  }
  platform::Random().Seed(seed);

  ScratchFolder folder;
  const Clock::time_point generateStart = Clock::now();
  if (std::string why; !GenerateIsland(folder.path, size, sides, why)) {
    std::fprintf(stderr, "step: %s\n", why.c_str());
    return 1;
  }
  const double generateSeconds = std::chrono::duration<double>(Clock::now() - generateStart).count();

  TGLScene scene;
  auto* camera = scene.Objects().AddNewChild<TGLCamera>();
  auto* cameraTarget = scene.Objects().AddNewChild<TGLDummyCube>();
  TTRVWorldContext context;
  context.scene = &scene;
  context.programFolder = folder.path;
  context.worldsFolder = folder.path / "worlds";
  context.settings.Language = "ENG";
  context.camera = camera;
  context.cameraTarget = cameraTarget;
  const TTRVWorldInfo info = SetUp(sides, units, mix);
  std::string error;
  std::unique_ptr<TTRVGame> game = StartNewGame(context, "Step", &info, error);
  if (!game) {
    std::fprintf(stderr, "step: %s\n", error.c_str());
    return 1;
  }
  TTRVWorld& world = game->World();
  TTRVEntity* player = PlayerUnit(world);
  int unitCount = 0;
  ForEachUnit(world, [&](TTRVEntity&) { ++unitCount; });

  // The camera and its target stay over the player's unit, at the height the game's chase
  // camera aims at, as the engine keeps them every frame: the player's company is near and
  // the rest of the island far, like a real battle.
  const auto followPlayer = [&] {
    if (!player) return;
    TAffineVector at = player->AbsoluteAffinePosition();
    at.y += player->TypeInfo().cameraHeight;
    world.FocusOn(at);
  };

  std::vector<TAffineVector> startedAt;
  ForEachUnit(world, [&](TTRVEntity& u) { startedAt.push_back(u.AbsoluteAffinePosition()); });

  game->SetRunning(true);
  const int steps = std::max(1, static_cast<int>(options.seconds / kStepSeconds + 0.5));
  std::vector<double> stepMs;
  stepMs.reserve(static_cast<std::size_t>(steps));
  int nearest = 0;
  for (int i = 0; i < steps; ++i) {
    followPlayer();
    const Clock::time_point t0 = Clock::now();
    game->Step(kStepSeconds);
    stepMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
  // Units that moved and wrecks show the far step at work (near units have no AI yet).
  int moved = 0, wrecks = 0;
  std::size_t k = 0;
  ForEachUnit(world, [&](TTRVEntity& u) {
    nearest += u.isFar ? 0 : 1;
    wrecks += u.Wrecked() ? 1 : 0;
    if (k < startedAt.size() && VectorLength(u.AbsoluteAffinePosition() - startedAt[k]) > 0.5f) ++moved;
    ++k;
  });

  std::vector<double> sorted = stepMs;
  std::sort(sorted.begin(), sorted.end());
  const double mean = std::accumulate(stepMs.begin(), stepMs.end(), 0.0) / static_cast<double>(stepMs.size());
  const std::size_t p99 = std::min(sorted.size() - 1, static_cast<std::size_t>(0.99 * static_cast<double>(sorted.size())));

  std::printf("scenario: step\n");
  std::printf("size: %d x %d\n", size, size);
  std::printf("sides: %d\n", sides);
  std::printf("units: %d\n", unitCount);
  std::printf("near_units_at_end: %d\n", nearest);
  std::printf("units_moved: %d\n", moved);
  std::printf("wrecks: %d\n", wrecks);
  std::printf("generate_s: %.3f\n", generateSeconds);
  std::printf("steps: %d\n", steps);
  std::printf("step_ms_mean: %.4f\n", mean);
  std::printf("step_ms_p99: %.4f\n", sorted[p99]);
  std::printf("step_ms_max: %.4f\n", sorted.back());
  std::printf("peak_rss_mb: %.1f\n", PeakRssMb());
  return 0;
}
