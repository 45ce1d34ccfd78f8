// The list of forge steps. A new step adds its declaration and one row here.
#include <vector>

#include "tools/forge/steps.h"

namespace forge {

bool ForgeSounds(const ForgeContext& context, std::string& error);
bool ForgeJingles(const ForgeContext& context, std::string& error);
bool ForgeMusic(const ForgeContext& context, std::string& error);

const std::vector<NamedStep>& Steps() {
  static const std::vector<NamedStep> steps = {
      {"sounds", ForgeSounds},
      {"jingles", ForgeJingles},
      {"music", ForgeMusic},
  };
  return steps;
}

}  // namespace forge
