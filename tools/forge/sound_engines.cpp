// Engine loops of the helicopter, the tank and the boat. The units replay them at a rate that
// follows their speed, so each loop is the engine at rest; its pitch rises as they move.
#include <array>
#include <cmath>

#include "tools/forge/soundkit.h"

namespace forge::sounds {

using synth::Biquad;
using synth::Decay;
using synth::kTwoPi;
using synth::Oscillator;
using Kind = synth::Biquad::Kind;

namespace {
// Where t falls within a train of events at the given rate: which event, and the time since it.
struct TrainPosition {
  long index;
  double fraction;  // 0 at the event, towards 1 just before the next
  double since;     // seconds
};
TrainPosition Train(double t, double hz) {
  const double position = t * hz;
  const double whole = std::floor(position);
  return {static_cast<long>(whole), position - whole, (position - whole) / hz};
}

// A firing pulse: rises in a few milliseconds, dies before the next one. The window forces
// it to zero at the next event so the restart never clicks.
double Pulse(const TrainPosition& p, double rise) {
  const double x = p.since / rise;
  const double window = (1.0 - p.fraction) * (1.0 - p.fraction);
  return x * std::exp(1.0 - x) * window;
}
}  // namespace

Signal HeliLoop(Noise& noise, double rate) {
  // Two blades at 450 rpm pass 15 times a second: 30 passes in the 2-second loop. The turbine
  // and tail-rotor tones are whole hertz, so they too end the loop where they began.
  constexpr double kLoop = 2.0, kBladeHz = 15.0, kOverlap = 0.15;
  Biquad slap, hiss, tail, rumble;
  slap.Set(Kind::LowPass, 1100, 1.1, rate);
  hiss.Set(Kind::BandPass, 3600, 0.7, rate);
  tail.Set(Kind::LowPass, 600, 0.8, rate);
  rumble.Set(Kind::LowPass, 140, 0.8, rate);
  Oscillator whine(rate), whine2(rate), tailRotor(rate);
  const Signal s = Render(kLoop + kOverlap, rate, [&](double t) {
    const TrainPosition blade = Train(t, kBladeHz);
    const double strength = blade.index % 2 == 0 ? 1.0 : 0.8;  // no two blades are quite alike
    const double window = (1.0 - blade.fraction) * (1.0 - blade.fraction);
    const double attack = std::min(1.0, blade.since / 0.003);
    const double slapEnv = strength * attack * Decay(blade.since, 0.016) * window;
    const double whopEnv = strength * attack * Decay(blade.since, 0.032) * window;
    const double whop = std::sin(kTwoPi * 56.0 * blade.since) * whopEnv;
    const double chop = slap.Process(noise() * static_cast<float>(slapEnv));
    // The turbine is steadier than the rotor but still breathes a little with each pass.
    const double turbine = (0.6 * whine.Sine(1240.0) + 0.3 * whine2.Sine(2480.0)) * (0.85 + 0.15 * window);
    return 2.6 * chop + 0.9 * whop + 0.06 * turbine + 0.05 * hiss.Process(noise()) +
           0.10 * tail.Process(tailRotor.Saw(78.0)) + 0.6 * rumble.Process(noise());
  });
  return synth::CrossfadeLoop(s, synth::Samples(kLoop, rate));
}

Signal TankLoop(Noise& noise, double rate) {
  // A twelve-cylinder diesel firing 36 times a second: its uneven cylinders repeat six times
  // in the 2-second loop, which gives the idle its lumpy beat.
  constexpr double kLoop = 2.0, kFiringHz = 36.0, kOverlap = 0.15;
  std::array<double, 12> cylinders{};
  for (double& c : cylinders) c = noise.Uniform(0.65f, 1.0f);
  Biquad block, block2, rattle, exhaust;
  block.Set(Kind::BandPass, 95, 2.5, rate);
  block2.Set(Kind::BandPass, 240, 3.0, rate);
  rattle.Set(Kind::BandPass, 1500, 1.5, rate);
  exhaust.Set(Kind::LowPass, 220, 0.7, rate);
  Oscillator hum(rate), hum2(rate);
  const Signal s = Render(kLoop + kOverlap, rate, [&](double t) {
    const TrainPosition firing = Train(t, kFiringHz);
    const double pulse = cylinders[static_cast<std::size_t>(firing.index % 12)] * Pulse(firing, 0.004);
    const float excitation = static_cast<float>(pulse * (0.7 + 0.3 * noise()));
    return 5.0 * block.Process(excitation) + 3.0 * block2.Process(excitation) + 0.12 * hum.Sine(36.0) +
           0.08 * hum2.Sine(72.0) + 0.8 * rattle.Process(noise() * static_cast<float>(pulse)) +
           0.9 * exhaust.Process(noise()) * (0.5 + pulse);
  });
  return synth::CrossfadeLoop(s, synth::Samples(kLoop, rate));
}

Signal ShipLoop(Noise& noise, double rate) {
  // A slow eight-cylinder marine diesel (22 firings a second, its pattern 11 times in the
  // 4-second loop) under the wash of the hull; the swell and the propeller beat are whole
  // cycles of the loop too.
  constexpr double kLoop = 4.0, kFiringHz = 22.0, kOverlap = 0.2;
  std::array<double, 8> cylinders{};
  for (double& c : cylinders) c = noise.Uniform(0.7f, 1.0f);
  Biquad block, block2, wash, foam, churn;
  block.Set(Kind::BandPass, 70, 2.0, rate);
  block2.Set(Kind::BandPass, 165, 2.5, rate);
  wash.Set(Kind::BandPass, 600, 0.6, rate);
  foam.Set(Kind::HighPass, 2500, 0.7, rate);
  churn.Set(Kind::LowPass, 260, 0.7, rate);
  Oscillator hum(rate), hum2(rate);
  const Signal s = Render(kLoop + kOverlap, rate, [&](double t) {
    const TrainPosition firing = Train(t, kFiringHz);
    const double pulse = cylinders[static_cast<std::size_t>(firing.index % 8)] * Pulse(firing, 0.006);
    const float excitation = static_cast<float>(pulse * (0.75 + 0.25 * noise()));
    const double swell = 0.6 + 0.25 * std::sin(kTwoPi * 0.5 * t) + 0.15 * std::sin(kTwoPi * 0.75 * t + 1.0);
    const double propeller = 1.0 + 0.5 * std::sin(kTwoPi * 11.0 * t);
    return 6.0 * block.Process(excitation) + 3.0 * block2.Process(excitation) + 0.10 * hum.Sine(22.0) +
           0.08 * hum2.Sine(44.0) + swell * (0.35 * wash.Process(noise()) + 0.06 * foam.Process(noise())) +
           0.5 * propeller * churn.Process(noise());
  });
  return synth::CrossfadeLoop(s, synth::Samples(kLoop, rate));
}

}  // namespace forge::sounds
