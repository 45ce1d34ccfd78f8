// High-resolution wall clock and sleep for the frame clock and the supervisory tick.
// Game logic must not read this: it takes time only from its step's dt.
#pragma once

namespace platform {

// Seconds on a monotonic clock with an arbitrary origin; only differences mean anything.
double NowSeconds();

// Sleeps at least `ms` milliseconds; zero or negative returns at once.
void SleepMs(int ms);

// Measures time since it was started or last restarted.
class Stopwatch {
 public:
  Stopwatch();
  void Restart();
  double ElapsedSeconds() const;

 private:
  double start_;
};

}  // namespace platform
