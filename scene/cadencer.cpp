// The frame clock with its pause shift.
#include "scene/cadencer.h"

#include <algorithm>

#include "platform/clock.h"
#include "scene/scene.h"

TGLCadencer::TGLCadencer(std::function<double()> clock) : clock_(std::move(clock)) { timeBase_ = Clock(); }

double TGLCadencer::Clock() const { return clock_ ? clock_() : platform::NowSeconds(); }

void TGLCadencer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  // Shift the time base so the first delta after a pause covers only the time since
  // re-enabling: the clock carries on from the last progress.
  if (enabled) timeBase_ = Clock() - currentTime_;
  enabled_ = enabled;
}

void TGLCadencer::Subscribe(TGLCadencedComponent* component) {
  if (component && std::find(components_.begin(), components_.end(), component) == components_.end())
    components_.push_back(component);
}

void TGLCadencer::Unsubscribe(TGLCadencedComponent* component) {
  components_.erase(std::remove(components_.begin(), components_.end(), component), components_.end());
}

void TGLCadencer::Progress() {
  if (!enabled_ || progressing_) return;
  progressing_ = true;
  double newTime = Clock() - timeBase_;
  double delta = std::max(0.0, newTime - currentTime_);
  currentTime_ = std::max(currentTime_, newTime);
  if (Scene) Scene->Progress(delta, currentTime_);
  // A component may unsubscribe itself while progressing.
  std::vector<TGLCadencedComponent*> components = components_;
  for (TGLCadencedComponent* c : components) c->DoProgress(delta, currentTime_);
  if (OnProgress) OnProgress(*this, delta, currentTime_);
  progressing_ = false;
}
