// The benchmark scenarios of morvane-bench; each prints its figures as `key: value` lines.
#pragma once

#include <string>
#include <vector>

// Side colours as a skirmish would pick them (0x00BBGGRR): blue, red, green, yellow, cyan,
// magenta, orange, white, then grey; the HUD's markers and bars show them.
inline int BenchSideColour(int side) {
  static constexpr int kColours[] = {0xFF4020, 0x2020E0, 0x20C020, 0x20E0E0, 0xE0E020, 0xE020E0, 0x2080FF, 0xFFFFFF};
  return side >= 0 && side < 8 ? kColours[side] : 0x808080;
}

struct BenchOptions {
  double seconds = 4;   // how long the main measurement runs
  std::string shotPath;  // when set, a screenshot of the scenario is saved there (BMP)
  std::vector<std::string> arguments;  // words after the scenario's name (a world file, ...)
};

// About 10k lit, textured, fogged triangles at 800 x 600 (a terrain patch and proxied trees),
// then the same window cleared and swapped only: scene_fps and floor_fps.
int RunSceneScenario(const BenchOptions& options);

// Loads a world file through the game's loader with no window: load_s, or the loader's
// message and a non-zero exit when it refuses the file.
int RunLoadScenario(const BenchOptions& options);

// Flies the camera over an island (a world file, or a synthetic 10 x 10-sector one) at
// 800 x 600 with the Medium detail settings: fly_fps, floor_fps and bake_ms_max.
int RunFlyScenario(const BenchOptions& options);
// One island from --width/--height/--land/--relief/--seed/--name; generate_s and stage times.
int RunGenerateScenario(const BenchOptions& options);
// A helicopter battle in view through the engine: battle_fps, step_ms_mean, floor_fps.
int RunBattleScenario(const BenchOptions& options);
// A new game through the engine, seen from the chase camera over the player's helicopter:
// chase_fps.
int RunChaseScenario(const BenchOptions& options);
int RunModelsScenario(const BenchOptions& options);  // models [THEME...] [--out DIR]: a contact sheet per theme
// A new game of --sides S with --units N on a generated --size W island, stepped headless at
// 60 steps a second for the seconds given: step_ms_mean, step_ms_p99 and peak_rss_mb.
int RunStepScenario(const BenchOptions& options);
// Big explosions in front of the camera every half second at 800 x 600, against the empty
// view: floor_fps, effects_fps and particles_mean.
int RunEffectsScenario(const BenchOptions& options);
// makesave NAME [--size W] [--sides S] [--units N]: a new game on a generated island saved as
// save/NAME.TRV through the engine; loadsave NAME: that save loaded through the engine, load_s
// and "result: OK" or "result: ERROR <message>".
int RunMakeSaveScenario(const BenchOptions& options);
int RunLoadSaveScenario(const BenchOptions& options);
