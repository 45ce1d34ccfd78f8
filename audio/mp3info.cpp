// The MP3 scanner: frame headers walked from the first confirmed frame to the tag.
#include "audio/mp3info.h"

#include <algorithm>
#include <cstring>

namespace audio {

namespace {

constexpr std::size_t kTagSize = 128;

struct FrameHeader {
  std::size_t bytes = 0;
  std::size_t sideInfo = 0;  // bytes between the header (and its checksum) and the main data
  int samples = 0;
  int rate = 0;
  int channels = 0;
};

// Kilobits per second by [MPEG 1 or not][layer I, II, III][index].
constexpr int kBitrates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
constexpr int kRates[3] = {44100, 48000, 32000};

// The frame starting at `p` (four bytes readable), or false when these bytes start none.
bool ParseHeader(const std::uint8_t* p, FrameHeader& frame) {
  if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
  const int version = (p[1] >> 3) & 3;  // 0: 2.5, 1: reserved, 2: 2, 3: 1
  const int layerBits = (p[1] >> 1) & 3;  // 1: III, 2: II, 3: I
  const int bitrateIndex = p[2] >> 4;
  const int rateIndex = (p[2] >> 2) & 3;
  if (version == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return false;
  const int layer = 4 - layerBits;  // 1, 2 or 3
  const bool mpeg1 = version == 3;
  const int bitrate = kBitrates[mpeg1 ? 0 : 1][layer - 1][bitrateIndex] * 1000;
  const int rate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
  const int padding = (p[2] >> 1) & 1;
  if (layer == 1) {
    frame.bytes = static_cast<std::size_t>((12 * bitrate / rate + padding) * 4);
    frame.samples = 384;
  } else if (layer == 2 || mpeg1) {
    frame.bytes = static_cast<std::size_t>(144 * bitrate / rate + padding);
    frame.samples = 1152;
  } else {
    frame.bytes = static_cast<std::size_t>(72 * bitrate / rate + padding);
    frame.samples = 576;
  }
  frame.rate = rate;
  frame.channels = (p[3] >> 6) == 3 ? 1 : 2;
  const bool checksum = (p[1] & 1) == 0;
  frame.sideInfo = (checksum ? 2 : 0) + (layer != 3 ? 0 : mpeg1 ? (frame.channels == 1 ? 17 : 32)
                                                             : (frame.channels == 1 ? 9 : 17));
  return frame.bytes >= 4;
}

// Where the audio starts: after an ID3 version 2 tag, when the file opens with one.
std::size_t AudioStart(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 10 || std::memcmp(bytes.data(), "ID3", 3) != 0) return 0;
  std::size_t size = 0;
  for (int i = 6; i < 10; ++i) {
    if (bytes[static_cast<std::size_t>(i)] & 0x80) return 0;  // not a tag's size after all
    size = (size << 7) | bytes[static_cast<std::size_t>(i)];
  }
  const bool footer = (bytes[5] & 0x10) != 0;
  return std::min(bytes.size(), 10 + size + (footer ? 10 : 0));
}

// Encoders put their summary ("Xing" or "Info") in a first frame that holds no sound.
bool IsInfoFrame(const std::uint8_t* p, const FrameHeader& frame) {
  const std::size_t at = 4 + frame.sideInfo;
  if (frame.bytes < at + 4) return false;
  return std::memcmp(p + at, "Xing", 4) == 0 || std::memcmp(p + at, "Info", 4) == 0;
}

}  // namespace

std::string TMp3Info::Field(std::size_t at, std::size_t size) const {
  std::string text(reinterpret_cast<const char*>(tag.data() + at), size);
  const std::size_t end = text.find('\0');
  if (end != std::string::npos) text.resize(end);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

bool ReadMp3Info(std::span<const std::uint8_t> bytes, TMp3Info& info, std::string& error) {
  info = {};
  std::size_t end = bytes.size();
  // A file shorter than a tag simply has none.
  if (end >= kTagSize && std::memcmp(bytes.data() + end - kTagSize, "TAG", 3) == 0) {
    std::copy_n(bytes.data() + end - kTagSize, kTagSize, info.tag.begin());
    info.hasTag = true;
    end -= kTagSize;
  }
  std::size_t at = AudioStart(bytes.first(end));
  double milliseconds = 0;
  FrameHeader frame, next;
  while (end - at >= 4) {
    if (!ParseHeader(bytes.data() + at, frame) || frame.bytes > end - at) {
      ++at;  // not a frame here: look further (junk before the audio, or a damaged frame)
      continue;
    }
    // The first frame must be confirmed by the one after it (or by the end), so that stray
    // bytes that look like a header are not taken for music.
    if (info.frames == 0) {
      const std::size_t after = at + frame.bytes;
      const bool confirmed =
          after == end || (end - after >= 4 && ParseHeader(bytes.data() + after, next) && next.rate == frame.rate);
      if (!confirmed) {
        ++at;
        continue;
      }
      info.sampleRate = frame.rate;
      info.channels = frame.channels;
      if (IsInfoFrame(bytes.data() + at, frame)) {
        at += frame.bytes;
        continue;  // the next frame is confirmed already; info.frames stays 0 till then
      }
    }
    ++info.frames;
    milliseconds += 1000.0 * frame.samples / frame.rate;
    at += frame.bytes;
  }
  if (info.frames == 0) {
    error = bytes.size() < kTagSize ? "too short to be an MP3 file" : "no MPEG audio frame found";
    return false;
  }
  info.milliseconds = static_cast<std::int64_t>(milliseconds);
  return true;
}

}  // namespace audio
