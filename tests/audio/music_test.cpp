// The playlist and the jingles on the loopback device, with the forged jingles as tracks: only
// ".mp3" files are tracks, unplayable ones are skipped, the Music switch stops music at once,
// a jingle asked for while one plays is dropped, and a track that ends is followed by the
// same one or, one time in five, a new one.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "audio/music.h"
#include "platform/log.h"
#include "platform/paths.h"

namespace {

namespace fs = std::filesystem;

fs::path Forged(const std::string& name) { return platform::ProgramFolder().parent_path() / "game" / "data" / name; }

class Music : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(output_.OpenLoopback(44100)) << "the sound library's loopback device is needed";
    folder_ = fs::temp_directory_path() / ("morvane-music-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "data");
    fs::create_directories(folder_ / "music");
    for (const char* jingle : {"GOheli.mp3", "MAbase.mp3"}) fs::copy_file(Forged(jingle), folder_ / "data" / jingle);
  }
  void TearDown() override {
    music_.reset();
    output_.Close();
    fs::remove_all(folder_);
  }
  TTRVMusic& Make() {
    music_ = std::make_unique<TTRVMusic>(output_, folder_, [this] { return on_; }, [this] { return random_; });
    return *music_;
  }
  void AddTrack(const std::string& name, const std::string& forged = "GOheli.mp3") {
    fs::copy_file(Forged(forged), folder_ / "music" / name);
  }
  // Plays the output until `done` holds (the decoding thread feeds it meanwhile); false when
  // five minutes of sound went by without it.
  template <class Done>
  bool PlayUntil(Done done) {
    std::vector<std::int16_t> out;
    for (int i = 0; i < 3000; ++i) {
      if (done()) return true;
      output_.Render(4410, out);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
  }

  TTRVSoundOutput output_;
  fs::path folder_;
  bool on_ = true;
  double random_ = 0.5;
  std::unique_ptr<TTRVMusic> music_;
};

TEST_F(Music, TracksAreTheFilesEndingInLowerCaseMp3ThatHoldAudio) {
  AddTrack("b.mp3");
  AddTrack("a.mp3", "MAbase.mp3");
  AddTrack("SONG.MP3");
  AddTrack("c.mp3.txt");
  std::ofstream(folder_ / "music" / "broken.mp3") << "not music at all";
  std::ofstream(folder_ / "music" / "tiny.mp3") << "TAG";
  fs::create_directories(folder_ / "music" / "folder.mp3");
  int warnings = 0;
  platform::SetLogSink([&](platform::LogLevel level, std::string_view, std::string_view) {
    warnings += level == platform::LogLevel::Warning;
  });
  TTRVMusic& music = Make();
  music.ScanMusic();
  platform::SetLogSink({});
  EXPECT_EQ(music.MusicFiles, (std::vector<std::string>{"a.mp3", "b.mp3"}));
  EXPECT_EQ(warnings, 2) << "broken.mp3 and tiny.mp3 are named in the log";
}

TEST_F(Music, AnEmptyOrMissingMusicFolderStartsNothing) {
  TTRVMusic& music = Make();
  music.ScanMusic();
  music.NextMusicTrack();
  EXPECT_EQ(music.MusicPlayer(), nullptr);
  fs::remove_all(folder_ / "music");
  music.ScanMusic();
  music.NextMusicTrack();
  EXPECT_EQ(music.MusicPlayer(), nullptr);
}

TEST_F(Music, TheMusicSwitchStartsATrackAndStopsItAtOnce) {
  AddTrack("a.mp3");
  TTRVMusic& music = Make();
  music.ScanMusic();
  on_ = false;
  music.NextMusicTrack();
  EXPECT_EQ(music.MusicPlayer(), nullptr);
  on_ = true;
  music.NextMusicTrack();
  ASSERT_NE(music.MusicPlayer(), nullptr);
  EXPECT_EQ(music.MusicPlayer()->Mode(), TTRVMp3Player::mdPlaying);
  const TTRVMp3Player* playing = music.MusicPlayer();
  music.NextMusicTrack();
  EXPECT_EQ(music.MusicPlayer(), playing) << "a playing track goes on";
  on_ = false;
  music.NextMusicTrack();
  EXPECT_EQ(music.MusicPlayer(), nullptr);
}

TEST_F(Music, AnEndedTrackIsFollowedByItselfOrOneTimeInFiveByANewOne) {
  AddTrack("a.mp3");
  TTRVMusic& music = Make();
  music.ScanMusic();
  music.NextMusicTrack();
  ASSERT_NE(music.MusicPlayer(), nullptr);
  // Whether the track was opened anew is told by the count of openings: a player's address
  // says nothing once the old one is freed, as the allocator may hand the same one back.
  struct Case {
    double random;
    bool newOpening;
  };
  for (const Case& c : {Case{0.5, false}, Case{0.19, true}}) {
    SCOPED_TRACE(c.random);
    random_ = c.random;
    const int before = music.TrackOpenings();
    ASSERT_TRUE(PlayUntil([&] { return music.MusicPlayer()->Mode() != TTRVMp3Player::mdPlaying; }));
    music.Poll();
    ASSERT_NE(music.MusicPlayer(), nullptr);
    EXPECT_EQ(music.TrackOpenings(), before + (c.newOpening ? 1 : 0));
    EXPECT_EQ(music.MusicPlayer()->Mode(), TTRVMp3Player::mdPlaying);
    EXPECT_EQ(music.MusicPlayer()->File().filename(), "a.mp3");
  }
}

TEST_F(Music, AJingleAskedForWhileOnePlaysIsDropped) {
  TTRVMusic& music = Make();
  music.PlayJingle("GOheli");
  ASSERT_NE(music.JinglePlayer(), nullptr);
  EXPECT_EQ(music.JinglePlayer()->Mode(), TTRVMp3Player::mdPlaying);
  EXPECT_GT(music.JinglePlayer()->LengthSeconds(), 0);
  music.PlayJingle("MAbase");
  EXPECT_EQ(music.JinglePlayer()->File().filename(), "GOheli.mp3");
  // Once it has ended the next one plays.
  ASSERT_TRUE(PlayUntil([&] { return music.JinglePlayer()->Mode() != TTRVMp3Player::mdPlaying; }));
  music.Poll();
  music.PlayJingle("MAbase");
  ASSERT_NE(music.JinglePlayer(), nullptr);
  EXPECT_EQ(music.JinglePlayer()->File().filename(), "MAbase.mp3");
}

TEST_F(Music, JinglesWithoutTheirFileOrWithMusicOffPlayNothing) {
  TTRVMusic& music = Make();
  for (const char* name : {"GOnothing", "", "../data/GOheli", "GOheli.mp3"}) {
    SCOPED_TRACE(name);
    music.PlayJingle(name);
    EXPECT_EQ(music.JinglePlayer(), nullptr);
  }
  on_ = false;
  music.PlayJingle("GOheli");
  EXPECT_EQ(music.JinglePlayer(), nullptr);
}

TEST_F(Music, ATrackThatCannotBePlayedLeavesThePlaylistForAnother) {
  AddTrack("odd.mp3");
  AddTrack("z.mp3");
  random_ = 0;  // always the first name: "odd.mp3"
  TTRVMusic& music = Make();
  music.ScanMusic();
  ASSERT_EQ(music.MusicFiles.size(), 2u);
  // The player replaced it after the game listed it.
  std::ofstream(folder_ / "music" / "odd.mp3", std::ios::trunc) << "no longer music";
  platform::SetLogSink([](platform::LogLevel, std::string_view, std::string_view) {});
  music.NextMusicTrack();
  platform::SetLogSink({});
  EXPECT_EQ(music.MusicFiles, std::vector<std::string>{"z.mp3"});
  ASSERT_NE(music.MusicPlayer(), nullptr);
  EXPECT_EQ(music.MusicPlayer()->File().filename(), "z.mp3");
  EXPECT_EQ(music.MusicPlayer()->Mode(), TTRVMp3Player::mdPlaying);
}

TEST_F(Music, WithoutADeviceNothingStartsAndNothingFails) {
  AddTrack("a.mp3");
  TTRVSoundOutput closed;
  TTRVMusic music(closed, folder_, [] { return true; });
  music.ScanMusic();
  EXPECT_EQ(music.MusicFiles, std::vector<std::string>{"a.mp3"}) << "the tracks are listed all the same";
  music.NextMusicTrack();
  music.PlayJingle("GOheli");
  music.Poll();
  EXPECT_EQ(music.MusicPlayer(), nullptr);
  EXPECT_EQ(music.JinglePlayer(), nullptr);
  TTRVMp3Player player(closed, folder_ / "data" / "GOheli.mp3");
  EXPECT_TRUE(player.Valid());
  EXPECT_FALSE(player.Play());
  EXPECT_EQ(player.Mode(), TTRVMp3Player::mdOther);
}

}  // namespace
