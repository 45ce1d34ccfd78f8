// The WAV reader: the PCM layouts other programs write are read to the same 16-bit samples;
// anything else, and every truncated or inconsistent file, is refused with a reason.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "audio/wavfile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutTag(Bytes& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }

struct WavShape {
  unsigned format = 1;  // 1 PCM, 3 float, 0xFFFE extensible
  unsigned channels = 1;
  std::uint32_t rate = 22050;
  unsigned bits = 16;
  int blockAlign = -1;  // -1: the right one
  unsigned subFormat = 1;
};

// A WAV file around `data`; `extra` goes between the header and the format chunk.
Bytes MakeWav(const WavShape& s, const Bytes& data, const Bytes& extra = {}) {
  Bytes fmt;
  Put16(fmt, s.format);
  Put16(fmt, s.channels);
  Put32(fmt, s.rate);
  const unsigned align = s.blockAlign >= 0 ? static_cast<unsigned>(s.blockAlign) : s.channels * s.bits / 8;
  Put32(fmt, s.rate * align);
  Put16(fmt, align);
  Put16(fmt, s.bits);
  if (s.format == 0xFFFE) {
    Put16(fmt, 22);
    Put16(fmt, s.bits);
    Put32(fmt, s.channels == 2 ? 3 : 4);
    Put16(fmt, s.subFormat);
    static const std::uint8_t guidTail[14] = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    fmt.insert(fmt.end(), guidTail, guidTail + 14);
  }
  Bytes out;
  PutTag(out, "RIFF");
  Put32(out, 0);  // patched below
  PutTag(out, "WAVE");
  out.insert(out.end(), extra.begin(), extra.end());
  PutTag(out, "fmt ");
  Put32(out, static_cast<std::uint32_t>(fmt.size()));
  out.insert(out.end(), fmt.begin(), fmt.end());
  PutTag(out, "data");
  Put32(out, static_cast<std::uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  const auto riff = static_cast<std::uint32_t>(out.size() - 8);
  for (int i = 0; i < 4; ++i) out[4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(riff >> (8 * i));
  return out;
}

TEST(WavFile, CommonLayoutsReadToTheSameSixteenBitSamples) {
  struct Case {
    const char* what;
    WavShape shape;
    Bytes data;
    std::vector<std::int16_t> want;
  };
  const Case cases[] = {
      {"8-bit mono: unsigned, 128 is silence", {1, 1, 11025, 8}, {0x80, 0xFF, 0x00}, {0, 32512, -32768}},
      {"16-bit mono", {1, 1, 22050, 16}, {0x00, 0x00, 0xFF, 0x7F, 0x00, 0x80}, {0, 32767, -32768}},
      {"16-bit stereo", {1, 2, 44100, 16}, {0x01, 0x00, 0xFF, 0xFF}, {1, -1}},
      {"8-bit stereo", {1, 2, 8000, 8}, {0x81, 0x7F}, {256, -256}},
      {"extensible 16-bit stereo", {0xFFFE, 2, 48000, 16}, {0x10, 0x00, 0xF0, 0xFF}, {16, -16}},
      {"a trailing odd byte of a half frame is left out", {1, 1, 22050, 16}, {0x02, 0x00, 0x07}, {2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    audio::TSoundSample sample;
    std::string error;
    ASSERT_TRUE(audio::ReadWav(MakeWav(c.shape, c.data), sample, error)) << error;
    EXPECT_EQ(sample.rate, static_cast<int>(c.shape.rate));
    EXPECT_EQ(sample.channels, static_cast<int>(c.shape.channels));
    EXPECT_EQ(sample.pcm, c.want);
  }
}

TEST(WavFile, ChunksBeforeTheFormatAreSkippedWithTheirPadding) {
  Bytes list;
  PutTag(list, "LIST");
  Put32(list, 3);  // odd: one pad byte follows
  list.insert(list.end(), {'a', 'b', 'c', 0});
  audio::TSoundSample sample;
  std::string error;
  ASSERT_TRUE(audio::ReadWav(MakeWav({}, {0x05, 0x00}, list), sample, error)) << error;
  EXPECT_EQ(sample.pcm, std::vector<std::int16_t>{5});
}

TEST(WavFile, UnplayableOrDamagedFilesAreRefusedWithAReason) {
  const Bytes good = MakeWav({}, {1, 0, 2, 0});
  Bytes truncated = good;
  truncated.resize(truncated.size() - 1);
  Bytes noData = MakeWav({}, {});
  noData.resize(noData.size() - 8);  // the data chunk's header gone
  Bytes noFormat;
  PutTag(noFormat, "RIFF");
  Put32(noFormat, 12);
  PutTag(noFormat, "WAVE");
  PutTag(noFormat, "data");
  Put32(noFormat, 0);
  Bytes shortFormat = good;
  shortFormat[16] = 10;  // the fmt chunk claims 10 bytes
  Bytes hugeChunk = good;
  for (int i = 0; i < 4; ++i) hugeChunk[40 + static_cast<std::size_t>(i)] = 0xFF;  // data size 4 GiB
  struct Case {
    const char* what;
    Bytes bytes;
  };
  const Case cases[] = {
      {"empty", {}},
      {"not RIFF", {'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}},
      {"only the RIFF header", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}},
      {"truncated data", truncated},
      {"data chunk larger than the file", hugeChunk},
      {"no data chunk", noData},
      {"no format chunk", noFormat},
      {"format chunk too short", shortFormat},
      {"no samples", MakeWav({}, {})},
      {"24-bit", MakeWav({1, 1, 44100, 24}, {0, 0, 0})},
      {"32-bit float", MakeWav({3, 1, 44100, 32}, {0, 0, 0, 0})},
      {"extensible float", MakeWav({0xFFFE, 2, 44100, 16, -1, 3}, {0, 0, 0, 0})},
      {"three channels", MakeWav({1, 3, 44100, 16}, {0, 0, 0, 0, 0, 0})},
      {"no channels", MakeWav({1, 0, 44100, 16}, {0, 0})},
      {"rate 100 Hz", MakeWav({1, 1, 100, 16}, {0, 0})},
      {"rate 4 GHz", MakeWav({1, 1, 4000000000u, 16}, {0, 0})},
      {"block size that does not match", MakeWav({1, 2, 44100, 16, 2}, {0, 0, 0, 0})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    audio::TSoundSample sample;
    std::string error;
    EXPECT_FALSE(audio::ReadWav(c.bytes, sample, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(sample.pcm.empty());
  }
}

TEST(WavFile, StereoIsMixedToMonoForPositionalSound) {
  audio::TSoundSample stereo{22050, 2, {100, 300, -1000, 1000, 32767, 32767}};
  EXPECT_EQ(audio::MixToMono(stereo), (std::vector<std::int16_t>{200, 0, 32767}));
  audio::TSoundSample mono{22050, 1, {1, 2, 3}};
  EXPECT_EQ(audio::MixToMono(mono), mono.pcm);
}

}  // namespace

namespace {

TEST(WavFile, ARecordingWritesAndReadsBackTheSameSamples) {
  const audio::TSoundSample recording{44100, 2, {0, 1, -1, 32767, -32768, 12345}};
  audio::TSoundSample back;
  std::string error;
  ASSERT_TRUE(audio::ReadWav(audio::EncodeWav(recording), back, error)) << error;
  EXPECT_EQ(back.rate, recording.rate);
  EXPECT_EQ(back.channels, recording.channels);
  EXPECT_EQ(back.pcm, recording.pcm);
}

}  // namespace
