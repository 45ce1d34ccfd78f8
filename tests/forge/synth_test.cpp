// The forge's synthesis toolkit: filters pass and stop what they claim, envelopes never jump,
// loops fold without a step, levels land where asked, and the room dies away.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "tools/forge/synth.h"

namespace {

using forge::synth::Signal;
constexpr double kRate = 44100.0;

// The gain a filter gives a steady sine, measured after it has settled.
double GainAt(double hz, const std::function<float(float)>& filter) {
  forge::synth::Oscillator osc(kRate);
  double sum = 0.0;
  const int n = static_cast<int>(kRate);
  for (int i = 0; i < n; ++i) {
    const float y = filter(osc.Sine(hz));
    if (i >= n / 2) sum += static_cast<double>(y) * y;
  }
  return std::sqrt(sum / (n / 2)) / std::sqrt(0.5);
}

TEST(ForgeSynth, FiltersPassTheirBandAndStopTheRest) {
  using Kind = forge::synth::Biquad::Kind;
  struct Case {
    const char* what;
    Kind kind;
    double cutoff, probe, low, high;
  };
  const std::vector<Case> cases = {
      {"low-pass keeps the bass", Kind::LowPass, 1000, 100, 0.95, 1.05},
      {"low-pass removes the treble", Kind::LowPass, 1000, 8000, 0.0, 0.03},
      {"high-pass removes the bass", Kind::HighPass, 1000, 100, 0.0, 0.03},
      {"high-pass keeps the treble", Kind::HighPass, 1000, 8000, 0.95, 1.05},
      {"band-pass keeps its centre", Kind::BandPass, 1000, 1000, 0.95, 1.05},
      {"band-pass stops far below", Kind::BandPass, 1000, 100, 0.0, 0.15},
      {"band-pass stops far above", Kind::BandPass, 1000, 10000, 0.0, 0.15},
  };
  for (const Case& c : cases) {
    forge::synth::Biquad f;
    f.Set(c.kind, c.cutoff, 0.707, kRate);
    const double gain = GainAt(c.probe, [&f](float x) { return f.Process(x); });
    EXPECT_GE(gain, c.low) << c.what;
    EXPECT_LE(gain, c.high) << c.what;
  }
  forge::synth::OnePole smooth;
  smooth.SetCutoff(500, kRate);
  EXPECT_GT(GainAt(50, [&smooth](float x) { return smooth.LowPass(x); }), 0.95);
  EXPECT_LT(GainAt(5000, [&smooth](float x) { return smooth.LowPass(x); }), 0.15);
}

TEST(ForgeSynth, EnvelopeRisesHoldsAndReleasesWithoutJumps) {
  const forge::synth::Adsr env{0.1, 0.2, 0.5, 0.3};
  struct Case {
    double t, gate, level;
  };
  const std::vector<Case> cases = {
      {0.0, 1.0, 0.0}, {0.1, 1.0, 1.0}, {0.3, 1.0, 0.5}, {0.9, 1.0, 0.5},
      {1.15, 1.0, 0.25}, {1.3, 1.0, 0.0}, {2.0, 1.0, 0.0},
      {0.05, 0.05, 0.5}, {0.2, 0.05, 0.25},  // released mid-attack: falls from where it got to
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(env.At(c.t, c.gate), c.level, 1e-9) << "t " << c.t << " gate " << c.gate;
  }
}

TEST(ForgeSynth, CrossfadedLoopWrapsNoHarderThanItSteps) {
  // 441.3 Hz does not fit the loop a whole number of times: cut plainly it would step.
  const std::size_t loop = 22050, overlap = 2205;
  forge::synth::Oscillator osc(kRate);
  Signal s(loop + overlap);
  for (float& v : s) v = osc.Sine(441.3);
  ASSERT_GT(std::abs(s[loop - 1] - s[0]), 0.1f) << "the fixture should not loop by luck";

  const Signal folded = forge::synth::CrossfadeLoop(s, loop);
  ASSERT_EQ(folded.size(), loop);
  float largestStep = 0.0f;
  for (std::size_t i = 1; i < folded.size(); ++i) largestStep = std::max(largestStep, std::abs(folded[i] - folded[i - 1]));
  EXPECT_LE(std::abs(folded.front() - folded.back()), largestStep * 1.05f);
}

TEST(ForgeSynth, LoudnessReachesTheTargetUnlessThePeakForbidsIt) {
  struct Case {
    const char* what;
    std::function<float(std::size_t)> sample;
    double expectRms;   // 0: not checked
    float expectPeak;   // 0: not checked
  };
  const std::vector<Case> cases = {
      {"a quiet steady tone is raised", [](std::size_t i) { return 0.01f * std::sin(0.05f * static_cast<float>(i)); }, 0.2, 0.0f},
      {"a click on silence is capped by the ceiling", [](std::size_t i) { return i == 100 ? 0.3f : 0.0f; }, 0.0, 0.89f},
  };
  for (const Case& c : cases) {
    Signal s(22050);
    for (std::size_t i = 0; i < s.size(); ++i) s[i] = c.sample(i);
    forge::synth::NormalizeLoudness(s, 22050, 0.2, 0.89f);
    if (c.expectRms > 0) {
      EXPECT_NEAR(forge::synth::LoudestRms(s, 2205), c.expectRms, 0.005) << c.what;
    }
    if (c.expectPeak > 0) {
      EXPECT_NEAR(forge::synth::Peak(s), c.expectPeak, 1e-4) << c.what;
    }
    EXPECT_LE(forge::synth::Peak(s), 0.89f + 1e-4f) << c.what;
  }
}

TEST(ForgeSynth, RoomTailRingsAndDiesAway) {
  Signal impulse(static_cast<std::size_t>(3 * kRate), 0.0f);
  impulse[0] = 1.0f;
  const Signal wet = forge::synth::ReverbWet(impulse, kRate, 0.9, 0.5);
  auto energy = [&wet](double from, double to) {
    double sum = 0.0;
    for (auto i = static_cast<std::size_t>(from * kRate); i < static_cast<std::size_t>(to * kRate); ++i) sum += wet[i] * wet[i];
    return sum;
  };
  EXPECT_GT(energy(0.0, 0.5), 1e-6);
  EXPECT_GT(energy(0.5, 1.0), 0.0) << "a room should ring past half a second";
  EXPECT_LT(energy(2.0, 3.0), energy(0.0, 1.0) * 0.01) << "the tail must decay, not build up";
}

}  // namespace
