// High-resolution clock over SDL's performance counter.
#include "platform/clock.h"

#include <SDL.h>

namespace platform {

double NowSeconds() {
  const Uint64 frequency = SDL_GetPerformanceFrequency();
  const Uint64 counter = SDL_GetPerformanceCounter();
  if (frequency == 0) return 0.0;
  // Whole seconds and the remainder apart, so a counter that has run for months
  // keeps sub-microsecond resolution in the double.
  return static_cast<double>(counter / frequency) +
         static_cast<double>(counter % frequency) / static_cast<double>(frequency);
}

void SleepMs(int ms) {
  if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

Stopwatch::Stopwatch() : start_(NowSeconds()) {}

void Stopwatch::Restart() { start_ = NowSeconds(); }

double Stopwatch::ElapsedSeconds() const { return NowSeconds() - start_; }

}  // namespace platform
