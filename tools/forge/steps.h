// The forge's steps, in the order they run. Each lives in its own file.
#pragma once

#include "tools/forge/forge.h"

namespace forge {
struct NamedStep {
  const char* name;
  ForgeStep run;
};
}  // namespace forge
