// The one program-wide random generator: seeded once at start, reseeded by tests that need
// a repeatable run. Game code draws every random number from it.
#pragma once

#include <cstdint>
#include <random>

namespace platform {

class RandomGenerator {
 public:
  explicit RandomGenerator(std::uint64_t seed = 1) : engine_(seed) {}
  void Seed(std::uint64_t seed) { engine_.seed(seed); }
  // Uniform integer in 0 .. n - 1; 0 when n <= 0.
  int Int(int n);
  // Uniform real in [0, 1).
  double Real();

 private:
  std::mt19937_64 engine_;
};

// The program's generator (the one piece of shared mutable state the game keeps).
RandomGenerator& Random();
// Seeds it from the clock (program start).
void Randomize();

}  // namespace platform
