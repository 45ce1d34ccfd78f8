// The sounds step: one recipe per sample the game plays, each seeded by its own name, brought
// to an even loudness and written as data/<name>.wav.
#include <functional>
#include <vector>

#include "tools/forge/audiosteps.h"
#include "tools/forge/soundkit.h"
#include "tools/forge/wav.h"

namespace forge {

namespace {
using namespace sounds;

// Engines are replayed at rates that follow the units' speed, from these base rates: the
// tank's idles a little below its own pitch, the others at it.
constexpr int kRate = 22050;
constexpr int kTankRate = 11025;

// Loudness of every sample at its strongest moment (RMS over 100 ms), and the ceiling that
// keeps sharp transients from clipping.
constexpr double kLoudness = 0.2;
constexpr float kCeiling = 0.89f;

struct Recipe {
  const char* name;
  int rate;
  std::function<Signal(Noise&, double)> make;
};

std::function<Signal(Noise&, double)> BlastOf(BlastShape shape) {
  return [shape](Noise& n, double rate) { return Blast(n, rate, shape); };
}
std::function<Signal(Noise&, double)> ShotOf(ShotShape shape) {
  return [shape](Noise& n, double rate) { return Shot(n, rate, shape); };
}
std::function<Signal(Noise&, double)> RicochetOf(double hz, double drop, double length, double warble) {
  return [=](Noise& n, double rate) { return Ricochet(n, rate, hz, drop, length, warble); };
}
std::function<Signal(Noise&, double)> HitOf(double hz, double ring, float thud) {
  return [=](Noise& n, double rate) { return ArmourHit(n, rate, hz, ring, thud); };
}

const std::vector<Recipe>& Recipes() {
  static const std::vector<Recipe> recipes = {
      {"heli", kRate, HeliLoop},
      {"tank", kTankRate, TankLoop},
      {"ship", kRate, ShipLoop},
      // Blasts: length, roar decay, roar brightness, rumble decay, thump pitch, debris.
      {"explosion", kRate, BlastOf({3.0, 0.45, 3500, 1.1, 90, 1.0f})},
      {"explo0", kRate, BlastOf({2.4, 0.35, 3000, 0.9, 80, 0.6f})},
      {"explo1", kRate, BlastOf({1.8, 0.25, 4000, 0.6, 110, 0.4f})},
      {"explo2", kRate, BlastOf({2.2, 0.30, 2500, 0.8, 70, 1.0f})},
      {"Splash0", kRate, Splash},
      // Ricochets: whine pitch, how far it falls, length, tumble rate.
      {"ric0", kRate, RicochetOf(3200, 0.35, 0.60, 32)},
      {"ric1", kRate, RicochetOf(2400, 0.45, 0.75, 24)},
      {"ric2", kRate, RicochetOf(4200, 0.30, 0.50, 41)},
      {"ric3", kRate, RicochetOf(2800, 0.55, 0.90, 18)},
      {"ric4", kRate, RicochetOf(3600, 0.25, 0.45, 37)},
      // Hits on armour: lowest ringing mode, ring time, dull thud.
      {"hit0", kRate, HitOf(520, 0.18, 0.5f)},
      {"hit1", kRate, HitOf(860, 0.25, 0.3f)},
      {"hit2", kRate, HitOf(310, 0.14, 1.0f)},
      // Shots: length, crack, body, punch sweep, tail, room. The machine guns fire every
      // 0.1 and 0.2 s, so their energy is spent well within that.
      {"50cal", kRate, ShotOf({0.40, 0.003, 1800, 0.040, 110, 60, 0.030, 700, 0.12, 0.25f, 0.15f})},
      {"machinegun", kRate, ShotOf({0.30, 0.002, 3000, 0.025, 160, 90, 0.018, 900, 0.08, 0.20f, 0.12f})},
      {"gun", kRate, ShotOf({1.60, 0.005, 1200, 0.090, 80, 40, 0.120, 150, 0.50, 0.80f, 0.35f})},
      {"rocket", kRate, Rocket},
      {"AirStrike0", kRate, [](Noise& n, double rate) { return AirStrike(n, rate, 0); }},
      {"AirStrike1", kRate, [](Noise& n, double rate) { return AirStrike(n, rate, 1); }},
      // Notices: the air strike's come over the radio; a refusal falls and sounds sour.
      {"AirStrikeReady", kRate,
       [](Noise& n, double rate) {
         return Chime(n, rate, {{523.25, 0.05, 0.10}, {659.26, 0.17, 0.10}, {783.99, 0.29, 0.22}}, Timbre::Radio);
       }},
      {"AirStrikeSelected", kRate,
       [](Noise& n, double rate) { return Chime(n, rate, {{587.33, 0.05, 0.10}, {880.0, 0.17, 0.16}}, Timbre::Radio); }},
      {"AirStrikeNotReady", kRate,
       [](Noise& n, double rate) { return Chime(n, rate, {{329.63, 0.05, 0.16}, {233.08, 0.25, 0.30}}, Timbre::Buzz); }},
      // Weapon selection: a quick burst of pips, a rising pair, a low pair.
      {"MachineSel", kRate,
       [](Noise& n, double rate) {
         return Chime(n, rate, {{1318.5, 0.0, 0.03}, {1318.5, 0.075, 0.03}, {1318.5, 0.15, 0.03}}, Timbre::Bell);
       }},
      {"RocketsSel", kRate,
       [](Noise& n, double rate) { return Chime(n, rate, {{880.0, 0.0, 0.07}, {1318.5, 0.08, 0.18}}, Timbre::Bell); }},
      {"CannonSel", kRate,
       [](Noise& n, double rate) { return Chime(n, rate, {{392.0, 0.0, 0.10}, {523.25, 0.12, 0.22}}, Timbre::Bell); }},
  };
  return recipes;
}
}  // namespace

bool ForgeSounds(const ForgeContext& context, std::string& error) {
  for (const Recipe& recipe : Recipes()) {
    std::mt19937 rng = SeededGenerator(std::string("sounds/") + recipe.name);
    Noise noise(rng);
    Signal s = recipe.make(noise, recipe.rate);
    const std::string name = recipe.name;
    if (name != "heli" && name != "tank" && name != "ship") {
      synth::FadeIn(s, synth::Samples(0.001, recipe.rate));  // even a blast needs a millisecond to start
    }
    synth::NormalizeLoudness(s, recipe.rate, kLoudness, kCeiling);
    if (!WriteWav(context.outDir / "data" / (std::string(recipe.name) + ".wav"), s, recipe.rate, error)) return false;
  }
  return true;
}

}  // namespace forge
