// The list of forge steps. A new step adds its declaration and one row here.
#include <vector>

#include "tools/forge/steps.h"

namespace forge {

const std::vector<NamedStep>& Steps() {
  static const std::vector<NamedStep> steps = {
  };
  return steps;
}

}  // namespace forge
