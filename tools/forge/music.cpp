// The music step: background tracks composed by rule. Each track has a key, a chord
// progression for its verse and its bridge, and a drum groove; a seeded generator writes a
// melody of motifs that answer each other and land on chord tones, over a string pad, a bass
// line and drums, mixed in stereo with a room and encoded to music/<name>.mp3. Skipped in
// quick runs, where it would be the slowest part by far.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "tools/forge/audiosteps.h"
#include "tools/forge/band.h"
#include "tools/forge/mp3.h"

namespace forge {

namespace {
using band::Instrument;
using synth::Noise;
using synth::Signal;

constexpr int kRate = 44100;

using Chord = std::array<int, 3>;  // semitones from the tonic

struct Style {
  const char* file;
  double bpm;
  int tonic;  // MIDI note of the tonic in the melody's octave
  std::array<int, 7> scale;
  std::array<Chord, 4> verse, bridge;  // one chord a bar
  Instrument lead, counter;
  const char *kick, *snare, *hat, *fill;  // one bar each
  std::array<double, 4> bass;             // beats at which the bass plays in a bar
};

constexpr std::array<int, 7> kMinor = {0, 2, 3, 5, 7, 8, 10};
constexpr Chord kI = {0, 3, 7}, kIV = {-7, -4, 0}, kV = {-5, -2, 2}, kVI = {-4, 0, 3}, kIII = {3, 7, 10},
                kVII = {-2, 2, 5};

const std::array<Style, 2> kStyles = {{
    {"music/FieldMarch.mp3", 100, 62, kMinor, {kI, kVI, kIII, kVII}, {kIV, kI, kVI, kVII}, Instrument::Lead,
     Instrument::Horn, "K.......K.......", "....S..s....S.s.", "H.H.H.H.H.H.H.H.", "....S.s.SsSsRRRR", {0, 1, 2, 3}},
    {"music/Patrol.mp3", 84, 64, kMinor, {kI, kIV, kVI, kVII}, {kVI, kVII, kI, kV}, Instrument::Horn,
     Instrument::Lead, "K.....K...K.....", "....S.......S...", "..H...H...H...H.", "....S...S.S.RRRR", {0, 1.5, 2, 3}},
}};

struct Section {
  int bars;
  bool bridge;     // bridge chords instead of verse chords
  int motif;       // which motif the melody draws on, -1 for none
  bool counter;    // the counter line joins
  bool hats;
  float level;     // for pad and drums
};
// Intro, verse, bridge, verse again with the counter line, outro on the tonic.
constexpr std::array<Section, 5> kForm = {{
    {4, false, -1, false, false, 0.7f},
    {8, false, 0, false, true, 1.0f},
    {8, true, 1, true, true, 1.0f},
    {8, false, 0, true, true, 1.0f},
    {4, false, -1, false, false, 0.8f},
}};

struct MelodyNote {
  double beat;  // within its section
  double beats;
  int degree;   // scale step from the tonic; 7 is the octave above
};

int PitchOf(const Style& style, int degree) {
  const int octave = static_cast<int>(std::floor(degree / 7.0));
  return style.tonic + 12 * octave + style.scale[static_cast<std::size_t>(degree - 7 * octave)];
}

int Wrap12(int semitones) { return ((semitones % 12) + 12) % 12; }

bool InChord(const Style& style, int degree, const Chord& chord) {
  const int pc = Wrap12(PitchOf(style, degree) - style.tonic);
  return std::any_of(chord.begin(), chord.end(), [pc](int tone) { return Wrap12(tone) == pc; });
}

int NearestChordTone(const Style& style, int degree, const Chord& chord) {
  for (int d : {0, -1, 1, -2, 2, -3, 3}) {
    if (InChord(style, degree + d, chord)) return degree + d;
  }
  return degree;
}

// Bar rhythms in beats; the melody picks from these so it never stumbles over the bar line.
const std::vector<std::vector<double>> kRhythms = {
    {1, 1, 1, 1}, {1.5, 0.5, 1, 1}, {0.5, 0.5, 1, 2}, {1, 0.5, 0.5, 2}, {2, 1, 1}, {0.75, 0.25, 1, 1, 1}, {1, 1, 2},
};

int Pick(Noise& noise, int count) { return std::min(count - 1, static_cast<int>(noise.Uniform(0.0f, 1.0f) * count)); }

// A two-bar idea: chord tones on the strong beats, steps and small leaps between them.
std::vector<MelodyNote> Motif(Noise& noise, const Style& style, const Chord& first, const Chord& second, int lift) {
  static constexpr std::array<int, 7> kSteps = {-2, -1, -1, 1, 1, 2, 0};
  std::vector<MelodyNote> notes;
  int degree = NearestChordTone(style, 2 + lift + Pick(noise, 3), first);
  for (int bar = 0; bar < 2; ++bar) {
    const Chord& chord = bar == 0 ? first : second;
    double beat = 0.0;
    for (double length : kRhythms[static_cast<std::size_t>(Pick(noise, static_cast<int>(kRhythms.size())))]) {
      if (!notes.empty()) degree = std::clamp(degree + kSteps[static_cast<std::size_t>(Pick(noise, 7))], -2 + lift, 9 + lift);
      if (beat == 0.0 || beat == 2.0) degree = NearestChordTone(style, degree, chord);
      notes.push_back({bar * 4.0 + beat, length, degree});
      beat += length;
    }
  }
  return notes;
}

// Replays a motif over other chords, shifted a little, landing on the chords' tones; the
// phrase's last bar settles on one long note (the tonic when closing the section).
std::vector<MelodyNote> Answer(Noise& noise, const Style& style, const std::vector<MelodyNote>& motif,
                               const Chord& first, const Chord& second, bool close, bool ornament) {
  const int shift = std::array<int, 4>{0, -1, 1, 2}[static_cast<std::size_t>(Pick(noise, 4))];
  std::vector<MelodyNote> notes;
  for (const MelodyNote& m : motif) {
    if (m.beat >= 6.0) break;  // the settling note replaces the end of the second bar
    const Chord& chord = m.beat < 4.0 ? first : second;
    int degree = m.degree + shift;
    if (std::fmod(m.beat, 2.0) == 0.0) degree = NearestChordTone(style, degree, chord);
    if (ornament && m.beats >= 1.0 && noise.Chance(0.3f)) {  // a neighbour note: variety without a new tune
      notes.push_back({m.beat, m.beats / 2, degree});
      notes.push_back({m.beat + m.beats / 2, m.beats / 2, degree + (noise.Chance(0.5f) ? 1 : -1)});
      continue;
    }
    notes.push_back({m.beat, std::min(m.beats, 6.0 - m.beat), degree});
  }
  const int last = notes.empty() ? 0 : notes.back().degree;
  notes.push_back({6.0, 2.0, close ? (last > 3 ? 7 : 0) : NearestChordTone(style, last, second)});
  return notes;
}

void Pan(const Signal& bus, float pan, float gain, Signal& left, Signal& right) {
  const double angle = (pan + 1.0) * synth::kPi / 4.0;  // equal power
  synth::MixInto(left, bus, 0, gain * static_cast<float>(std::cos(angle)));
  synth::MixInto(right, bus, 0, gain * static_cast<float>(std::sin(angle)));
}

struct Buses {
  Signal lead, counter, pad, bass, drums;
};

bool Compose(const Style& style, Signal& left, Signal& right, std::string& error) {
  std::mt19937 rng = SeededGenerator(std::string("music/") + style.file);
  Noise noise(rng);
  const double beat = 60.0 / style.bpm;
  const double bar = 4.0 * beat;
  constexpr double kLead = 0.1;
  Buses b;
  std::array<std::vector<MelodyNote>, 2> motifs = {Motif(noise, style, style.verse[0], style.verse[1], 0),
                                                    Motif(noise, style, style.bridge[0], style.bridge[1], 2)};
  int barIndex = 0;
  for (std::size_t s = 0; s < kForm.size(); ++s) {
    const Section& section = kForm[s];
    const bool last = s + 1 == kForm.size();
    const double sectionStart = kLead + barIndex * bar;
    const auto& chords = section.bridge ? style.bridge : style.verse;
    for (int i = 0; i < section.bars; ++i) {
      const double at = kLead + barIndex * bar;
      const bool closing = last && i + 1 == section.bars;
      // The outro turns through the seventh chord home to the tonic and holds it.
      const Chord& chord = closing ? kI : chords[static_cast<std::size_t>(last && i == 2 ? 3 : i % 4)];
      const double hold = closing ? 1.5 * bar : bar;
      for (int tone : chord) {
        band::PlayNote(b.pad, kRate, noise, Instrument::Pad, at, hold, synth::MidiToHz(style.tonic - 12 + Wrap12(tone)),
                       0.3f * section.level);
      }
      const int root = style.tonic - 24 + Wrap12(chord[0]);
      for (std::size_t k = 0; k < style.bass.size() && !closing; ++k) {
        const double next = k + 1 < style.bass.size() ? style.bass[k + 1] : 4.0;
        const int pitch = root + (k % 2 == 1 ? 7 : 0);
        band::PlayNote(b.bass, kRate, noise, Instrument::Bass, at + style.bass[k] * beat, (next - style.bass[k]) * beat * 0.9,
                       synth::MidiToHz(pitch), 0.6f);
      }
      if (closing) {
        band::PlayNote(b.bass, kRate, noise, Instrument::Bass, at, 2.0 * bar, synth::MidiToHz(root), 0.6f);
        band::PlayNote(b.drums, kRate, noise, Instrument::Timpani, at, bar, synth::MidiToHz(root), 0.6f);
      } else {
        const bool fill = i % 4 == 3 && !last;
        const float level = 0.35f * section.level;
        if (!band::PlayDrums(b.drums, kRate, noise, fill ? style.fill : style.snare, at, style.bpm, level, error) ||
            !band::PlayDrums(b.drums, kRate, noise, style.kick, at, style.bpm, level, error) ||
            (section.hats && !band::PlayDrums(b.drums, kRate, noise, style.hat, at, style.bpm, level, error)) ||
            (i == 0 && s > 0 && !band::PlayDrums(b.drums, kRate, noise, "C", at, style.bpm, level, error))) {
          return false;
        }
      }
      if (section.counter) {  // long notes on each chord's third, below the tune
        band::PlayNote(b.counter, kRate, noise, style.counter, at, bar * 0.48,
                       synth::MidiToHz(style.tonic - 12 + Wrap12(chord[1])), 0.35f);
        band::PlayNote(b.counter, kRate, noise, style.counter, at + 2 * beat, bar * 0.48,
                       synth::MidiToHz(style.tonic - 12 + Wrap12(chord[2])), 0.3f);
      }
      ++barIndex;
    }
    if (section.motif < 0) continue;
    // Two four-bar phrases: the motif and its answer, then the motif again and a closing answer.
    const auto& motif = motifs[static_cast<std::size_t>(section.motif)];
    const bool ornament = s > 1;
    for (int phrase = 0; phrase < section.bars / 4; ++phrase) {
      const double phraseStart = sectionStart + phrase * 4 * bar;
      std::vector<MelodyNote> line = motif;
      for (const MelodyNote& n : Answer(noise, style, motif, chords[2], chords[3], phrase == 1, ornament)) {
        line.push_back({n.beat + 8.0, n.beats, n.degree});
      }
      for (const MelodyNote& n : line) {
        band::PlayNote(b.lead, kRate, noise, style.lead, phraseStart + n.beat * beat, n.beats * beat - 0.03,
                       synth::MidiToHz(PitchOf(style, n.degree)), 0.55f);
      }
    }
  }
  left.clear();
  right.clear();
  Pan(b.bass, 0.0f, 1.0f, left, right);
  Pan(b.pad, 0.0f, 1.0f, left, right);
  Pan(b.drums, -0.1f, 1.0f, left, right);
  Pan(b.lead, 0.2f, 1.0f, left, right);
  Pan(b.counter, -0.4f, 1.0f, left, right);
  const std::size_t length = synth::Samples(kLead + barIndex * bar + 2.0, kRate);
  left.resize(length, 0.0f);
  right.resize(length, 0.0f);
  Signal mono(length);
  for (std::size_t i = 0; i < length; ++i) mono[i] = 0.5f * (left[i] + right[i]);
  synth::MixInto(left, synth::ReverbWet(mono, kRate, 0.75, 0.4, 0), 0, 0.25f);
  synth::MixInto(right, synth::ReverbWet(mono, kRate, 0.75, 0.4, 23), 0, 0.25f);
  for (Signal* channel : {&left, &right}) synth::FadeOut(*channel, synth::Samples(2.5, kRate));
  // One gain for both channels, from the louder one: even loudness, no clipping.
  const double rms = std::max(synth::LoudestRms(left, kRate * 3), synth::LoudestRms(right, kRate * 3));
  const float peak = std::max(synth::Peak(left), synth::Peak(right));
  const float gain = std::min(static_cast<float>(0.16 / std::max(rms, 1e-9)), 0.89f / std::max(peak, 1e-9f));
  synth::Scale(left, gain);
  synth::Scale(right, gain);
  return true;
}
}  // namespace

bool ForgeMusic(const ForgeContext& context, std::string& error) {
  if (context.quick) return true;
  Signal left, right;
  for (const Style& style : kStyles) {
    if (!Compose(style, left, right, error) || !ForgeMp3(context, style.file, left, &right, kRate, error)) {
      error = std::string(style.file) + ": " + error;
      return false;
    }
  }
  return true;
}

}  // namespace forge
