// TAsyncTimer: the once-a-second supervisory tick. The message loop polls it on the main
// thread between frames, so a tick never overlaps a frame, a dialog or another tick. Late
// ticks are never made up in a burst.
#pragma once

#include <cstdint>
#include <functional>

class TAsyncTimer {
 public:
  bool Enabled() const { return enabled_; }
  // Enabling starts a fresh interval from `now`.
  void SetEnabled(bool enabled, double now);
  std::uint16_t Interval = 1000;  // milliseconds; 0 stops the ticks
  std::function<void(TAsyncTimer& sender)> OnTimer;

  // Runs OnTimer when an interval has passed. The next tick is due one interval after the
  // moment the wait ended, or one interval after the handler returned if it ran past that.
  // `clock` is read again after the handler (so the game's time source can be injected).
  void Poll(const std::function<double()>& clock);
  double DueTime() const { return due_; }

 private:
  bool enabled_ = false;
  double due_ = 0;
};
