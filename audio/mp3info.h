// What the game reads from an MP3 file before playing it: the ID3 version 1 tag of its last
// 128 bytes and its length, counted over its MPEG audio frames (so variable bit rates are
// timed right). A leading ID3 version 2 tag is skipped. A file with no audio frame (too short,
// damaged, not an MP3 at all) is refused with a message, so a player's music folder never
// holds a track that cannot be played.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace audio {

struct TMp3Info {
  // The file's last 128 bytes when they begin with "TAG", else "TAG" followed by zeros.
  std::array<std::uint8_t, 128> tag{'T', 'A', 'G'};
  bool hasTag = false;
  std::int64_t frames = 0;
  std::int64_t milliseconds = 0;
  int sampleRate = 0;  // of the first frame
  int channels = 0;    // of the first frame

  // Whole seconds, as the player reports the length.
  int LengthSeconds() const { return static_cast<int>(milliseconds / 1000); }
  // The tag's fields with their padding (zeros, blanks) removed.
  std::string Title() const { return Field(3, 30); }
  std::string Artist() const { return Field(33, 30); }
  std::string Album() const { return Field(63, 30); }
  std::string Year() const { return Field(93, 4); }

 private:
  std::string Field(std::size_t at, std::size_t size) const;
};

// False, with `error` saying why, when the bytes hold no MPEG audio frame.
bool ReadMp3Info(std::span<const std::uint8_t> bytes, TMp3Info& info, std::string& error);

}  // namespace audio
