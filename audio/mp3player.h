// TTRVMp3Player: one MP3 file played once on the sound output, for the music and the jingles.
// Creating it reads the file's tag and length; playing decodes and streams it on a thread of
// its own, so it plays on while the main thread loads a world or generates an island. The
// thread only feeds the sound library; the end of the track reaches the main thread when it
// calls Poll, which then runs the end handler there.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/mp3info.h"
#include "audio/soundoutput.h"

class TTRVMp3Player {
 public:
  // The player's state as the game asks for it.
  enum TMode : int { mdNotReady = 0, mdStopped = 1, mdPlaying = 2, mdOther = 7 };

  // Reads the file's tag and length; an unreadable or unplayable file makes an invalid player
  // (Error says why) that never plays.
  TTRVMp3Player(TTRVSoundOutput& output, std::filesystem::path file);
  ~TTRVMp3Player();
  TTRVMp3Player(const TTRVMp3Player&) = delete;
  TTRVMp3Player& operator=(const TTRVMp3Player&) = delete;

  bool Valid() const { return valid_; }
  const std::string& Error() const { return error_; }
  const std::filesystem::path& File() const { return file_; }
  const audio::TMp3Info& Info() const { return info_; }
  int LengthSeconds() const { return info_.LengthSeconds(); }

  // Starts from the beginning (stopping first when playing). False when there is no output
  // or the file cannot be decoded.
  bool Play();
  void Stop();
  // mdPlaying from Play until the end or Stop; mdStopped after; mdOther without an output.
  TMode Mode() const;
  // True when the last play ended having decoded no sound at all.
  bool DecodedNothing() const { return decodedNothing_; }

  float Gain = 1.0f;
  // Called from Poll, on the caller's thread, when the track played to its end. It may free
  // the player.
  std::function<void()> OnEnd;
  // Main thread: when the track has ended, closes it and calls OnEnd. True when it ended.
  bool Poll();

 private:
  void Stream(std::vector<std::uint8_t> bytes);

  TTRVSoundOutput& output_;
  std::filesystem::path file_;
  audio::TMp3Info info_;
  std::string error_;
  bool valid_ = false;

  unsigned source_ = 0;
  std::vector<unsigned> buffers_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;                // guarded by mutex_
  std::atomic<bool> playing_{false};
  std::atomic<bool> ended_{false};
  std::atomic<bool> decodedNothing_{false};
};
