// TMp3Decoder: MP3 bytes in memory to 16-bit PCM through libmpg123, a block at a time, so the
// music thread can decode a track as it plays. A file the library cannot make sense of fails
// to open or ends early; it never stops the game.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace audio {

class TMp3Decoder {
 public:
  TMp3Decoder() = default;
  ~TMp3Decoder();
  TMp3Decoder(const TMp3Decoder&) = delete;
  TMp3Decoder& operator=(const TMp3Decoder&) = delete;

  // Takes the file's bytes and decodes until the output format is known.
  bool Open(std::vector<std::uint8_t> bytes, std::string& error);
  int Rate() const { return rate_; }
  int Channels() const { return channels_; }
  // Up to `frames` interleaved frames into `out`; 0 at the end of the track or when the rest
  // cannot be decoded (or would change the channel count).
  std::size_t Read(std::int16_t* out, std::size_t frames);

 private:
  bool FeedMore();

  void* handle_ = nullptr;  // mpg123_handle
  std::vector<std::uint8_t> bytes_;
  std::size_t fed_ = 0;
  int rate_ = 0, channels_ = 0;
  bool ended_ = false;
};

}  // namespace audio
