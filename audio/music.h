// TTRVMusic: the music playlist and the spoken jingles. Tracks are the files of music/ whose
// extension is exactly ".mp3"; one plays at a time, and when it ends the next is chosen: the
// same track again, or with one chance in five a random one. Jingles (data/<name>.mp3) play
// over the music, one at a time. Both obey the player's Music switch; without a sound output
// nothing is started and nothing fails.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "audio/mp3player.h"
#include "audio/soundoutput.h"

class TTRVMusic {
 public:
  // `musicOn` reads the player's Music switch; `random` answers in [0, 1) (the program's
  // generator when empty).
  TTRVMusic(TTRVSoundOutput& output, std::filesystem::path programFolder, std::function<bool()> musicOn,
            std::function<double()> random = {});

  // The playable tracks of music/ (names only, sorted); a file that holds no MP3 audio is
  // skipped with a log line.
  std::vector<std::string> MusicFiles;
  void ScanMusic();

  // With music on: nothing while a track plays; after one ended, the same again or (one time
  // in five) a new random one; with none yet, a random track. With music off: the track stops
  // at once. Called at start, by the Music switch and when a track ends.
  void NextMusicTrack();
  // With music on and no jingle playing: data/<name>.mp3 once, when it exists. A jingle asked
  // for while another plays is dropped.
  void PlayJingle(std::string_view name);
  // Main thread: hands the end of a track to NextMusicTrack.
  void Poll();
  void StopAll();

  const TTRVMp3Player* MusicPlayer() const { return music_.get(); }
  const TTRVMp3Player* JinglePlayer() const { return jingle_.get(); }
  // How many tracks were opened from their file so far; a track played again from its start
  // is not a new opening.
  int TrackOpenings() const { return trackOpenings_; }
  float MusicGain = 0.7f;  // the music sits under the effects and the jingles

 private:
  bool MusicOn() const { return musicOn_ && musicOn_(); }
  double Random() const;
  void DropTrack(const TTRVMp3Player& player, const std::string& why);

  TTRVSoundOutput& output_;
  std::filesystem::path folder_;
  std::function<bool()> musicOn_;
  std::function<double()> random_;
  std::unique_ptr<TTRVMp3Player> music_;
  std::unique_ptr<TTRVMp3Player> jingle_;
  int trackOpenings_ = 0;
};
