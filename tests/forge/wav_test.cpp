// The forge's WAV writer: every header field the game's sample loader and the MP3 encoder
// read, for mono and stereo, and how samples beyond full scale are stored.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/forge/wav.h"

namespace {

std::uint32_t Read32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t Read16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::string Tag(const std::vector<std::uint8_t>& b, std::size_t at) { return std::string(b.begin() + at, b.begin() + at + 4); }

struct HeaderCase {
  const char* what;
  int channels;
  int rate;
  std::vector<std::int16_t> samples;  // interleaved
};

TEST(ForgeWav, HeaderFieldsDescribeTheSamples) {
  const std::vector<HeaderCase> cases = {
      {"mono at 22050", 1, 22050, {0, 1000, -1000}},
      {"mono at 11025", 1, 11025, {7}},
      {"stereo at 44100", 2, 44100, {1, -1, 2, -2}},
      {"empty", 1, 22050, {}},
  };
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<std::uint8_t> b = forge::EncodeWav(c.samples, c.channels, c.rate);
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(c.samples.size() * 2);
    ASSERT_EQ(b.size(), 44u + dataBytes);
    EXPECT_EQ(Tag(b, 0), "RIFF");
    EXPECT_EQ(Read32(b, 4), 36u + dataBytes);  // the file's size less the first 8 bytes
    EXPECT_EQ(Tag(b, 8), "WAVE");
    EXPECT_EQ(Tag(b, 12), "fmt ");
    EXPECT_EQ(Read32(b, 16), 16u);
    EXPECT_EQ(Read16(b, 20), 1u);  // integer PCM
    EXPECT_EQ(Read16(b, 22), c.channels);
    EXPECT_EQ(Read32(b, 24), static_cast<std::uint32_t>(c.rate));
    EXPECT_EQ(Read32(b, 28), static_cast<std::uint32_t>(c.rate * c.channels * 2));  // bytes per second
    EXPECT_EQ(Read16(b, 32), c.channels * 2);                                      // bytes per frame
    EXPECT_EQ(Read16(b, 34), 16u);
    EXPECT_EQ(Tag(b, 36), "data");
    EXPECT_EQ(Read32(b, 40), dataBytes);
    for (std::size_t i = 0; i < c.samples.size(); ++i) {
      EXPECT_EQ(static_cast<std::int16_t>(Read16(b, 44 + 2 * i)), c.samples[i]) << "sample " << i;
    }
  }
}

TEST(ForgeWav, StereoInterleavesLeftFirstAndPadsTheShorterChannel) {
  const std::vector<std::int16_t> pcm = forge::Interleave({0.5f, 0.25f}, {-0.5f});
  ASSERT_EQ(pcm.size(), 4u);
  EXPECT_GT(pcm[0], 0);
  EXPECT_LT(pcm[1], 0);
  EXPECT_GT(pcm[2], 0);
  EXPECT_EQ(pcm[3], 0);
}

TEST(ForgeWav, SamplesBeyondFullScaleClampInsteadOfWrapping) {
  struct Case {
    float in;
    std::int16_t out;
  };
  const std::vector<Case> cases = {{1.0f, 32767}, {1.7f, 32767}, {-1.0f, -32767}, {-3.0f, -32767}, {0.0f, 0}, {0.5f, 16384}};
  for (const Case& c : cases) {
    EXPECT_EQ(forge::ToPcm16({c.in})[0], c.out) << "input " << c.in;
  }
}

}  // namespace
