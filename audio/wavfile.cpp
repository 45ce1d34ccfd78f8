// The WAV reader: RIFF chunks walked with every size checked against what is left.
#include "audio/wavfile.h"

#include <cstring>
#include <optional>

namespace audio {

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

struct Format {
  int channels = 0, rate = 0, bits = 0;
};

bool ReadFormat(std::span<const std::uint8_t> chunk, Format& format, std::string& error) {
  if (chunk.size() < 16) {
    error = "its format chunk is too short";
    return false;
  }
  std::uint16_t tag = U16(&chunk[0]);
  const int channels = U16(&chunk[2]);
  const std::uint32_t rate = U32(&chunk[4]);
  const int blockAlign = U16(&chunk[12]);
  const int bits = U16(&chunk[14]);
  if (tag == kFormatExtensible) {
    // The sub-format's first two bytes carry the real format tag.
    if (chunk.size() < 26) {
      error = "its extensible format chunk is too short";
      return false;
    }
    tag = U16(&chunk[24]);
  }
  if (tag != kFormatPcm) {
    error = "it is not plain PCM (format " + std::to_string(tag) + ")";
    return false;
  }
  if (channels != 1 && channels != 2) {
    error = "it has " + std::to_string(channels) + " channels (1 or 2 are played)";
    return false;
  }
  if (bits != 8 && bits != 16) {
    error = "it has " + std::to_string(bits) + "-bit samples (8 or 16 are played)";
    return false;
  }
  if (rate < static_cast<std::uint32_t>(kMinWavRate) || rate > static_cast<std::uint32_t>(kMaxWavRate)) {
    error = "its rate of " + std::to_string(rate) + " Hz is outside 4000 to 192000";
    return false;
  }
  if (blockAlign != channels * bits / 8) {
    error = "its block size " + std::to_string(blockAlign) + " does not match its samples";
    return false;
  }
  format = {channels, static_cast<int>(rate), bits};
  return true;
}

}  // namespace

bool ReadWav(std::span<const std::uint8_t> bytes, TSoundSample& sample, std::string& error) {
  sample = {};
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    error = "not a WAV file";
    return false;
  }
  std::optional<Format> format;
  std::span<const std::uint8_t> data;
  bool haveData = false;
  std::size_t at = 12;
  while (bytes.size() - at >= 8) {
    const std::uint8_t* head = bytes.data() + at;
    const std::uint32_t size = U32(head + 4);
    at += 8;
    if (size > bytes.size() - at) {
      error = "a chunk runs past the end of the file (truncated?)";
      return false;
    }
    std::span<const std::uint8_t> body = bytes.subspan(at, size);
    if (std::memcmp(head, "fmt ", 4) == 0) {
      Format f;
      if (!ReadFormat(body, f, error)) return false;
      format = f;
    } else if (std::memcmp(head, "data", 4) == 0 && !haveData) {
      data = body;
      haveData = true;
    }
    // Chunks are padded to an even length; a file may end without the pad byte.
    at += size;
    if ((size & 1) != 0 && at < bytes.size()) ++at;
    if (format && haveData) break;
  }
  if (!format) {
    error = "it has no format chunk";
    return false;
  }
  if (!haveData) {
    error = "it has no data chunk";
    return false;
  }
  const std::size_t bytesPerFrame = static_cast<std::size_t>(format->channels * format->bits / 8);
  const std::size_t frames = data.size() / bytesPerFrame;
  if (frames == 0) {
    error = "it holds no sound";
    return false;
  }
  const std::size_t count = frames * static_cast<std::size_t>(format->channels);
  sample.pcm.resize(count);
  if (format->bits == 8) {
    for (std::size_t i = 0; i < count; ++i) sample.pcm[i] = static_cast<std::int16_t>((data[i] - 128) * 256);
  } else {
    for (std::size_t i = 0; i < count; ++i) sample.pcm[i] = static_cast<std::int16_t>(U16(&data[2 * i]));
  }
  sample.rate = format->rate;
  sample.channels = format->channels;
  return true;
}

std::vector<std::uint8_t> EncodeWav(const TSoundSample& sample) {
  std::vector<std::uint8_t> out;
  const auto put = [&out](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  const auto tag = [&out](const char* t) { out.insert(out.end(), t, t + 4); };
  const auto dataBytes = static_cast<std::uint32_t>(sample.pcm.size() * 2);
  const auto align = static_cast<std::uint32_t>(sample.channels * 2);
  tag("RIFF");
  put(36 + dataBytes, 4);
  tag("WAVE");
  tag("fmt ");
  put(16, 4);
  put(1, 2);
  put(static_cast<std::uint32_t>(sample.channels), 2);
  put(static_cast<std::uint32_t>(sample.rate), 4);
  put(static_cast<std::uint32_t>(sample.rate) * align, 4);
  put(align, 2);
  put(16, 2);
  tag("data");
  put(dataBytes, 4);
  for (std::int16_t v : sample.pcm) put(static_cast<std::uint16_t>(v), 2);
  return out;
}

std::vector<std::int16_t> MixToMono(const TSoundSample& sample) {
  if (sample.channels != 2) return sample.pcm;
  std::vector<std::int16_t> mono(sample.Frames());
  for (std::size_t i = 0; i < mono.size(); ++i)
    mono[i] = static_cast<std::int16_t>((sample.pcm[2 * i] + sample.pcm[2 * i + 1]) / 2);
  return mono;
}

}  // namespace audio
