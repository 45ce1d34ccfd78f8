// One-shot effects: explosions, splashes, gun shots, rockets, the air strike, ricochets,
// armour hits and the short notices of weapon selection and the air strike.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "tools/forge/soundkit.h"

namespace forge::sounds {

using synth::Biquad;
using synth::Decay;
using synth::kTwoPi;
using synth::Oscillator;
using Kind = synth::Biquad::Kind;

namespace {
double Rise(double t, double seconds) { return std::clamp(t / seconds, 0.0, 1.0); }

// Peaks at 1 when t = at, rising and falling smoothly around it.
double Swell(double t, double at) {
  const double x = std::max(0.0, t / at);
  return x * std::exp(1.0 - x);
}

void AddRoom(Signal& s, double rate, double room, float mix) {
  const Signal wet = synth::ReverbWet(s, rate, room, 0.5);
  synth::MixInto(s, wet, 0, mix);
}
}  // namespace

Signal Blast(Noise& noise, double rate, const BlastShape& b) {
  Biquad crackHp, roar, rumble, rumble2, debrisBand;
  crackHp.Set(Kind::HighPass, 700, 0.7, rate);
  rumble.Set(Kind::LowPass, 90, 0.8, rate);
  rumble2.Set(Kind::LowPass, 90, 0.8, rate);  // two in a row: the tail is felt more than heard
  debrisBand.Set(Kind::BandPass, 2800, 1.2, rate);
  Oscillator thump(rate);
  double crackle = 0.0;
  const double crackleFade = std::exp(-1.0 / (rate * 0.004));
  Signal s = Render(b.length, rate, [&](double t) {
    const double attack = Rise(t, 0.004);
    const double crack = crackHp.Process(noise()) * Decay(t, 0.012);
    roar.Set(Kind::LowPass, 180.0 + b.bodyTopHz * std::exp(-t / 0.3), 0.9, rate);
    const double body = roar.Process(noise()) * attack * Decay(t, b.bodyDecay);
    const double low = rumble2.Process(rumble.Process(noise())) * Rise(t, 0.03) * Decay(t, b.rumbleDecay);
    const double pitch = b.thumpHz * (0.4 + 0.6 * std::exp(-t / 0.15));
    const double boom = thump.Sine(pitch) * attack * Decay(t, 0.22);
    // Debris falling back: sparse crackles that thin out.
    if (t > 0.12 && noise.Chance(b.debris * 0.004f * static_cast<float>(Decay(t - 0.12, 0.6)))) {
      crackle = noise.Uniform(0.3f, 1.0f);
    }
    crackle *= crackleFade;
    return 0.9 * crack + 2.0 * body + 14.0 * low + 0.6 * boom + 1.5 * crackle * debrisBand.Process(noise());
  });
  AddRoom(s, rate, 0.75, 0.3f);
  synth::FadeOut(s, synth::Samples(0.3, rate));
  return s;
}

Signal Splash(Noise& noise, double rate) {
  struct Drop {
    Oscillator osc;
    double age = 1.0, hz = 0.0, amp = 0.0;
  };
  std::vector<Drop> drops(4, Drop{Oscillator(rate)});
  Biquad whumpLp, sheet, fallback;
  whumpLp.Set(Kind::LowPass, 400, 0.8, rate);
  fallback.Set(Kind::HighPass, 3000, 0.7, rate);
  Oscillator whump(rate);
  std::size_t next = 0;
  Signal s = Render(1.5, rate, [&](double t) {
    const double impact = whumpLp.Process(noise()) * Rise(t, 0.002) * Decay(t, 0.07) +
                          whump.Sine(110.0 * (0.5 + 0.5 * std::exp(-t / 0.08))) * Decay(t, 0.1);
    sheet.Set(Kind::BandPass, 900.0 + 1800.0 * std::exp(-t / 0.25), 0.8, rate);
    const double spray = sheet.Process(noise()) * Rise(t, 0.02) * Decay(t, 0.3);
    const double rain = fallback.Process(noise()) * Swell(t, 0.3) * Decay(t, 0.5);
    // Droplets: small bubbles whose pitch rises as they close.
    if (t > 0.05 && noise.Chance(0.0025f * static_cast<float>(Decay(t - 0.05, 0.35)))) {
      Drop& d = drops[next++ % drops.size()];
      d.age = 0.0;
      d.hz = noise.Uniform(600.0f, 1800.0f);
      d.amp = noise.Uniform(0.3f, 1.0f);
    }
    double bubbles = 0.0;
    for (Drop& d : drops) {
      if (d.age > 0.06) continue;
      bubbles += d.osc.Sine(d.hz * (1.0 + 0.8 * d.age / 0.03)) * d.amp * Rise(d.age, 0.001) * Decay(d.age, 0.012);
      d.age += 1.0 / rate;
    }
    return 1.2 * impact + 2.5 * spray + 0.12 * rain + 0.5 * bubbles;
  });
  AddRoom(s, rate, 0.5, 0.15f);
  synth::FadeOut(s, synth::Samples(0.2, rate));
  return s;
}

Signal Shot(Noise& noise, double rate, const ShotShape& shape) {
  Biquad crackHp, body, tail;
  crackHp.Set(Kind::HighPass, 1000, 0.7, rate);
  body.Set(Kind::LowPass, shape.bodyHz, 0.8, rate);
  tail.Set(Kind::LowPass, shape.tailHz, 0.7, rate);
  Oscillator punch(rate);
  Signal s = Render(shape.length, rate, [&](double t) {
    const double attack = Rise(t, 0.0005);
    const double crack = crackHp.Process(noise()) * attack * Decay(t, shape.crackDecay);
    const double blast = body.Process(noise()) * attack * Decay(t, shape.bodyDecay);
    const double hz = shape.punchToHz + (shape.punchFromHz - shape.punchToHz) * std::exp(-t / (0.7 * shape.punchDecay));
    const double kick = punch.Sine(hz) * attack * Decay(t, shape.punchDecay);
    const double echo = tail.Process(noise()) * Rise(t, 0.01) * Decay(t, shape.tailDecay) * shape.tailGain;
    return crack + 2.0 * blast + 0.8 * kick + 3.0 * echo;
  });
  AddRoom(s, rate, 0.6, shape.room);
  synth::FadeOut(s, s.size() / 10);
  return s;
}

Signal Rocket(Noise& noise, double rate) {
  Biquad pop, roar, hiss, sputter;
  pop.Set(Kind::HighPass, 600, 0.7, rate);
  hiss.Set(Kind::HighPass, 4000, 0.7, rate);
  sputter.Set(Kind::LowPass, 35, 0.7, rate);
  Signal s = Render(1.6, rate, [&](double t) {
    // Full thrust for a moment, then the motor recedes: quieter and lower.
    const double env = Rise(t, 0.03) * (t < 0.35 ? 1.0 : Decay(t - 0.35, 0.4));
    roar.Set(Kind::BandPass, 350.0 + 1200.0 * std::exp(-t / 0.9), 0.6, rate);
    const double stutter = 0.75 + 8.0 * sputter.Process(noise());
    const double ignition = pop.Process(noise()) * Decay(t, 0.01);
    return 1.2 * ignition + 2.5 * roar.Process(noise()) * env * stutter + 0.4 * hiss.Process(noise()) * env;
  });
  AddRoom(s, rate, 0.6, 0.25f);
  synth::FadeOut(s, synth::Samples(0.2, rate));
  return s;
}

Signal AirStrike(Noise& noise, double rate, int variant) {
  // Jets pass overhead (the pitch falls as each goes by), then the bombs whistle down.
  const std::vector<double> passes = variant == 0 ? std::vector<double>{1.3} : std::vector<double>{1.1, 1.55};
  const double whistleTop = variant == 0 ? 1900.0 : 2300.0;
  std::vector<Biquad> roars(passes.size()), rumbles(passes.size());
  std::vector<Oscillator> whines(passes.size(), Oscillator(rate));
  for (Biquad& r : rumbles) r.Set(Kind::LowPass, 250, 0.7, rate);
  static constexpr std::array<double, 3> kWhistlePitch = {1.0, 1.25, 0.8};  // apart, or they blur into one
  std::array<Oscillator, 3> whistles{Oscillator(rate), Oscillator(rate), Oscillator(rate)};
  return Render(3.6, rate, [&](double t) {
    double out = 0.0;
    for (std::size_t j = 0; j < passes.size(); ++j) {
      const double x = (t - passes[j]) / 0.7;
      const double near = 1.0 / (1.0 + x * x);
      const double doppler = 1.0 - 0.22 * x / std::sqrt(1.0 + x * x);
      roars[j].Set(Kind::BandPass, 1400.0 * doppler, 0.5, rate);
      out += near * (2.0 * roars[j].Process(noise()) + 2.0 * rumbles[j].Process(noise()) +
                     0.05 * near * whines[j].Sine(3000.0 * doppler));
    }
    for (std::size_t k = 0; k < whistles.size(); ++k) {
      const double u = (t - 1.0 - 0.35 * static_cast<double>(k)) / 1.3;
      if (u <= 0.0 || u >= 1.0) continue;
      const double hz = whistleTop * kWhistlePitch[k] * (1.0 - 0.5 * u) *
                        (1.0 + 0.01 * std::sin(kTwoPi * 6.0 * t));
      out += 0.6 * whistles[k].Sine(hz) * std::sqrt(u) * std::pow(1.0 - u, 0.3);
    }
    return out * std::min(1.0, (3.6 - t) / 0.3);
  });
}

Signal Ricochet(Noise& noise, double rate, double whineHz, double drop, double length, double warbleHz) {
  Biquad crackHp, dust;
  crackHp.Set(Kind::HighPass, 1500, 0.7, rate);
  dust.Set(Kind::LowPass, 900, 0.7, rate);
  Oscillator whine(rate), overtone(rate);
  constexpr double kWhineStart = 0.012;
  return Render(length, rate, [&](double t) {
    const double impact = 1.2 * crackHp.Process(noise()) * Decay(t, 0.005) + 2.0 * dust.Process(noise()) * Decay(t, 0.025);
    if (t < kWhineStart) return impact;
    // The tumbling bullet flies off: its pitch drops fast, then levels out.
    const double u = (t - kWhineStart) / (length - kWhineStart);
    const double hz = whineHz * (1.0 - drop * (1.0 - std::exp(-3.0 * u)) / (1.0 - std::exp(-3.0)));
    const double env = Rise(t - kWhineStart, 0.01) * std::pow(1.0 - u, 1.5);
    const double tumble = 1.0 + 0.35 * std::sin(kTwoPi * warbleHz * t);
    return impact + 0.5 * (whine.Sine(hz) + 0.25 * overtone.Sine(hz * 2.01)) * env * tumble;
  });
}

Signal ArmourHit(Noise& noise, double rate, double baseHz, double ring, float thud) {
  // A struck plate rings at inharmonic modes; higher modes die sooner.
  static constexpr std::array<double, 5> kRatios = {1.0, 2.32, 4.25, 6.63, 9.38};
  static constexpr std::array<double, 5> kLevels = {1.0, 0.7, 0.5, 0.35, 0.22};
  static constexpr std::array<double, 5> kLives = {1.0, 0.7, 0.5, 0.35, 0.25};
  std::vector<Oscillator> modes(kRatios.size() + 1, Oscillator(rate));
  Biquad click, body;
  click.Set(Kind::BandPass, 3000, 1.0, rate);
  body.Set(Kind::LowPass, 400, 0.7, rate);
  Signal s = Render(ring * 2.5 + 0.08, rate, [&](double t) {
    double rings = 0.3 * modes.back().Sine(baseHz * 1.004) * Decay(t, ring);  // a beating twin of the lowest mode
    for (std::size_t m = 0; m < kRatios.size(); ++m) {
      rings += kLevels[m] * modes[m].Sine(baseHz * kRatios[m]) * Decay(t, ring * kLives[m]);
    }
    return 0.5 * rings * Rise(t, 0.0005) + 3.0 * click.Process(noise()) * Decay(t, 0.004) +
           4.0 * thud * body.Process(noise()) * Decay(t, 0.03);
  });
  synth::FadeOut(s, synth::Samples(0.05, rate));
  return s;
}

Signal Chime(Noise& noise, double rate, std::initializer_list<Tone> tones, Timbre timbre) {
  double end = 0.0;
  for (const Tone& tone : tones) end = std::max(end, tone.start + tone.length);
  const double length = end + (timbre == Timbre::Bell ? 0.3 : 0.12);
  Signal s(synth::Samples(length, rate), 0.0f);
  for (const Tone& tone : tones) {
    Oscillator a(rate), b(rate), c(rate);
    const std::size_t first = synth::Samples(tone.start, rate);
    for (std::size_t i = first; i < s.size(); ++i) {
      const double t = static_cast<double>(i - first) / rate;
      const double gate = t < tone.length ? 1.0 : std::max(0.0, 1.0 - (t - tone.length) / 0.02);
      if (gate <= 0.0) break;
      double v = 0.0;
      if (timbre == Timbre::Bell) {
        v = (a.Sine(tone.hz) + 0.3 * b.Sine(2.0 * tone.hz) + 0.1 * c.Sine(3.0 * tone.hz)) * Decay(t, 0.35 * tone.length + 0.05);
      } else if (timbre == Timbre::Radio) {
        v = 0.6 * a.Square(tone.hz) + 0.4 * b.Sine(tone.hz);
      } else {  // two detuned harsh waves: a refusal should sound sour
        v = 0.5 * a.Saw(tone.hz) + 0.5 * b.Square(tone.hz * 1.03);
      }
      const double onset = std::sin(0.5 * synth::kPi * Rise(t, 0.006));  // soft enough not to click
      s[i] += static_cast<float>(v * onset * onset * gate);
    }
  }
  if (timbre != Timbre::Bell) {
    // A radio voice: narrow band, with a squelch at each end of the transmission.
    Biquad low, high, squelch;
    low.Set(Kind::HighPass, 350, 0.7, rate);
    high.Set(Kind::LowPass, 2800, 0.7, rate);
    squelch.Set(Kind::BandPass, 1600, 0.8, rate);
    const double close = end + 0.04;
    for (std::size_t i = 0; i < s.size(); ++i) {
      const double t = static_cast<double>(i) / rate;
      const double burst = (t < 0.03 ? 1.0 : 0.0) + (t > close && t < close + 0.04 ? 0.8 : 0.0);
      s[i] = high.Process(low.Process(s[i])) + static_cast<float>(0.2 * burst * squelch.Process(noise()));
    }
  }
  AddRoom(s, rate, 0.4, 0.12f);
  synth::FadeOut(s, synth::Samples(0.03, rate));
  return s;
}

}  // namespace forge::sounds
