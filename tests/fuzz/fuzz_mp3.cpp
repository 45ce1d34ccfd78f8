// Fuzz target for the MP3 readers: the frame scanner and tag reader must answer or refuse any
// bytes without reading past them, and the decoder must open or refuse them and then come to
// an end.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "audio/mp3decoder.h"
#include "audio/mp3info.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  audio::TMp3Info info;
  std::string error;
  if (audio::ReadMp3Info(bytes, info, error)) {
    if (info.frames <= 0 || info.milliseconds < 0 || info.sampleRate < 8000 || info.sampleRate > 48000) __builtin_trap();
    const bool tagged = size >= 128 && std::memcmp(data + size - 128, "TAG", 3) == 0;
    if (info.hasTag != tagged || (tagged && std::memcmp(info.tag.data(), data + size - 128, 128) != 0)) __builtin_trap();
  } else if (error.empty()) {
    __builtin_trap();
  }
  audio::TMp3Decoder decoder;
  if (!decoder.Open(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), error)) return 0;
  std::vector<std::int16_t> block(2 * 1152);
  // However long the input, the decoder ends: a frame is at least a few bytes.
  std::size_t total = 0;
  while (std::size_t got = decoder.Read(block.data(), 1152)) {
    total += got;
    if (total > 1152 * (size + 1)) __builtin_trap();
  }
  return 0;
}
