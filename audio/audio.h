// TTRVAudio: everything the engine hears through: the sound output, the positional effects
// with their sample library, and the music and jingle players. It opens the machine's sound
// device when started; without one the game runs silent. A recording moves it all to the
// loopback device.
#pragma once

#include <filesystem>
#include <functional>

#include "audio/music.h"
#include "audio/soundmanager.h"
#include "audio/soundoutput.h"

class TTRVAudio {
 public:
  // `musicOn` and `volume` read the player's Music switch and sound volume factor (0 to 1).
  TTRVAudio(std::filesystem::path programFolder, std::function<bool()> musicOn, std::function<float()> volume);
  ~TTRVAudio();
  TTRVAudio(const TTRVAudio&) = delete;
  TTRVAudio& operator=(const TTRVAudio&) = delete;

  // Opens the default device (or none), loads data/Sounds.txt's samples and lists the music.
  void Start();
  // Moves the effects to the loopback device at `rate`, stopping the music; false when the
  // loopback device cannot be had (the output is then closed).
  bool UseLoopback(int rate = 44100);
  // Main thread, every pass of the loop: ended tracks move on, and the effects hold while
  // the game's clock stands.
  void Poll(bool gameClockRunning);

  // Declared in this order: what plays on the output goes before it.
  TTRVSoundOutput Output;
  TTRVSoundManager Effects;
  TTRVMusic Music;

 private:
  std::filesystem::path folder_;
};
