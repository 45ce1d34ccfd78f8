// The sounds step, run into a temporary program folder: every sample named in the game's
// sound list is written as 16-bit mono PCM at the rate the units expect, none clips, none is
// silent, loudness is even, engine loops wrap without a click, and the output is repeatable.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tests/support/source.h"
#include "tools/forge/audiosteps.h"

namespace {

namespace fs = std::filesystem;

struct Wav {
  int channels = 0, rate = 0, bits = 0, format = 0;
  std::vector<std::int16_t> samples;
};

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Walks the chunks rather than assuming the 44-byte layout, so a misplaced chunk fails here.
bool ParseWav(const std::vector<std::uint8_t>& b, Wav& wav) {
  auto u32 = [&b](std::size_t at) { return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24); };
  auto u16 = [&b](std::size_t at) { return b[at] | (b[at + 1] << 8); };
  if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" || std::string(b.begin() + 8, b.begin() + 12) != "WAVE") {
    return false;
  }
  for (std::size_t at = 12; at + 8 <= b.size();) {
    const std::string id(b.begin() + at, b.begin() + at + 4);
    const std::uint32_t size = u32(at + 4);
    if (at + 8 + size > b.size()) return false;
    if (id == "fmt ") {
      wav.format = u16(at + 8);
      wav.channels = u16(at + 10);
      wav.rate = static_cast<int>(u32(at + 12));
      wav.bits = u16(at + 22);
    } else if (id == "data") {
      for (std::size_t i = 0; i + 1 < size; i += 2) wav.samples.push_back(static_cast<std::int16_t>(u16(at + 8 + i)));
    }
    at += 8 + size + (size & 1);
  }
  return wav.format != 0 && !wav.samples.empty();
}

std::vector<std::string> SoundList() {
  const fs::path list = testsupport::RepositoryFolder(__FILE__) / "data" / "Sounds.txt";
  std::ifstream in(list);
  std::vector<std::string> names;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) names.push_back(line);
  }
  return names;
}

double LoudestRms(const std::vector<std::int16_t>& s, std::size_t window) {
  window = std::min(window, s.size());
  double sum = 0, best = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    sum += double(s[i]) * s[i];
    if (i >= window) sum -= double(s[i - window]) * s[i - window];
    best = std::max(best, sum);
  }
  return std::sqrt(best / double(window)) / 32768.0;
}

class ForgeSoundsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = fs::temp_directory_path() / ("morvane-sounds-" + std::to_string(::getpid()));
    forge::ForgeContext context{folder_, folder_ / "scratch", true};
    ok_ = forge::ForgeSounds(context, error_);
  }
  static void TearDownTestSuite() { fs::remove_all(folder_); }
  static fs::path Sample(const std::string& name) { return folder_ / "data" / (name + ".wav"); }

  static fs::path folder_;
  static bool ok_;
  static std::string error_;
};
fs::path ForgeSoundsTest::folder_;
bool ForgeSoundsTest::ok_ = false;
std::string ForgeSoundsTest::error_;

TEST_F(ForgeSoundsTest, EveryListedSampleIsSixteenBitMonoAtItsRate) {
  ASSERT_TRUE(ok_) << error_;
  const std::vector<std::string> names = SoundList();
  ASSERT_GE(names.size(), 28u) << "data/Sounds.txt not found or short";
  // The units replay their engines at rates around these (their frequency formulas).
  const std::map<std::string, int> engineRates = {{"heli", 22050}, {"tank", 11025}, {"ship", 22050}};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    Wav wav;
    ASSERT_TRUE(ParseWav(ReadBytes(Sample(name)), wav)) << "missing or unreadable";
    EXPECT_EQ(wav.format, 1);
    EXPECT_EQ(wav.channels, 1);
    EXPECT_EQ(wav.bits, 16);
    const auto engine = engineRates.find(name);
    EXPECT_EQ(wav.rate, engine != engineRates.end() ? engine->second : 22050);
  }
}

TEST_F(ForgeSoundsTest, NoneClipsNoneIsSilentAndLoudnessIsEven) {
  ASSERT_TRUE(ok_) << error_;
  std::vector<double> loudness;
  for (const std::string& name : SoundList()) {
    SCOPED_TRACE(name);
    Wav wav;
    ASSERT_TRUE(ParseWav(ReadBytes(Sample(name)), wav));
    int peak = 0;
    for (std::int16_t v : wav.samples) peak = std::max(peak, std::abs(int(v)));
    EXPECT_LT(peak, 32767) << "clips";
    EXPECT_GT(peak, 8000) << "too quiet to hear in a battle";
    loudness.push_back(LoudestRms(wav.samples, static_cast<std::size_t>(wav.rate / 10)));
  }
  ASSERT_FALSE(loudness.empty());
  std::vector<double> sorted = loudness;
  std::sort(sorted.begin(), sorted.end());
  const double median = sorted[sorted.size() / 2];
  for (double l : loudness) {
    EXPECT_GT(l, median / 2.5) << "a sample is far quieter than the rest";
    EXPECT_LT(l, median * 2.5) << "a sample is far louder than the rest";
  }
}

TEST_F(ForgeSoundsTest, EngineLoopsWrapWithoutAClickOrADip) {
  ASSERT_TRUE(ok_) << error_;
  for (const char* name : {"heli", "tank", "ship"}) {
    SCOPED_TRACE(name);
    Wav wav;
    ASSERT_TRUE(ParseWav(ReadBytes(Sample(name)), wav));
    const std::vector<std::int16_t>& s = wav.samples;
    std::vector<int> steps;
    for (std::size_t i = 1; i < s.size(); ++i) steps.push_back(std::abs(s[i] - s[i - 1]));
    std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
    const int typical = steps[steps.size() / 2];
    EXPECT_LE(std::abs(s.front() - s.back()), 3 * typical) << "the wrap jumps";
    // A fade at either end would make the engine pulse at every wrap. The windows span
    // several blade passes or firings, so the engine's own beat does not count.
    auto rms = [&s](std::size_t from, std::size_t count) {
      double sum = 0;
      for (std::size_t i = from; i < from + count; ++i) sum += double(s[i]) * s[i];
      return std::sqrt(sum / double(count));
    };
    const std::size_t window = static_cast<std::size_t>(wav.rate / 5);
    const double whole = rms(0, s.size());
    EXPECT_NEAR(rms(0, window) / whole, 1.0, 0.3) << "the start is faded";
    EXPECT_NEAR(rms(s.size() - window, window) / whole, 1.0, 0.3) << "the end is faded";
  }
}

TEST_F(ForgeSoundsTest, OutputIsRepeatable) {
  ASSERT_TRUE(ok_) << error_;
  const fs::path again = folder_ / "again";
  std::string error;
  ASSERT_TRUE(forge::ForgeSounds({again, again / "scratch", true}, error)) << error;
  for (const std::string& name : SoundList()) {
    EXPECT_EQ(ReadBytes(Sample(name)), ReadBytes(again / "data" / (name + ".wav"))) << name;
  }
}

TEST(ForgeSounds, AnUnwritableFolderIsReported) {
  const fs::path blocker = fs::temp_directory_path() / ("morvane-sounds-blocked-" + std::to_string(::getpid()));
  std::ofstream(blocker) << "a file where the program folder should be";
  std::string error;
  EXPECT_FALSE(forge::ForgeSounds({blocker, blocker / "scratch", true}, error));
  EXPECT_FALSE(error.empty());
  fs::remove(blocker);
}

}  // namespace
