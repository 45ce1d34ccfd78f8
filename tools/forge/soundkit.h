// Recipes for the game's sound effects, shared by the sounds step: engine loops, blasts,
// shots, impacts and notices. Each answers a raw signal; levels are set by the step.
#pragma once

#include <initializer_list>

#include "tools/forge/synth.h"

namespace forge::sounds {

using synth::Noise;
using synth::Signal;

// Renders seconds of sound by asking sample(t) for every sample time t.
template <typename F>
Signal Render(double seconds, double rate, F&& sample) {
  Signal s(synth::Samples(seconds, rate));
  for (std::size_t i = 0; i < s.size(); ++i) s[i] = static_cast<float>(sample(static_cast<double>(i) / rate));
  return s;
}

// Engine loops: every periodic part completes whole cycles in the loop, and the ends are
// crossfaded, so the game can loop them for as long as a unit lives.
Signal HeliLoop(Noise& noise, double rate);
Signal TankLoop(Noise& noise, double rate);
Signal ShipLoop(Noise& noise, double rate);

struct BlastShape {
  double length;       // seconds, tail included
  double bodyDecay;    // the main roar's time constant
  double bodyTopHz;    // where the roar's low-pass starts before it closes down
  double rumbleDecay;  // the low tail's time constant
  double thumpHz;      // the low thump's starting pitch
  float debris;        // how much crackle follows
};
Signal Blast(Noise& noise, double rate, const BlastShape& shape);
Signal Splash(Noise& noise, double rate);

struct ShotShape {
  double length;
  double crackDecay;
  double bodyHz, bodyDecay;
  double punchFromHz, punchToHz, punchDecay;
  double tailHz, tailDecay;
  float tailGain;
  float room;  // reverb wet level
};
Signal Shot(Noise& noise, double rate, const ShotShape& shape);
Signal Rocket(Noise& noise, double rate);
Signal AirStrike(Noise& noise, double rate, int variant);

Signal Ricochet(Noise& noise, double rate, double whineHz, double drop, double length, double warbleHz);
Signal ArmourHit(Noise& noise, double rate, double baseHz, double ring, float thud);

// Short chimes: each tone is (frequency, start, length) in a tiny score.
struct Tone {
  double hz;
  double start;
  double length;
};
enum class Timbre { Bell, Radio, Buzz };
Signal Chime(Noise& noise, double rate, std::initializer_list<Tone> tones, Timbre timbre);

}  // namespace forge::sounds
