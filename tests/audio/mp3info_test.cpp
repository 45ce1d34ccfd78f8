// The MP3 scanner and decoder: the length comes from the audio frames, the ID3 version 1 tag
// from the last 128 bytes, and files too short, damaged or not MP3 at all are refused without
// reading past their end. A forged jingle decodes to as much sound as its frames promise.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/mp3decoder.h"
#include "audio/mp3info.h"
#include "platform/filebytes.h"
#include "platform/paths.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// MPEG 1 layer III, 128 kbit/s, 44100 Hz, stereo, no padding: 417 bytes of 1152 samples.
constexpr std::uint8_t kHeader[4] = {0xFF, 0xFB, 0x90, 0x00};
constexpr std::size_t kFrameBytes = 417;

Bytes Frames(int count) {
  Bytes out;
  for (int i = 0; i < count; ++i) {
    out.insert(out.end(), kHeader, kHeader + 4);
    out.resize(out.size() + kFrameBytes - 4, 0x55);
  }
  return out;
}

Bytes Id3v1(const std::string& title) {
  Bytes tag(128, 0);
  std::memcpy(tag.data(), "TAG", 3);
  std::memcpy(tag.data() + 3, title.data(), std::min<std::size_t>(title.size(), 30));
  return tag;
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(Mp3Info, LengthIsCountedOverTheFrames) {
  struct Case {
    const char* what;
    Bytes bytes;
    std::int64_t frames;
  };
  const Bytes id3v2 = Bytes{'I', 'D', '3', 3, 0, 0, 0, 0, 0, 20} + Bytes(20, 0xFF);
  const Case cases[] = {
      {"plain frames", Frames(100), 100},
      {"with a tag at the end", Frames(100) + Id3v1("March"), 100},
      {"after an ID3 version 2 tag, whose bytes look like a frame", id3v2 + Frames(100), 100},
      {"junk before the first frame", Bytes(333, 0x12) + Frames(100), 100},
      {"a truncated last frame is not counted", Frames(100) + Bytes(kHeader, kHeader + 4) + Bytes(50, 0), 100},
      {"a single frame", Frames(1), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    audio::TMp3Info info;
    std::string error;
    ASSERT_TRUE(audio::ReadMp3Info(c.bytes, info, error)) << error;
    EXPECT_EQ(info.frames, c.frames);
    EXPECT_EQ(info.sampleRate, 44100);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.milliseconds, c.frames * 1152 * 1000 / 44100);
  }
  audio::TMp3Info info;
  std::string error;
  ASSERT_TRUE(audio::ReadMp3Info(Frames(100), info, error));
  EXPECT_EQ(info.LengthSeconds(), 2);  // 2.61 s
}

TEST(Mp3Info, TheTagIsTheLast128BytesOrAnEmptyOne) {
  audio::TMp3Info info;
  std::string error;
  ASSERT_TRUE(audio::ReadMp3Info(Frames(3) + Id3v1("Field March"), info, error)) << error;
  EXPECT_TRUE(info.hasTag);
  EXPECT_EQ(info.Title(), "Field March");
  ASSERT_TRUE(audio::ReadMp3Info(Frames(3), info, error)) << error;
  EXPECT_FALSE(info.hasTag);
  EXPECT_EQ(info.Title(), "");
  EXPECT_EQ(std::string(info.tag.begin(), info.tag.begin() + 3), "TAG");
  EXPECT_EQ(info.tag[3], 0);
}

TEST(Mp3Info, FilesWithoutAudioAreRefused) {
  Bytes lone(kHeader, kHeader + 4);
  lone.resize(600, 0x00);  // one header followed by no second frame where it should be
  const Bytes cases[] = {
      {},
      {'T', 'A', 'G'},
      Bytes(100, 0xFF),
      Bytes(127, 0x00),
      Id3v1("only a tag"),
      Bytes(5000, 0xFF),
      lone,
      Bytes{'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F} + Frames(2),  // a tag larger than the file
  };
  for (const Bytes& bytes : cases) {
    SCOPED_TRACE(std::to_string(bytes.size()) + " bytes");
    audio::TMp3Info info;
    std::string error;
    EXPECT_FALSE(audio::ReadMp3Info(bytes, info, error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(Mp3Decoder, AForgedJingleDecodesToTheLengthOfItsFrames) {
  const auto file = platform::ProgramFolder().parent_path() / "game" / "data" / "GOheli.mp3";
  Bytes bytes;
  ASSERT_EQ(platform::ReadFileBytes(file, 1 << 24, bytes), platform::ReadFileResult::Ok) << file;
  audio::TMp3Info info;
  std::string error;
  ASSERT_TRUE(audio::ReadMp3Info(bytes, info, error)) << error;
  audio::TMp3Decoder decoder;
  ASSERT_TRUE(decoder.Open(bytes, error)) << error;
  EXPECT_EQ(decoder.Rate(), info.sampleRate);
  EXPECT_EQ(decoder.Channels(), info.channels);
  std::vector<std::int16_t> block(4096 * 2);
  std::int64_t frames = 0;
  double energy = 0;
  while (std::size_t got = decoder.Read(block.data(), 4096)) {
    frames += static_cast<std::int64_t>(got);
    for (std::size_t i = 0; i < got * static_cast<std::size_t>(decoder.Channels()); ++i) energy += std::abs(block[i]);
  }
  // The encoder's delay and padding are trimmed by the decoder: within two frames.
  const std::int64_t promised = info.milliseconds * info.sampleRate / 1000;
  EXPECT_NEAR(static_cast<double>(frames), static_cast<double>(promised), 2 * 1152 + 100);
  EXPECT_GT(energy, 0) << "a jingle should not be silence";
}

TEST(Mp3Decoder, BytesThatAreNoMp3DoNotOpen) {
  for (const Bytes& bytes : {Bytes{}, Bytes(127, 0), Bytes(4000, 0x42)}) {
    audio::TMp3Decoder decoder;
    std::string error;
    EXPECT_FALSE(decoder.Open(bytes, error));
    EXPECT_FALSE(error.empty());
    std::int16_t out[16];
    EXPECT_EQ(decoder.Read(out, 8), 0u);
  }
}

}  // namespace
