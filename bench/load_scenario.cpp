// morvane-bench load FILE: loads a world file through the game's loader, headless, and prints
// how long it took; a file the loader refuses prints the loader's message and fails.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "bench/scenarios.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "world/world.h"

namespace fs = std::filesystem;

int RunLoadScenario(const BenchOptions& options) {
  if (options.arguments.empty()) {
    std::fprintf(stderr, "usage: morvane-bench load FILE.TRV\n");
    return 2;
  }
  const fs::path file = fs::absolute(options.arguments[0]);
  if (file.extension() != ".TRV") {
    std::fprintf(stderr, "load: %s is not a world file (.TRV)\n", file.string().c_str());
    return 1;
  }
  TTRVWorldContext context;  // no scene given: the world keeps its own, and needs no window
  context.worldsFolder = file.parent_path();
  // A world inside another program folder (its worlds/ beside a themes/) loads that folder's
  // themes; any other file loads the themes beside this executable.
  std::error_code ec;
  const fs::path owner = context.worldsFolder.parent_path();
  const bool ownFolder = context.worldsFolder.filename() == "worlds" && fs::is_directory(owner / "themes", ec);
  context.programFolder = ownFolder ? owner : platform::ProgramFolder();
  context.settings.Language = "ENG";

  platform::Stopwatch watch;
  std::string error;
  auto world = CreateLoadedWorld(context, file.stem().string(), true, nullptr, error);
  const double seconds = watch.ElapsedSeconds();
  if (!world) return 1;  // the loader has logged why
  std::printf("load_s: %.3f\n", seconds);
  std::printf("cells: %d x %d\n", world->CellsX(), world->CellsZ());
  return 0;
}
