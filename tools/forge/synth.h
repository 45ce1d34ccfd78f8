// Synthesis toolkit for the forge's sounds, jingles and music: oscillators, noise, filters,
// envelopes, echo and reverb, level and loop tools. Works on float signals in [-1, 1] at any
// rate; knows nothing of files or of which sound is being made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace forge::synth {

using Signal = std::vector<float>;

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

double MidiToHz(double note);
std::size_t Samples(double seconds, double rate);

// Uniform white noise in [-1, 1). Draws its own bits from the generator, so the numbers do
// not depend on the standard library's distributions.
class Noise {
 public:
  explicit Noise(std::mt19937& rng) : rng_(rng) {}
  float operator()() { return Uniform(-1.0f, 1.0f); }
  float Uniform(float lo, float hi);
  bool Chance(float probability) { return Uniform(0.0f, 1.0f) < probability; }

 private:
  std::mt19937& rng_;
};

// A phase accumulator: each call advances one sample at the given frequency.
class Oscillator {
 public:
  explicit Oscillator(double rate, double phase = 0.0) : rate_(rate), phase_(phase) {}
  float Sine(double hz);
  float Saw(double hz);     // band-limited at the edges, so high notes do not alias harshly
  float Square(double hz);  // band-limited likewise
  float Triangle(double hz);
  double Phase() const { return phase_; }

 private:
  double Advance(double hz);
  double rate_;
  double phase_;
};

// First-order smoothing filter; the high-pass output is what the low-pass removes.
class OnePole {
 public:
  void SetCutoff(double hz, double rate);
  float LowPass(float x);
  float HighPass(float x) { return x - LowPass(x); }

 private:
  float a_ = 1.0f;
  float y_ = 0.0f;
};

// Second-order filter (the usual cookbook forms), cheap enough to retune every sample.
class Biquad {
 public:
  enum class Kind { LowPass, HighPass, BandPass, Peak };
  void Set(Kind kind, double hz, double q, double rate, double gainDb = 0.0);
  float Process(float x);

 private:
  double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  double z1_ = 0, z2_ = 0;
};

// Attack, decay to a sustain level while the gate is held, then a linear release.
struct Adsr {
  double attack = 0.01;
  double decay = 0.1;
  double sustain = 0.7;
  double release = 0.1;
  double At(double t, double gate) const;
  double Length(double gate) const { return gate + release; }
};

// Exponential decay with the given time constant; 1 at t = 0.
double Decay(double t, double seconds);

// Wet output of a small stereo-capable room reverb (parallel combs into allpasses). A
// different spread gives the other channel of a stereo pair. Length equals the input's.
Signal ReverbWet(const Signal& in, double rate, double room, double damping, int spread = 0);
// Adds feedback echoes of the signal to itself.
void AddEcho(Signal& s, double rate, double delaySeconds, float feedback, float mix);

void MixInto(Signal& into, const Signal& from, std::size_t offset, float gain = 1.0f);
void Scale(Signal& s, float gain);
void FadeIn(Signal& s, std::size_t samples);
void FadeOut(Signal& s, std::size_t samples);
float Peak(const Signal& s);
double Rms(const Signal& s);
// The RMS of the loudest window: how loud a short effect sounds at its strongest.
double LoudestRms(const Signal& s, std::size_t window);
// Scales so that the loudest window reaches the target RMS, then lowers the gain if the peak
// would exceed maxPeak. Answers the gain used.
float NormalizeLoudness(Signal& s, double rate, double targetRms, float maxPeak);
// Folds a signal of loopLength + overlap samples into a loop of loopLength samples: the
// overlap past the end is crossfaded into the start, so the wrap is as smooth as any step.
Signal CrossfadeLoop(const Signal& s, std::size_t loopLength);

}  // namespace forge::synth
