// Fuzz target for the WAV reader: any bytes must read or be refused, never crash or read past
// the end; what reads is whole frames at a playable rate, and mixes to one sample a frame.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "audio/wavfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  audio::TSoundSample sample;
  std::string error;
  if (!audio::ReadWav(std::span<const std::uint8_t>(data, size), sample, error)) {
    if (error.empty() || !sample.pcm.empty()) __builtin_trap();
    return 0;
  }
  if (sample.channels != 1 && sample.channels != 2) __builtin_trap();
  if (sample.rate < audio::kMinWavRate || sample.rate > audio::kMaxWavRate) __builtin_trap();
  if (sample.pcm.empty() || sample.pcm.size() % static_cast<std::size_t>(sample.channels) != 0) __builtin_trap();
  if (audio::MixToMono(sample).size() != sample.Frames()) __builtin_trap();
  return 0;
}
