// The music playlist and the jingles.
#include "audio/music.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "audio/mp3info.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/programfiles.h"
#include "platform/random.h"

namespace {

constexpr double kNewTrackChance = 0.2;
// A player's music folder may hold hundreds of megabytes: a track is judged by its head.
constexpr std::size_t kProbeBytes = 256 * 1024;

// Why the file is no MP3 track, or "" when its first frames are MPEG audio.
std::string ProbeTrack(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return "it cannot be read";
  std::vector<std::uint8_t> head(kProbeBytes);
  in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  audio::TMp3Info info;
  std::string error;
  return audio::ReadMp3Info(head, info, error) ? std::string() : error;
}

}  // namespace

TTRVMusic::TTRVMusic(TTRVSoundOutput& output, std::filesystem::path programFolder, std::function<bool()> musicOn,
                     std::function<double()> random)
    : output_(output), folder_(std::move(programFolder)), musicOn_(std::move(musicOn)), random_(std::move(random)) {}

double TTRVMusic::Random() const { return random_ ? random_() : platform::Random().Real(); }

void TTRVMusic::ScanMusic() {
  MusicFiles.clear();
  std::error_code ec;
  const std::filesystem::path dir = platform::ProgramFiles(folder_).MusicFolder();
  std::filesystem::directory_iterator it(dir, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const std::filesystem::path& path = it->path();
    if (path.extension() != ".mp3" || !it->is_regular_file(ec)) continue;
    const std::string why = ProbeTrack(path);
    if (!why.empty()) {
      platform::LogWarning("music", "music/" + path.filename().string() + " is skipped: " + why);
      continue;
    }
    MusicFiles.push_back(path.filename().string());
  }
  std::sort(MusicFiles.begin(), MusicFiles.end());
}

void TTRVMusic::DropTrack(const TTRVMp3Player& player, const std::string& why) {
  const std::string name = player.File().filename().string();
  platform::LogWarning("music", "music/" + name + " is dropped from the playlist: " + why);
  std::erase(MusicFiles, name);
}

void TTRVMusic::NextMusicTrack() {
  if (!MusicOn()) {
    music_.reset();
    return;
  }
  if (!output_.Ready()) return;
  if (music_ && music_->Mode() == TTRVMp3Player::mdPlaying) return;
  if (music_) {
    music_->Stop();
    if (music_->DecodedNothing()) {
      DropTrack(*music_, "no sound could be decoded");
      music_.reset();
    } else if (Random() < kNewTrackChance) {
      music_.reset();
    }
  }
  // A track that will not play is taken off the list and another one tried.
  while (true) {
    if (!music_) {
      if (MusicFiles.empty()) return;
      const auto n = static_cast<double>(MusicFiles.size());
      const auto pick = std::min(MusicFiles.size() - 1, static_cast<std::size_t>(Random() * n));
      music_ = std::make_unique<TTRVMp3Player>(output_, platform::ProgramFiles(folder_).MusicFile(MusicFiles[pick]));
      ++trackOpenings_;
    }
    music_->Gain = MusicGain;
    music_->OnEnd = [this] { NextMusicTrack(); };
    if (music_->Play()) return;
    DropTrack(*music_, music_->Error().empty() ? "it cannot be played" : music_->Error());
    music_.reset();
  }
}

void TTRVMusic::PlayJingle(std::string_view name) {
  if (!MusicOn()) return;
  if (jingle_ && jingle_->Mode() == TTRVMp3Player::mdPlaying) return;
  jingle_.reset();
  if (name.empty() || !output_.Ready()) return;
  const std::filesystem::path file = platform::ProgramFiles(folder_).DataFile(std::string(name) + ".mp3");
  std::error_code ec;
  if (file.empty() || !std::filesystem::is_regular_file(file, ec)) return;
  jingle_ = std::make_unique<TTRVMp3Player>(output_, file);
  if (!jingle_->Play()) {
    platform::LogWarning("music", "data/" + std::string(name) + ".mp3 cannot be played" +
                                      (jingle_->Error().empty() ? "" : ": " + jingle_->Error()));
    jingle_.reset();
  }
}

void TTRVMusic::Poll() {
  if (jingle_) jingle_->Poll();
  if (music_) music_->Poll();
}

void TTRVMusic::StopAll() {
  music_.reset();
  jingle_.reset();
}
