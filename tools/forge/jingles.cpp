// The jingles step: short band pieces written by hand, one per mission-end reason (sad for a
// loss, triumphant for a win) and one per objective motif, played by the forge's band, given
// a little room, and encoded to data/<name>.mp3.
#include <algorithm>
#include <vector>

#include "tools/forge/audiosteps.h"
#include "tools/forge/band.h"
#include "tools/forge/mp3.h"

namespace forge {

namespace {
using band::Instrument;
using band::Part;
using synth::Signal;

constexpr int kRate = 44100;

struct Jingle {
  const char* name;
  double bpm;
  std::vector<Part> parts;
};

constexpr auto T = Instrument::Trumpet;
constexpr auto H = Instrument::Horn;
constexpr auto U = Instrument::Tuba;
constexpr auto P = Instrument::Timpani;
constexpr auto S = Instrument::Pad;
constexpr auto D = Instrument::Drums;

const std::vector<Jingle>& Jingles() {
  static const std::vector<Jingle> jingles = {
      // Losses: slow minor phrases that fall and settle low.
      {"GOheli", 80, {{T, "a4/1 g4/.5 f4/.5 e4/1 d4/2", 0.8f}, {H, "f4/1 d4/1 c#4/1 a3/2", 0.5f},
                      {H, "d4/1 bb3/1 a3/1 f3/2", 0.45f}, {U, "d2/1 g2/1 a2/1 d2/2", 0.7f},
                      {P, "d2/4 d2/1", 0.5f}, {D, "RRRR............K...", 0.5f}}},
      {"GOtank", 90, {{H, "g4/1.5 ab4/.5 g4/1 f4/.5 d4/.5 c4/2", 0.75f}, {H, "eb4/2 c4/1 b3/1 c4/2", 0.45f},
                      {H, "c4/2 ab3/1 g3/1 eb3/2", 0.4f}, {U, "c2/2 f2/1 g2/1 c2/2", 0.75f},
                      {P, "c2/4 c2/2", 0.5f}, {D, "K.......s.......K.......", 0.5f}}},
      {"GOboat", 110, {{H, "e4/1 c5/2 b4/1 a4/.5 g#4/.5 a4/2", 0.75f}, {S, "c4/3 b3/3 c4/2", 0.45f},
                       {S, "a3/3 g#3/3 a3/2", 0.4f}, {S, "e3/3 e3/3 e3/2", 0.4f}, {U, "a1/3 e2/3 a1/2", 0.7f},
                       {P, "a1/3 e2/3 a1/2", 0.4f}, {D, "K...........K...........K.......", 0.35f}}},
      {"GObase", 108, {{T, "b4/1 e5/1.5 d5/.5 b4/1 g4/.5 a4/.5 e4/2", 0.75f}, {H, "g4/2.5 f#4/1.5 e4/1 c4/1 b3/1", 0.45f},
                       {H, "e4/2.5 d4/1.5 b3/1 a3/1 g3/1", 0.4f}, {U, "e2/2.5 b1/1.5 c2/1 a1/1 e2/1", 0.7f},
                       {D, "RRRRRRRR....................K...", 0.4f}}},
      {"GOunits", 88, {{T, "c5/1 b4/.5 bb4/.5 a4/1 ab4/.5 g4/.5 f4/2", 0.75f}, {H, "ab4/1 f4/1 f4/1 e4/1 c4/2", 0.45f},
                       {H, "f4/1 db4/1 c4/1 bb3/1 ab3/2", 0.4f}, {U, "f2/1 bb1/1 a1/1 c2/1 f1/2", 0.7f},
                       {P, "f2/4 f2/2", 0.5f}, {D, "s...s...s...s...K.......", 0.5f}}},
      // Wins: a roll, a rising fanfare, a full chord with cymbal and timpani.
      {"MAbase", 120, {{T, "g4/.333 g4/.333 g4/.334 c5/1 f5/.75 e5/.25 d5/.5 g5/.5 c6/4", 0.8f},
                       {T, "e4/.333 e4/.333 e4/.334 g4/1 c5/.75 c5/.25 b4/.5 d5/.5 e5/4", 0.55f},
                       {H, "c4/1 e4/1 a4/1 g4/1 g4/4", 0.5f}, {H, "g3/1 c4/1 f4/1 b3/1 c4/4", 0.45f},
                       {U, "c2/1 c2/1 f2/1 g2/1 c2/4", 0.7f}, {P, "c2/1 c2/1 f2/1 g2/1 c2/4", 0.6f},
                       {D, "RRRRS..sS.s.SsSsS...............", 0.5f}, {D, "K...K...K...K...C...............", 0.6f},
                       {D, "................K...............", 0.6f}}},
      {"MAunits", 126, {{T, "f4/.5 bb4/.5 d5/.5 f5/.5 eb5/.75 d5/.25 c5/1 d5/.75 eb5/.25 f5/.5 d5/.5 bb5/3", 0.8f},
                        {T, "d4/.5 f4/.5 bb4/.5 d5/.5 bb4/.75 bb4/.25 a4/1 bb4/.75 c5/.25 c5/.5 bb4/.5 f5/3", 0.55f},
                        {H, "bb3/2 g3/1 a3/1 bb3/1 a3/1 bb3/3", 0.5f}, {H, "f3/2 eb3/1 f3/1 f3/1 eb3/1 d3/3", 0.45f},
                        {U, "bb1/2 eb2/1 f2/1 d2/1 f2/1 bb1/3", 0.7f}, {P, "bb1/2 f2/2 bb1/1 f2/1 bb1/3", 0.6f},
                        {D, "S.sSS.sSS.sSS.sSS.S.S.S.S...........", 0.5f},
                        {D, "K.......K.......K.......C...........", 0.6f},
                        {D, "........................K...........", 0.6f}}},
      // Objectives: the mission sets the rhythm, the vehicle the register.
      {"obj00", 132, {{T, "a4/.5 d5/.5 f#5/.5 a5/1.5 f#5/.5 a5/1.5", 0.8f}, {H, "f#4/2 a4/.5 f#4/2.5", 0.45f},
                      {H, "d4/5", 0.4f}, {U, "d2/2 a1/.5 d2/2.5", 0.6f}, {D, "S.ssS.ssSsssS...K...", 0.45f}}},
      {"obj01", 138, {{T, "e4/.25 e4/.25 e4/.5 e4/.25 e4/.25 e4/.5 g4/.5 b4/.5 e5/2", 0.8f},
                      {H, "b3/.25 b3/.25 b3/.5 b3/.25 b3/.25 b3/.5 d4/.5 d4/.5 b4/2", 0.5f},
                      {U, "e2/.25 e2/.25 e2/.5 e2/.25 e2/.25 e2/.5 g2/.5 b1/.5 e2/2", 0.7f},
                      {P, "e2/1 e2/1 e2/1 b1/1 e2/1", 0.5f}, {D, "S.S.S.S.S.SSSSSSC...", 0.45f},
                      {D, "K...K...K...K...K...", 0.5f}}},
      {"obj02", 108, {{T, "c4/1 d4/.5 eb4/.5 g4/1 c5/1.5", 0.7f}, {H, "g3/1 f3/1 g3/1 g3/1.5", 0.5f},
                     {H, "eb3/1 bb2/1 c3/1 c3/1.5", 0.45f}, {U, "c2/1 bb1/1 eb2/1 c2/1.5", 0.7f},
                     {D, "S...S...S...S...", 0.4f}, {D, "K.......K.......", 0.5f}}},
      {"obj03", 116, {{T, "g4/.5 b4/.5 d5/.5 b4/.5 c5/.5 a4/.5 g4/1.5", 0.75f}, {H, "d4/1 d4/1 e4/.5 f#4/.5 d4/1.5", 0.45f},
                      {H, "b3/1 g3/1 c4/.5 d4/.5 b3/1.5", 0.4f}, {U, "g2/.5 d2/.5 g2/.5 d2/.5 c2/.5 d2/.5 g2/1.5", 0.65f},
                      {D, "S.s.S.s.SsS.SsS.S.", 0.45f}, {D, "K.......K.......K.", 0.45f}}},
      {"obj10", 112, {{U, "c2/.5 c2/.25 c2/.25 eb2/.5 f2/.5 g2/1 c2/1", 0.8f},
                      {H, "c3/.5 c3/.25 c3/.25 eb3/.5 f3/.5 g3/1 c4/1", 0.6f}, {H, "g3/1 ab3/1 b3/1 c4/1", 0.4f},
                      {P, "c2/.5 c2/.5 c2/1 g1/1 c2/1", 0.6f}, {D, "K.KKK...K.K.K...", 0.55f},
                      {D, "..S...S...S...S.", 0.4f}}},
      {"obj13", 108, {{H, "f3/.5 a3/.5 c4/.5 a3/.5 bb3/.5 g3/.5 f3/1", 0.75f},
                      {U, "f1/.5 c2/.5 f1/.5 c2/.5 g1/.5 c2/.5 f1/1", 0.7f}, {T, "c4/1 c4/1 d4/.5 e4/.5 c4/1", 0.4f},
                      {D, "S.s.S.s.S.s.S...", 0.45f}, {D, "K.......K...K...", 0.5f}}},
      {"obj20", 108, {{H, "d4/.333 f#4/.333 a4/.334 d5/1 a4/.333 f#4/.333 a4/.334 d5/1", 0.75f},
                      {S, "d4/4", 0.35f}, {S, "f#3/4", 0.35f}, {S, "a3/4", 0.3f}, {U, "d2/2 a1/1 d2/1", 0.6f},
                      {P, "d2/1 a1/1 d2/2", 0.5f}, {D, "....RRRRRRRRS...", 0.4f}}},
      {"obj22", 104, {{H, "a3/1 c4/.5 e4/.5 a4/2", 0.75f}, {H, "e3/2 c4/2", 0.45f}, {S, "a3/4", 0.35f},
                     {S, "e3/4", 0.3f}, {S, "c4/4", 0.3f}, {U, "a1/2 a1/2", 0.6f}, {P, "a1/1 a1/1 e2/1 a1/1", 0.5f},
                     {D, "RRRRRRRRRRRRS...", 0.4f}}},
      {"obj23", 108, {{H, "bb3/.5 d4/.5 f4/.5 bb4/1 a4/.5 bb4/1", 0.75f}, {H, "f3/1.5 d4/1 c4/.5 d4/1", 0.4f},
                      {S, "bb3/4", 0.3f}, {S, "f3/4", 0.3f}, {U, "bb1/1 f2/1 bb1/1 f2/.5 bb1/.5", 0.6f},
                      {D, "s..s..s..s..s..s", 0.4f}, {D, "K.....K.....K...", 0.45f}}},
  };
  return jingles;
}

// The band playing in a hall: a short room, the end ringing out, even loudness.
bool Perform(const Jingle& jingle, Signal& out, std::string& error) {
  std::mt19937 rng = SeededGenerator(std::string("jingles/") + jingle.name);
  synth::Noise noise(rng);
  constexpr double kLead = 0.05;  // so the first attack is not cut by a player's start-up
  out.clear();
  if (!band::PlayParts(out, kRate, noise, jingle.parts, kLead, jingle.bpm, error)) {
    error = std::string(jingle.name) + ": " + error;
    return false;
  }
  double beats = 0.0;
  for (const Part& part : jingle.parts) beats = std::max(beats, band::PartBeats(part));
  out.resize(synth::Samples(kLead + beats * 60.0 / jingle.bpm + 0.8, kRate), 0.0f);
  const Signal wet = synth::ReverbWet(out, kRate, 0.7, 0.45);
  synth::MixInto(out, wet, 0, 0.3f);
  synth::FadeOut(out, synth::Samples(0.5, kRate));
  synth::NormalizeLoudness(out, kRate, 0.2, 0.89f);
  return true;
}
}  // namespace

bool ForgeJingles(const ForgeContext& context, std::string& error) {
  Signal s;
  for (const Jingle& jingle : Jingles()) {
    if (!Perform(jingle, s, error)) return false;
    if (!ForgeMp3(context, std::filesystem::path("data") / (std::string(jingle.name) + ".mp3"), s, nullptr, kRate,
                  error)) {
      return false;
    }
  }
  return true;
}

}  // namespace forge
