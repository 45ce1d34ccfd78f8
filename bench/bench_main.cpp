// morvane-bench SCENARIO: runs a timed scenario and prints `key: value` lines.
// Performance goals are checked against these figures, never inside tests.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "bench/scenarios.h"

int main(int argc, char** argv) {
  const std::map<std::string, int (*)(const BenchOptions&)> scenarios = {
      {"scene", RunSceneScenario},
      {"models", RunModelsScenario},
      {"load", RunLoadScenario},
      {"fly", RunFlyScenario},
      {"generate", RunGenerateScenario},
      {"chase", RunChaseScenario},
      {"battle", RunBattleScenario},
      {"step", RunStepScenario},
      {"effects", RunEffectsScenario},
      {"makesave", RunMakeSaveScenario},
      {"loadsave", RunLoadSaveScenario},
  };
  BenchOptions options;
  std::string name;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) options.seconds = std::atof(argv[++i]);
    else if (std::strcmp(argv[i], "--shot") == 0 && i + 1 < argc) options.shotPath = argv[++i];
    else if (name.empty()) name = argv[i];
    else options.arguments.push_back(argv[i]);
  }
  auto it = scenarios.find(name);
  if (it == scenarios.end()) {
    std::fprintf(stderr, "usage: morvane-bench [--seconds S] [--shot FILE.bmp] SCENARIO [ARGUMENTS]\nscenarios:");
    for (const auto& s : scenarios) std::fprintf(stderr, " %s", s.first.c_str());
    std::fprintf(stderr, "\n");
    return 2;
  }
  return it->second(options);
}
