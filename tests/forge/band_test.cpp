// The band's score notation: pitches, lengths that carry over, rests, and the typos a tune
// writer makes, which must stop the forge rather than play a wrong note.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/forge/band.h"

namespace {

using forge::band::Note;

TEST(ForgeBand, ScoresBecomeTimedPitches) {
  struct Case {
    const char* score;
    std::vector<Note> notes;
  };
  const std::vector<Case> cases = {
      {"c4", {{0, 1, 60}}},
      {"a4/2", {{0, 2, 69}}},
      {"c#4 db4 b3 bb3", {{0, 1, 61}, {1, 1, 61}, {2, 1, 59}, {3, 1, 58}}},
      {"c5/.5 e5 g5/2", {{0, 0.5, 72}, {0.5, 0.5, 76}, {1, 2, 79}}},  // a length carries over
      {"r/1.5 g2", {{1.5, 1.5, 43}}},                                  // so does a rest's
      {"cb4 b#3", {{0, 1, 59}, {1, 1, 60}}},
      {"", {}},
  };
  for (const Case& c : cases) {
    std::vector<Note> notes;
    std::string error;
    ASSERT_TRUE(forge::band::ParseScore(c.score, notes, error)) << c.score << ": " << error;
    ASSERT_EQ(notes.size(), c.notes.size()) << c.score;
    for (std::size_t i = 0; i < notes.size(); ++i) {
      EXPECT_DOUBLE_EQ(notes[i].beat, c.notes[i].beat) << c.score << " note " << i;
      EXPECT_DOUBLE_EQ(notes[i].beats, c.notes[i].beats) << c.score << " note " << i;
      EXPECT_EQ(notes[i].pitch, c.notes[i].pitch) << c.score << " note " << i;
    }
  }
}

TEST(ForgeBand, TyposInAScoreAreErrors) {
  for (const char* score : {"h4", "c", "c44", "c4/", "c4/0", "c4/x", "c4/-1", "C4", "c#", "e5 x2"}) {
    std::vector<Note> notes;
    std::string error;
    EXPECT_FALSE(forge::band::ParseScore(score, notes, error)) << score;
    EXPECT_FALSE(error.empty()) << score;
  }
}

TEST(ForgeBand, UnknownDrumsAreErrors) {
  forge::synth::Signal out;
  std::mt19937 rng(1);
  forge::synth::Noise noise(rng);
  std::string error;
  EXPECT_TRUE(forge::band::PlayDrums(out, 22050, noise, "K.S.|s.R.|C.H. ", 0, 120, 1.0f, error)) << error;
  EXPECT_FALSE(out.empty());
  EXPECT_FALSE(forge::band::PlayDrums(out, 22050, noise, "K.X.", 0, 120, 1.0f, error));
  EXPECT_NE(error.find('X'), std::string::npos);
}

}  // namespace
