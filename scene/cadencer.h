// TGLCadencer: the frame clock. While enabled, each idle moment it advances the scene, the
// cadenced components (the sound manager) and OnProgress by the time since the last
// progress; time spent disabled (paused) is left out of the clock altogether.
#pragma once

#include <functional>
#include <vector>

class TGLScene;

class TGLCadencedComponent {
 public:
  virtual ~TGLCadencedComponent() = default;
  virtual void DoProgress(double deltaTime, double newTime) = 0;
};

class TGLCadencer {
 public:
  // The clock answers seconds; the default is the platform's high-resolution counter.
  explicit TGLCadencer(std::function<double()> clock = {});

  TGLScene* Scene = nullptr;
  std::function<void(TGLCadencer& sender, double deltaTime, double newTime)> OnProgress;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  void Subscribe(TGLCadencedComponent* component);
  void Unsubscribe(TGLCadencedComponent* component);

  // One frame's progress; does nothing while disabled or already progressing.
  void Progress();
  // Seconds of enabled time since creation.
  double CurrentTime() const { return currentTime_; }

 private:
  double Clock() const;

  std::function<double()> clock_;
  bool enabled_ = true;
  bool progressing_ = false;
  double timeBase_ = 0;      // clock value that corresponds to time 0
  double currentTime_ = 0;
  std::vector<TGLCadencedComponent*> components_;
};
