// Synthesis toolkit: the building blocks every forged sound is made of.
#include "tools/forge/synth.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace forge::synth {

double MidiToHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

std::size_t Samples(double seconds, double rate) {
  return seconds <= 0.0 ? 0 : static_cast<std::size_t>(std::lround(seconds * rate));
}

float Noise::Uniform(float lo, float hi) {
  const float unit = static_cast<float>(rng_() >> 8) * (1.0f / 16777216.0f);
  return lo + (hi - lo) * unit;
}

// --- oscillators ---

namespace {
// Smooths a unit step of a wave whose phase advances dt per sample (the polynomial BLEP).
double PolyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}
}  // namespace

double Oscillator::Advance(double hz) {
  const double phase = phase_;
  phase_ += hz / rate_;
  phase_ -= std::floor(phase_);
  return phase;
}

float Oscillator::Sine(double hz) { return static_cast<float>(std::sin(kTwoPi * Advance(hz))); }

float Oscillator::Saw(double hz) {
  const double dt = std::min(0.5, std::abs(hz) / rate_);
  const double t = Advance(hz);
  return static_cast<float>(2.0 * t - 1.0 - PolyBlep(t, dt));
}

float Oscillator::Square(double hz) {
  const double dt = std::min(0.5, std::abs(hz) / rate_);
  const double t = Advance(hz);
  double v = t < 0.5 ? 1.0 : -1.0;
  v += PolyBlep(t, dt);
  v -= PolyBlep(std::fmod(t + 0.5, 1.0), dt);
  return static_cast<float>(v);
}

float Oscillator::Triangle(double hz) {
  const double t = Advance(hz);
  return static_cast<float>(t < 0.5 ? 4.0 * t - 1.0 : 3.0 - 4.0 * t);
}

// --- filters ---

void OnePole::SetCutoff(double hz, double rate) {
  a_ = static_cast<float>(1.0 - std::exp(-kTwoPi * std::max(1.0, hz) / rate));
}

float OnePole::LowPass(float x) {
  y_ += a_ * (x - y_);
  return y_;
}

void Biquad::Set(Kind kind, double hz, double q, double rate, double gainDb) {
  const double w0 = kTwoPi * std::clamp(hz, 5.0, 0.45 * rate) / rate;
  const double c = std::cos(w0);
  const double alpha = std::sin(w0) / (2.0 * std::max(0.05, q));
  double a0 = 1.0 + alpha;
  double a1 = -2.0 * c;
  double a2 = 1.0 - alpha;
  double b0 = 0, b1 = 0, b2 = 0;
  switch (kind) {
    case Kind::LowPass:
      b0 = b2 = (1.0 - c) / 2.0;
      b1 = 1.0 - c;
      break;
    case Kind::HighPass:
      b0 = b2 = (1.0 + c) / 2.0;
      b1 = -(1.0 + c);
      break;
    case Kind::BandPass:
      b0 = alpha;
      b2 = -alpha;
      break;
    case Kind::Peak: {
      const double A = std::pow(10.0, gainDb / 40.0);
      b0 = 1.0 + alpha * A;
      b1 = -2.0 * c;
      b2 = 1.0 - alpha * A;
      a0 = 1.0 + alpha / A;
      a2 = 1.0 - alpha / A;
      break;
    }
  }
  b0_ = b0 / a0;
  b1_ = b1 / a0;
  b2_ = b2 / a0;
  a1_ = a1 / a0;
  a2_ = a2 / a0;
}

float Biquad::Process(float x) {
  const double y = b0_ * x + z1_;
  z1_ = b1_ * x - a1_ * y + z2_;
  z2_ = b2_ * x - a2_ * y;
  return static_cast<float>(y);
}

// --- envelopes ---

double Adsr::At(double t, double gate) const {
  auto held = [this](double u) {
    if (u < 0.0) return 0.0;
    if (u < attack) return u / attack;
    if (u < attack + decay) return 1.0 - (1.0 - sustain) * (u - attack) / decay;
    return sustain;
  };
  if (t < gate) return held(t);
  const double fall = release > 0.0 ? 1.0 - (t - gate) / release : 0.0;
  return held(gate) * std::max(0.0, fall);
}

double Decay(double t, double seconds) { return t < 0.0 ? 0.0 : std::exp(-t / seconds); }

// --- space ---

Signal ReverbWet(const Signal& in, double rate, double room, double damping, int spread) {
  // Comb and allpass lengths of a classic room design, tuned at 44.1 kHz and scaled.
  static constexpr std::array<int, 8> kCombs = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
  static constexpr std::array<int, 4> kAllpasses = {556, 441, 341, 225};
  const double scale = rate / 44100.0;
  const float feedback = static_cast<float>(0.7 + 0.28 * std::clamp(room, 0.0, 1.0));
  const float damp = static_cast<float>(std::clamp(damping, 0.0, 1.0) * 0.4);

  Signal wet(in.size(), 0.0f);
  for (int length : kCombs) {
    std::vector<float> buffer(std::max<std::size_t>(1, static_cast<std::size_t>((length + spread) * scale)), 0.0f);
    float store = 0.0f;
    std::size_t at = 0;
    for (std::size_t i = 0; i < in.size(); ++i) {
      const float out = buffer[at];
      store = out * (1.0f - damp) + store * damp;
      buffer[at] = in[i] * 0.015f + store * feedback;
      if (++at == buffer.size()) at = 0;
      wet[i] += out;
    }
  }
  for (int length : kAllpasses) {
    std::vector<float> buffer(std::max<std::size_t>(1, static_cast<std::size_t>((length + spread) * scale)), 0.0f);
    std::size_t at = 0;
    for (float& sample : wet) {
      const float delayed = buffer[at];
      buffer[at] = sample + delayed * 0.5f;
      sample = delayed - sample;
      if (++at == buffer.size()) at = 0;
    }
  }
  Scale(wet, 3.0f);
  return wet;
}

void AddEcho(Signal& s, double rate, double delaySeconds, float feedback, float mix) {
  const std::size_t delay = std::max<std::size_t>(1, Samples(delaySeconds, rate));
  Signal echo(s.size(), 0.0f);
  for (std::size_t i = delay; i < s.size(); ++i) echo[i] = (s[i - delay] + echo[i - delay]) * feedback;
  for (std::size_t i = 0; i < s.size(); ++i) s[i] += echo[i] * mix;
}

// --- levels and loops ---

void MixInto(Signal& into, const Signal& from, std::size_t offset, float gain) {
  if (into.size() < offset + from.size()) into.resize(offset + from.size(), 0.0f);
  for (std::size_t i = 0; i < from.size(); ++i) into[offset + i] += from[i] * gain;
}

void Scale(Signal& s, float gain) {
  for (float& v : s) v *= gain;
}

void FadeIn(Signal& s, std::size_t samples) {
  samples = std::min(samples, s.size());
  for (std::size_t i = 0; i < samples; ++i) s[i] *= static_cast<float>(i) / static_cast<float>(samples);
}

void FadeOut(Signal& s, std::size_t samples) {
  samples = std::min(samples, s.size());
  const std::size_t start = s.size() - samples;
  for (std::size_t i = 0; i < samples; ++i) s[start + i] *= static_cast<float>(samples - i) / static_cast<float>(samples);
}

float Peak(const Signal& s) {
  float peak = 0.0f;
  for (float v : s) peak = std::max(peak, std::abs(v));
  return peak;
}

double Rms(const Signal& s) {
  if (s.empty()) return 0.0;
  double sum = 0.0;
  for (float v : s) sum += static_cast<double>(v) * v;
  return std::sqrt(sum / static_cast<double>(s.size()));
}

double LoudestRms(const Signal& s, std::size_t window) {
  if (s.empty()) return 0.0;
  window = std::clamp<std::size_t>(window, 1, s.size());
  double sum = 0.0;
  for (std::size_t i = 0; i < window; ++i) sum += static_cast<double>(s[i]) * s[i];
  double best = sum;
  for (std::size_t i = window; i < s.size(); ++i) {
    sum += static_cast<double>(s[i]) * s[i] - static_cast<double>(s[i - window]) * s[i - window];
    best = std::max(best, sum);
  }
  return std::sqrt(std::max(0.0, best) / static_cast<double>(window));
}

float NormalizeLoudness(Signal& s, double rate, double targetRms, float maxPeak) {
  const double rms = LoudestRms(s, Samples(0.1, rate));
  const float peak = Peak(s);
  if (rms <= 0.0 || peak <= 0.0f) return 1.0f;
  float gain = static_cast<float>(targetRms / rms);
  gain = std::min(gain, maxPeak / peak);
  Scale(s, gain);
  return gain;
}

Signal CrossfadeLoop(const Signal& s, std::size_t loopLength) {
  loopLength = std::min(loopLength, s.size());
  Signal loop(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(loopLength));
  const std::size_t overlap = std::min(s.size() - loopLength, loopLength);
  for (std::size_t i = 0; i < overlap; ++i) {
    const float w = (static_cast<float>(i) + 0.5f) / static_cast<float>(overlap);
    loop[i] = s[i] * w + s[loopLength + i] * (1.0f - w);
  }
  return loop;
}

}  // namespace forge::synth
