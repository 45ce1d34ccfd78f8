// Supervisory tick timing.
#include "shell/asynctimer.h"

void TAsyncTimer::SetEnabled(bool enabled, double now) {
  if (enabled && !enabled_) due_ = now + Interval / 1000.0;
  enabled_ = enabled;
}

void TAsyncTimer::Poll(const std::function<double()>& clock) {
  if (!enabled_ || Interval == 0) return;
  double now = clock();
  if (now < due_) return;
  double next = now + Interval / 1000.0;
  if (OnTimer) OnTimer(*this);
  double after = clock();
  due_ = after > next ? after + Interval / 1000.0 : next;
}
