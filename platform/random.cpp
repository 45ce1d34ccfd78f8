// The program-wide random generator.
#include "platform/random.h"

#include <chrono>

namespace platform {

int RandomGenerator::Int(int n) {
  if (n <= 0) return 0;
  return static_cast<int>(engine_() % static_cast<std::uint64_t>(n));
}

double RandomGenerator::Real() {
  // 53 random bits: every double in [0, 1) on the grid, never 1.
  return static_cast<double>(engine_() >> 11) * (1.0 / 9007199254740992.0);
}

RandomGenerator& Random() {
  static RandomGenerator generator;
  return generator;
}

void Randomize() {
  Random().Seed(static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
}

}  // namespace platform
