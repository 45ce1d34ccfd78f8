// Reading WAV files into 16-bit PCM. A player may replace any sample with one written by
// another program, so the reader takes the PCM layouts common tools write: 8-bit unsigned or
// 16-bit signed, mono or stereo, plain or "extensible" format headers, at any rate from 4000
// to 192000 Hz. Everything else (compressed formats, more channels, a chunk running past the
// end, no sound at all) is refused with a message; nothing is assumed about the input.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace audio {

// Interleaved 16-bit samples (left, right for stereo).
struct TSoundSample {
  int rate = 0;
  int channels = 0;
  std::vector<std::int16_t> pcm;

  std::size_t Frames() const { return channels > 0 ? pcm.size() / static_cast<std::size_t>(channels) : 0; }
  double Seconds() const { return rate > 0 ? static_cast<double>(Frames()) / rate : 0.0; }
};

inline constexpr int kMinWavRate = 4000;
inline constexpr int kMaxWavRate = 192000;

// False, with `error` saying why and `sample` left empty, when the bytes are no playable WAV.
bool ReadWav(std::span<const std::uint8_t> bytes, TSoundSample& sample, std::string& error);

// The sample as a 16-bit PCM WAV file (recordings of what the game plays).
std::vector<std::uint8_t> EncodeWav(const TSoundSample& sample);

// The samples averaged to one channel (a positional sound has no sides of its own).
std::vector<std::int16_t> MixToMono(const TSoundSample& sample);

}  // namespace audio
