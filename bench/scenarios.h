// The benchmark scenarios of morvane-bench; each prints its figures as `key: value` lines.
#pragma once

#include <string>

struct BenchOptions {
  double seconds = 4;   // how long the main measurement runs
  std::string shotPath;  // when set, a screenshot of the scenario is saved there (BMP)
};

// About 10k lit, textured, fogged triangles at 800 x 600 (a terrain patch and proxied trees),
// then the same window cleared and swapped only: scene_fps and floor_fps.
int RunSceneScenario(const BenchOptions& options);
