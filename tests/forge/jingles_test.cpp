// The jingles step and its MP3 encoding: every mission-end reason and every objective motif
// the skirmish dialog can ask for is written, and a missing encoder is named in the error.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/forge/audiosteps.h"
#include "tools/forge/mp3.h"
#include "tools/forge/wav.h"

namespace {

namespace fs = std::filesystem;

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    if (!dir.empty() && ::access((fs::path(dir) / program).c_str(), X_OK) == 0) return true;
  }
  return false;
}

fs::path TempFolder(const std::string& what) {
  return fs::temp_directory_path() / ("morvane-" + what + "-" + std::to_string(::getpid()));
}

// The objective jingle of a unit type and mission, as the game names it: "obj" with both
// digits, except that the tank's attack and defence and the boat's attack share the helicopter's.
std::string ObjectiveJingle(int unit, int mission) {
  if ((unit == 1 && (mission == 1 || mission == 2)) || (unit == 2 && mission == 1)) unit = 0;
  return "obj" + std::to_string(unit) + std::to_string(mission);
}

TEST(ForgeJingles, AMissingEncoderIsNamedInTheError) {
  const fs::path folder = TempFolder("mp3-missing");
  std::string error;
  ASSERT_TRUE(forge::WriteWav(folder / "in.wav", forge::synth::Signal(4410, 0.1f), 44100, error)) << error;
  EXPECT_FALSE(forge::EncodeMp3(folder / "in.wav", folder / "out.mp3", error, "no-such-encoder-here"));
  EXPECT_NE(error.find("no-such-encoder-here"), std::string::npos) << error;
  EXPECT_NE(error.find("lame"), std::string::npos) << "the error should say which package to install: " << error;
  EXPECT_FALSE(fs::exists(folder / "out.mp3"));
  fs::remove_all(folder);
}

TEST(ForgeJingles, EveryReasonAndObjectiveHasAnMp3) {
  if (!OnPath("lame")) GTEST_SKIP() << "the lame encoder is not installed";
  std::set<std::string> names = {"GOheli", "GOtank", "GOboat", "GObase", "GOunits", "MAbase", "MAunits"};
  for (int unit = 0; unit < 3; ++unit) {
    for (int mission = 0; mission < 4; ++mission) names.insert(ObjectiveJingle(unit, mission));
  }
  const fs::path folder = TempFolder("jingles");
  std::string error;
  ASSERT_TRUE(forge::ForgeJingles({folder, folder / "scratch", true}, error)) << error;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    std::ifstream in(folder / "data" / (name + ".mp3"), std::ios::binary);
    ASSERT_TRUE(in) << "missing";
    unsigned char head[3] = {};
    in.read(reinterpret_cast<char*>(head), 3);
    const bool tagged = head[0] == 'I' && head[1] == 'D' && head[2] == '3';
    const bool frame = head[0] == 0xFF && (head[1] & 0xE0) == 0xE0;
    EXPECT_TRUE(tagged || frame) << "not an MP3 stream";
    // 128 kbit/s for a couple of seconds at the least.
    EXPECT_GT(fs::file_size(folder / "data" / (name + ".mp3")), 30000u);
  }
  EXPECT_TRUE(fs::is_empty(folder / "scratch" / "data")) << "scratch WAVs should not pile up";
  fs::remove_all(folder);
}

}  // namespace
