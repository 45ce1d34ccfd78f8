// forge OUT_DIR [SCRATCH_DIR] [--quick] [--only STEP]: writes the game's data into OUT_DIR.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/forge/steps.h"

namespace forge {
// Every step the forge runs, in order.
const std::vector<NamedStep>& Steps();
}  // namespace forge

int main(int argc, char** argv) {
  forge::ForgeContext context;
  std::string only;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0) context.quick = true;
    else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) only = argv[++i];
    else positional.push_back(argv[i]);
  }
  if (positional.empty()) {
    std::fprintf(stderr, "usage: forge OUT_DIR [SCRATCH_DIR] [--quick] [--only STEP]\n");
    return 2;
  }
  context.outDir = positional[0];
  context.scratch = positional.size() > 1 ? std::filesystem::path(positional[1]) : context.outDir / ".forge";
  int failures = 0;
  for (const forge::NamedStep& step : forge::Steps()) {
    if (!only.empty() && only != step.name) continue;
    std::string error;
    if (!step.run(context, error)) {
      std::fprintf(stderr, "forge: %s: %s\n", step.name, error.c_str());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
