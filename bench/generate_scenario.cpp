// morvane-bench generate: one island from the command line's parameters, written to the
// program folder's worlds/ with its map images, timed as a whole and stage by stage.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "bench/scenarios.h"
#include "generator/creator.h"
#include "platform/paths.h"
#include "platform/random.h"

namespace {

using Clock = std::chrono::steady_clock;

int Usage() {
  std::fprintf(stderr,
               "usage: morvane-bench generate [--width W] [--height H] [--land L] [--relief R] [--seed S]\n"
               "                              [--bases B] [--climate THEME] [--single] --name NAME\n"
               "  W, H: sectors (4..64, default 10); L: land percent (default 50);\n"
               "  R: height divisor, 25 lowland .. 13 mountains (default 19); S: random seed;\n"
               "  B: land bases (default 8); THEME: the climate (Basic, BasicDry, Desert, Arctic);\n"
               "  --single: the outline grows from one seed\n");
  return 2;
}

}  // namespace

int RunGenerateScenario(const BenchOptions& options) {
  const std::vector<std::string>& args = options.arguments;
  const int argc = static_cast<int>(args.size());
  TTRVWorldParams params;
  params.heightScale = 19;
  params.themeNames = {"Basic", "Water", "Military"};
  std::string name;
  unsigned long long seed = 1;
  bool multiSeed = true;
  for (int i = 0; i < argc; ++i) {
    const std::string& arg = args[static_cast<std::size_t>(i)];
    auto value = [&]() -> const char* { return i + 1 < argc ? args[static_cast<std::size_t>(++i)].c_str() : nullptr; };
    const char* v = nullptr;
    if (arg == "--single") multiSeed = false;
    else if (!(v = value())) return Usage();
    else if (arg == "--width") params.mapWidth = std::atoi(v);
    else if (arg == "--height") params.mapHeight = std::atoi(v);
    else if (arg == "--land") params.landPercent = std::atoi(v);
    else if (arg == "--relief") params.heightScale = std::atoi(v);
    else if (arg == "--seed") seed = std::strtoull(v, nullptr, 10);
    else if (arg == "--bases") params.baseCount = std::atoi(v);
    else if (arg == "--name") name = v;
    else if (arg == "--climate") params.themeNames[0] = v;
    else return Usage();
  }
  if (name.empty()) return Usage();
  platform::Random().Seed(seed);

  TTRVWorldCreator creator(platform::ProgramFolder());
  std::vector<std::pair<std::string, double>> stages;
  Clock::time_point stageStart = Clock::now();
  auto closeStage = [&] {
    const Clock::time_point now = Clock::now();
    if (!stages.empty()) stages.back().second += std::chrono::duration<double>(now - stageStart).count();
    stageStart = now;
  };
  creator.onStage = [&](std::string_view stage) {
    closeStage();
    stages.emplace_back(std::string(stage), 0.0);
  };

  const Clock::time_point start = Clock::now();
  const TTRVCreateResult result = creator.CreateWorld(
      params, multiSeed ? TTRVSketchSource::RandomMulti : TTRVSketchSource::RandomSingle, name, 1);
  closeStage();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (!result.ok) {
    std::fprintf(stderr, "generate: %s\n", result.error.c_str());
    return 1;
  }
  // A stage that ran in more than one layout is summed over them.
  std::vector<std::pair<std::string, double>> totals;
  for (const auto& [stage, time] : stages) {
    auto it = std::find_if(totals.begin(), totals.end(), [&](const auto& t) { return t.first == stage; });
    if (it == totals.end()) totals.emplace_back(stage, time);
    else it->second += time;
  }
  std::printf("world: %s\n", (platform::ProgramFolder() / "worlds" / (name + ".TRV")).string().c_str());
  std::printf("map_size: %d x %d\n", params.mapWidth, params.mapHeight);
  std::printf("layouts: %d\n", result.layouts);
  std::printf("land_bases: %d\n", result.basesPlaced);
  std::printf("naval_bases: %d\n", result.navalBasesPlaced);
  const TTRVGenState& s = creator.State();
  std::printf("nodes: %zu\n", s.nodes.size());
  std::printf("placements: %zu\n", s.placements.size());
  std::printf("main_roads: %d\n", creator.RoadStats().mainRoads);
  std::printf("side_roads: %d\n", creator.RoadStats().sideRoads);
  std::printf("progress_calls: %d\n", creator.progress.Calls());
  for (const auto& [stage, time] : totals) std::printf("stage_%s_s: %.4f\n", stage.c_str(), time);
  std::printf("generate_s: %.4f\n", seconds);
  return 0;
}
