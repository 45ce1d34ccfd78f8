// The forge's military band for jingles and music: FM brass, drums, timpani, cymbals, a soft
// string pad and a bass, plus a small text notation so that tunes can be written by hand.
// Instruments add into a float signal (growing it as needed) at a start time in seconds.
#pragma once

#include <string>
#include <vector>

#include "tools/forge/synth.h"

namespace forge::band {

using synth::Noise;
using synth::Signal;

enum class Instrument { Trumpet, Horn, Tuba, Timpani, Pad, Bass, Lead, Drums };

// One note of a score, in beats; pitch is a MIDI note number.
struct Note {
  double beat;
  double beats;
  int pitch;
};

// Parses "c5/1 e5/.5 r/.5 g#4 bb3/2": a letter, an optional sharp or flat, an octave, and a
// length in beats that carries over to the following notes until changed (1 at the start).
// "r" is a rest. Unknown tokens are an error so typos in a tune cannot pass unnoticed.
bool ParseScore(const std::string& text, std::vector<Note>& notes, std::string& error);

// Plays one pitched note; velocity 0..1 also brightens the brass.
void PlayNote(Signal& out, double rate, Noise& noise, Instrument instrument, double start, double seconds,
              double hz, float velocity);

// Drum pattern, one character per sixteenth: K bass drum, S snare, s soft snare, R a snare
// roll through that sixteenth, C crash cymbal, H closed hat, '.' or ' ' nothing; '|' is
// ignored (bar lines for the reader).
bool PlayDrums(Signal& out, double rate, Noise& noise, const std::string& pattern, double start, double bpm,
               float gain, std::string& error);

// A part of an arrangement: an instrument reading a score (or a drum pattern) at a gain.
struct Part {
  Instrument instrument;
  std::string score;
  float gain = 1.0f;
};
// How many beats a part lasts: to the end of its last note or drum step.
double PartBeats(const Part& part);
// Plays every part from start at the tempo.
bool PlayParts(Signal& out, double rate, Noise& noise, const std::vector<Part>& parts, double start, double bpm,
               std::string& error);

}  // namespace forge::band
