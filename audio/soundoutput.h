// TTRVSoundOutput: the sound device the game's effects and music play on. Either the
// machine's default device, or OpenAL Soft's loopback device, which hears nothing and mixes
// into memory when asked (tests, and recording what a battle sounds like). When no device can
// be opened the output stays closed and everything above it runs silent: no dialog, no crash.
// Only one output may be open at a time: the sound library has one current context.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TTRVSoundOutput {
 public:
  TTRVSoundOutput() = default;
  ~TTRVSoundOutput() { Close(); }
  TTRVSoundOutput(const TTRVSoundOutput&) = delete;
  TTRVSoundOutput& operator=(const TTRVSoundOutput&) = delete;

  // The default device; false with a log line (and the output closed) when there is none.
  bool OpenDevice();
  // The loopback device, stereo 16-bit at `rate`; false with a log line when unavailable.
  bool OpenLoopback(int rate = 44100);
  void Close();

  bool Ready() const { return context_ != nullptr; }
  bool IsLoopback() const { return loopback_; }
  int Rate() const { return rate_; }
  // Mixes `frames` stereo frames of the loopback device into `out` (left, right, ...).
  // False, `out` empty, on any other output.
  bool Render(std::size_t frames, std::vector<std::int16_t>& out);

 private:
  bool Finish(void* device, const int* attributes);

  void* device_ = nullptr;   // ALCdevice
  void* context_ = nullptr;  // ALCcontext
  bool loopback_ = false;
  int rate_ = 0;
};
