// The engine's sound as one piece.
#include "audio/audio.h"

TTRVAudio::TTRVAudio(std::filesystem::path programFolder, std::function<bool()> musicOn, std::function<float()> volume)
    : Effects(Output), Music(Output, programFolder, std::move(musicOn)), folder_(std::move(programFolder)) {
  Effects.VolumeFactor = std::move(volume);
}

TTRVAudio::~TTRVAudio() {
  Music.StopAll();
  Effects.Detach();
  Output.Close();
}

void TTRVAudio::Start() {
  Output.OpenDevice();
  Effects.Attach();
  Effects.LoadSounds(folder_);
  Music.ScanMusic();
}

bool TTRVAudio::UseLoopback(int rate) {
  Music.StopAll();
  Effects.Detach();
  const bool ok = Output.OpenLoopback(rate);
  Effects.Attach();
  return ok;
}

void TTRVAudio::Poll(bool gameClockRunning) {
  Music.Poll();
  Effects.SetPaused(!gameClockRunning);
}
