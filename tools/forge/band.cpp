// The band's instruments and the score notation they read.
#include "tools/forge/band.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace forge::band {

using synth::Adsr;
using synth::Biquad;
using synth::Decay;
using synth::kTwoPi;
using synth::OnePole;
using synth::Oscillator;
using Kind = synth::Biquad::Kind;

namespace {

double Rise(double t, double seconds) { return std::clamp(t / seconds, 0.0, 1.0); }

void Place(Signal& out, const Signal& voice, double start, double rate, float gain) {
  synth::MixInto(out, voice, synth::Samples(start, rate), gain);
}

// Brass by frequency modulation: the modulation depth follows the loudness, so a note
// brightens as it swells, which is what makes FM sound like brass.
struct BrassVoice {
  Adsr envelope;
  double index;
  double brightnessHz;
  double vibrato;
  float breath;
};

BrassVoice VoiceOf(Instrument instrument) {
  switch (instrument) {
    case Instrument::Trumpet: return {{0.035, 0.12, 0.8, 0.10}, 4.0, 5000, 0.005, 0.05f};
    case Instrument::Horn: return {{0.06, 0.15, 0.85, 0.15}, 2.2, 1800, 0.003, 0.02f};
    case Instrument::Tuba: return {{0.05, 0.12, 0.8, 0.10}, 2.0, 900, 0.0, 0.0f};
    default: return {{0.05, 0.2, 0.7, 0.15}, 1.4, 2600, 0.006, 0.03f};  // the lead: mellow
  }
}

Signal Brass(double rate, Noise& noise, Instrument instrument, double seconds, double hz, float velocity) {
  const BrassVoice v = VoiceOf(instrument);
  OnePole tone, tone2;
  tone.SetCutoff(v.brightnessHz * (0.6 + 0.4 * velocity), rate);
  tone2.SetCutoff(v.brightnessHz * 1.5, rate);
  double carrier = 0.0, modulator = 0.0;
  Signal s(synth::Samples(v.envelope.Length(seconds), rate));
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double e = v.envelope.At(t, seconds);
    const double vibrato = 1.0 + v.vibrato * std::sin(kTwoPi * 5.2 * t) * Rise(t - 0.2, 0.3);
    const double scoop = 1.0 - 0.012 * std::exp(-t / 0.04);  // players slide up into a note
    const double step = hz * vibrato * scoop / rate;
    carrier += step;
    modulator += step;
    carrier -= std::floor(carrier);
    modulator -= std::floor(modulator);
    const double index = v.index * (0.5 + 0.5 * velocity) * e;
    const double y = std::sin(kTwoPi * carrier + index * std::sin(kTwoPi * modulator));
    const double breath = v.breath * noise() * Decay(t, 0.03);
    s[i] = static_cast<float>(tone2.LowPass(tone.LowPass(static_cast<float>(y + breath))) * e * velocity);
  }
  return s;
}

Signal Pad(double rate, double seconds, double hz, float velocity) {
  const Adsr env{0.25, 0.3, 0.8, 0.6};
  std::array<Oscillator, 3> saws{Oscillator(rate, 0.0), Oscillator(rate, 0.33), Oscillator(rate, 0.67)};
  static constexpr std::array<double, 3> kDetune = {0.996, 1.0, 1.004};  // a section, not one player
  OnePole lp, lp2;
  lp.SetCutoff(1400, rate);
  lp2.SetCutoff(1400, rate);
  Signal s(synth::Samples(env.Length(seconds), rate));
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    double v = 0.0;
    for (std::size_t k = 0; k < saws.size(); ++k) v += saws[k].Saw(hz * kDetune[k]);
    s[i] = lp2.LowPass(lp.LowPass(static_cast<float>(v * 0.3))) * static_cast<float>(env.At(t, seconds) * velocity);
  }
  return s;
}

Signal Bass(double rate, double seconds, double hz, float velocity) {
  const Adsr env{0.005, 0.25, 0.55, 0.08};
  Oscillator sine(rate), saw(rate);
  OnePole lp;
  lp.SetCutoff(500, rate);
  Signal s(synth::Samples(env.Length(seconds), rate));
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const float v = static_cast<float>(sine.Sine(hz) + 0.35 * saw.Saw(hz));
    s[i] = lp.LowPass(v) * static_cast<float>(env.At(t, seconds) * velocity);
  }
  return s;
}

Signal Timpani(double rate, Noise& noise, double hz, float velocity) {
  // A kettle drum's modes are nearly harmonic above its fundamental; the pitch sags as it rings.
  static constexpr std::array<double, 5> kRatios = {1.0, 1.504, 1.742, 2.0, 2.245};
  static constexpr std::array<double, 5> kLevels = {1.0, 0.6, 0.3, 0.25, 0.15};
  static constexpr std::array<double, 5> kLives = {1.2, 0.7, 0.45, 0.45, 0.3};
  std::vector<Oscillator> modes(kRatios.size(), Oscillator(rate));
  Biquad mallet;
  mallet.Set(Kind::LowPass, 600, 0.7, rate);
  Signal s(synth::Samples(2.5, rate));
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double sag = 1.0 + 0.02 * std::exp(-t / 0.1);
    double v = 0.0;
    for (std::size_t m = 0; m < modes.size(); ++m) v += kLevels[m] * modes[m].Sine(hz * kRatios[m] * sag) * Decay(t, kLives[m]);
    v = v * Rise(t, 0.004) * 0.5 + 2.0 * mallet.Process(noise()) * Decay(t, 0.02);
    s[i] = static_cast<float>(v * velocity);
  }
  synth::FadeOut(s, synth::Samples(0.2, rate));
  return s;
}

Signal Snare(double rate, Noise& noise, float velocity, double ring) {
  Biquad wires;
  wires.Set(Kind::HighPass, 1800, 0.7, rate);
  Oscillator head(rate), head2(rate);
  Signal s(synth::Samples(0.35 * ring + 0.05, rate));
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double body = (0.6 * head.Sine(185.0) + 0.3 * head2.Sine(330.0)) * Decay(t, 0.05 * ring);
    const double rattle = wires.Process(noise()) * Decay(t, 0.12 * ring);
    s[i] = static_cast<float>((body + 1.4 * rattle) * Rise(t, 0.001) * velocity);
  }
  synth::FadeOut(s, s.size() / 5);
  return s;
}

Signal BassDrum(double rate, Noise& noise, float velocity) {
  Oscillator shell(rate);
  Biquad beater;
  beater.Set(Kind::LowPass, 300, 0.7, rate);
  Signal s(synth::Samples(0.9, rate));
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double hz = 55.0 + 40.0 * std::exp(-t / 0.05);
    const double v = shell.Sine(hz) * Decay(t, 0.35) * Rise(t, 0.002) + 2.0 * beater.Process(noise()) * Decay(t, 0.05);
    s[i] = static_cast<float>(v * velocity);
  }
  synth::FadeOut(s, s.size() / 5);
  return s;
}

// Cymbals: a cluster of square waves at unrelated pitches plus noise, all above 5 kHz.
Signal Cymbal(double rate, Noise& noise, float velocity, double ring) {
  static constexpr std::array<double, 6> kMetal = {410.6, 608.8, 739.2, 1045.4, 1080.0, 1600.0};
  std::vector<Oscillator> metal(kMetal.size(), Oscillator(rate));
  Biquad hp, hp2;
  hp.Set(Kind::HighPass, 5000, 0.7, rate);
  hp2.Set(Kind::HighPass, 5000, 0.7, rate);
  Signal s(synth::Samples(ring * 3.0 + 0.05, rate));
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    double v = 0.7 * noise();
    for (std::size_t k = 0; k < metal.size(); ++k) v += 0.15 * metal[k].Square(kMetal[k]);
    s[i] = hp2.Process(hp.Process(static_cast<float>(v))) * static_cast<float>(Decay(t, ring) * Rise(t, 0.002) * velocity);
  }
  synth::FadeOut(s, s.size() / 4);
  return s;
}

int Semitone(char letter) {
  static constexpr std::array<int, 7> kFromA = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
  return kFromA[static_cast<std::size_t>(letter - 'a')];
}

}  // namespace

bool ParseScore(const std::string& text, std::vector<Note>& notes, std::string& error) {
  std::istringstream in(text);
  std::string token;
  double beat = 0.0, length = 1.0;
  while (in >> token) {
    const std::size_t slash = token.find('/');
    if (slash != std::string::npos) {
      char* end = nullptr;
      const std::string number = token.substr(slash + 1);
      length = std::strtod(number.c_str(), &end);
      if (number.empty() || *end != '\0' || length <= 0.0) {
        error = "bad length in note '" + token + "'";
        return false;
      }
    }
    const std::string pitch = token.substr(0, slash);
    if (pitch == "r") {
      beat += length;
      continue;
    }
    std::size_t at = 1;
    if (pitch.empty() || pitch[0] < 'a' || pitch[0] > 'g') {
      error = "bad note '" + token + "'";
      return false;
    }
    int semitone = Semitone(pitch[0]);
    if (at < pitch.size() && (pitch[at] == '#' || pitch[at] == 'b')) semitone += pitch[at++] == '#' ? 1 : -1;
    if (at + 1 != pitch.size() || pitch[at] < '0' || pitch[at] > '8') {
      error = "bad octave in note '" + token + "'";
      return false;
    }
    notes.push_back({beat, length, (pitch[at] - '0' + 1) * 12 + semitone});
    beat += length;
  }
  return true;
}

void PlayNote(Signal& out, double rate, Noise& noise, Instrument instrument, double start, double seconds,
              double hz, float velocity) {
  switch (instrument) {
    case Instrument::Timpani: Place(out, Timpani(rate, noise, hz, velocity), start, rate, 1.0f); break;
    case Instrument::Pad: Place(out, Pad(rate, seconds, hz, velocity), start, rate, 1.0f); break;
    case Instrument::Bass: Place(out, Bass(rate, seconds, hz, velocity), start, rate, 1.0f); break;
    case Instrument::Drums: break;
    default: Place(out, Brass(rate, noise, instrument, seconds, hz, velocity), start, rate, 1.0f); break;
  }
}

bool PlayDrums(Signal& out, double rate, Noise& noise, const std::string& pattern, double start, double bpm,
               float gain, std::string& error) {
  const double sixteenth = 15.0 / bpm;
  double at = start;
  for (char c : pattern) {
    switch (c) {
      case '|': continue;
      case '.': case ' ': break;
      case 'K': Place(out, BassDrum(rate, noise, 0.9f), at, rate, gain); break;
      case 'S': Place(out, Snare(rate, noise, 0.8f, 1.0), at, rate, gain); break;
      case 's': Place(out, Snare(rate, noise, 0.35f, 0.7), at, rate, gain); break;
      case 'C': Place(out, Cymbal(rate, noise, 0.6f, 0.8), at, rate, gain); break;
      case 'H': Place(out, Cymbal(rate, noise, 0.25f, 0.03), at, rate, gain); break;
      case 'R':
        // Buzzed strokes about 22 a second, slightly uneven like two sticks.
        for (double t = 0.0; t < sixteenth - 1e-9; t += 0.045) {
          Place(out, Snare(rate, noise, noise.Uniform(0.3f, 0.45f), 0.4), at + t, rate, gain);
        }
        break;
      default:
        error = std::string("unknown drum '") + c + "' in pattern '" + pattern + "'";
        return false;
    }
    at += sixteenth;
  }
  return true;
}

double PartBeats(const Part& part) {
  if (part.instrument == Instrument::Drums) {
    const auto steps = std::count_if(part.score.begin(), part.score.end(), [](char c) { return c != '|'; });
    return static_cast<double>(steps) / 4.0;
  }
  std::vector<Note> notes;
  std::string error;
  ParseScore(part.score, notes, error);
  return notes.empty() ? 0.0 : notes.back().beat + notes.back().beats;
}

bool PlayParts(Signal& out, double rate, Noise& noise, const std::vector<Part>& parts, double start, double bpm,
               std::string& error) {
  const double secondsPerBeat = 60.0 / bpm;
  for (const Part& part : parts) {
    if (part.instrument == Instrument::Drums) {
      if (!PlayDrums(out, rate, noise, part.score, start, bpm, part.gain, error)) return false;
      continue;
    }
    std::vector<Note> notes;
    if (!ParseScore(part.score, notes, error)) return false;
    for (const Note& n : notes) {
      const double seconds = std::max(0.05, n.beats * secondsPerBeat - 0.02);  // a breath between notes
      PlayNote(out, rate, noise, part.instrument, start + n.beat * secondsPerBeat, seconds, synth::MidiToHz(n.pitch),
               part.gain);
    }
  }
  return true;
}

}  // namespace forge::band
