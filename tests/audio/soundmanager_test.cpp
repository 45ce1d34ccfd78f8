// The positional effects, heard through the loopback device: a source to the listener's left
// is louder on the left, sounds start within 30 units only, the player's volume 0 starts
// nothing, pooled sounds take the pool's nodes in turn, the farthest voice gives way, and an
// engine's loop follows the frequency its unit asks for.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "audio/soundmanager.h"
#include "platform/log.h"
#include "scene/scene.h"

namespace {

constexpr int kOutputRate = 44100;
// The mixer dithers its 16-bit output: silence measures a level of about one step.
constexpr double kSilence = 3, kHeard = 20;

// A sine of `hertz` at `rate` for `seconds`, mono.
audio::TSoundSample Tone(double hertz, int rate = 22050, double seconds = 1.0) {
  audio::TSoundSample s{rate, 1, {}};
  const auto n = static_cast<std::size_t>(seconds * rate);
  s.pcm.resize(n);
  for (std::size_t i = 0; i < n; ++i)
    s.pcm[i] = static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * hertz * static_cast<double>(i) / rate));
  return s;
}

struct Levels {
  double left = 0, right = 0;
};

Levels Rms(const std::vector<std::int16_t>& stereo) {
  Levels l;
  const std::size_t frames = stereo.size() / 2;
  for (std::size_t i = 0; i < frames; ++i) {
    l.left += double(stereo[2 * i]) * stereo[2 * i];
    l.right += double(stereo[2 * i + 1]) * stereo[2 * i + 1];
  }
  if (frames > 0) {
    l.left = std::sqrt(l.left / static_cast<double>(frames));
    l.right = std::sqrt(l.right / static_cast<double>(frames));
  }
  return l;
}

// The pitch of the left channel from its upward zero crossings.
double Pitch(const std::vector<std::int16_t>& stereo, int rate) {
  int crossings = 0;
  for (std::size_t i = 2; i < stereo.size(); i += 2)
    if (stereo[i - 2] < 0 && stereo[i] >= 0) ++crossings;
  return crossings * static_cast<double>(rate) / static_cast<double>(stereo.size() / 2);
}

class SoundManager : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(output_.OpenLoopback(kOutputRate)) << "the sound library's loopback device is needed";
    listener_ = scene_.Objects().AddNewChild<TGLDummyCube>();
    pool_ = scene_.Objects().AddNewChild<TGLDummyCube>();
    for (int i = 0; i < TTRVSoundManager::kPoolSize; ++i) pool_->AddNewChild<TGLDummyCube>();
    manager_.Listener = listener_;
    manager_.Pool = pool_;
    manager_.VolumeFactor = [this] { return volume_; };
    manager_.Attach();
    manager_.AddSample("tone", Tone(441));
    manager_.AddSample("low", Tone(220));
  }
  void TearDown() override {
    scene_.DeleteAllObjects();
    manager_.Detach();
    output_.Close();
  }

  TGLDummyCube* At(float x, float y, float z) {
    auto* node = scene_.Objects().AddNewChild<TGLDummyCube>();
    node->Position.SetPoint(x, y, z);
    return node;
  }
  // The level once a change has settled (the mixer ramps gains over a few samples).
  Levels Settled(double seconds = 0.1) {
    Render(0.02);
    return Rms(Render(seconds));
  }
  std::vector<std::int16_t> Render(double seconds) {
    std::vector<std::int16_t> out;
    output_.Render(static_cast<std::size_t>(seconds * kOutputRate), out);
    return out;
  }

  TTRVSoundOutput output_;
  TGLScene scene_;
  TGLDummyCube* listener_ = nullptr;
  TGLDummyCube* pool_ = nullptr;
  float volume_ = 0.8f;
  TTRVSoundManager manager_{output_};
};

TEST_F(SoundManager, ASourceOnTheListenersLeftIsLouderOnTheLeft) {
  // The screen's right is the view's direction crossed with its up; the listener's ears are
  // the camera's, whichever way it faces.
  for (float turn : {0.0f, 90.0f, 200.0f}) {
    for (int side : {-1, 1}) {
      SCOPED_TRACE("turned " + std::to_string(turn) + (side < 0 ? ", source on the left" : ", source on the right"));
      listener_->ResetRotations();
      listener_->Turn(turn);
      const TAffineVector right =
          VectorCrossProduct(TAffineVector(listener_->AbsoluteDirection()), TAffineVector(listener_->AbsoluteUp()));
      const TAffineVector at = right * (5.0f * side);
      TGLDummyCube* source = At(at.x, at.y, at.z);
      manager_.PlaySound("tone", source, {}, 2, 1);
      manager_.Update();
      const Levels l = Rms(Render(0.2));
      if (side < 0) EXPECT_GT(l.left, 1.5 * l.right);
      else EXPECT_GT(l.right, 1.5 * l.left);
      source->Free();
    }
  }
}

TEST_F(SoundManager, SoundsStartWithin30UnitsOfTheListenerOnly) {
  struct Case {
    float distance;
    bool plays;
  };
  for (const Case& c : {Case{0, true}, Case{29.9f, true}, Case{30, true}, Case{30.5f, false}, Case{100, false}}) {
    SCOPED_TRACE(c.distance);
    manager_.PlaySound("tone", nullptr, {0, 0, c.distance}, 1, 1);
    manager_.Update();
    EXPECT_EQ(manager_.BusyVoices(), c.plays ? 1 : 0);
    const Levels l = Settled();
    EXPECT_EQ(l.left > kHeard, c.plays) << l.left;
    manager_.StopAll();
  }
}

TEST_F(SoundManager, APlayingSoundBeyond50UnitsIsMutedAndComesBack) {
  TGLDummyCube* source = At(0, 0, 10);
  manager_.PlaySound("tone", source, {}, 2, 1);
  manager_.Update();
  EXPECT_GT(Rms(Render(0.1)).left, kHeard);
  source->Position.SetPoint(0, 0, 51);
  manager_.Update();
  EXPECT_LT(Settled().left, kSilence);
  source->Position.SetPoint(0, 0, 40);
  manager_.Update();
  EXPECT_GT(Rms(Render(0.1)).left, kHeard);
  EXPECT_EQ(manager_.BusyVoices(), 1);
}

TEST_F(SoundManager, TheSoundVolumeScalesEverySoundAndZeroStartsNothing) {
  volume_ = 0;
  TGLDummyCube* source = At(0, 0, 2);
  manager_.PlaySound("tone", source, {}, 1, 1);
  manager_.PlaySound("tone", nullptr, {0, 0, 2}, 1, 1);
  manager_.Update();
  EXPECT_EQ(TTRVSoundManager::EmitterOf(*source), nullptr);
  EXPECT_EQ(manager_.PoolCounter(), 0) << "the pool did not move on";
  EXPECT_EQ(manager_.BusyVoices(), 0);

  volume_ = 0.5f;
  manager_.PlaySound("tone", source, {}, 1, 0.8f);
  ASSERT_NE(TTRVSoundManager::EmitterOf(*source), nullptr);
  EXPECT_FLOAT_EQ(TTRVSoundManager::EmitterOf(*source)->Volume, 0.4f);
  manager_.Update();
  const double half = Rms(Render(0.2)).left;
  volume_ = 1;
  manager_.PlaySound("tone", source, {}, 1, 0.8f);
  manager_.Update();
  EXPECT_NEAR(Rms(Render(0.2)).left / half, 2.0, 0.1);
}

TEST_F(SoundManager, PooledSoundsTakeNodes1To100Then0AndMoveThemThere) {
  std::vector<int> order;
  for (int i = 0; i < 103; ++i) {
    const float x = static_cast<float>(i % 20);
    manager_.PlaySound(i < 101 ? "tone" : "low", nullptr, {x, 0, 1}, 1, 1);
    order.push_back(manager_.PoolCounter());
    TGLBaseSceneObject* node = pool_->Children(order.back());
    EXPECT_FLOAT_EQ(node->AbsoluteAffinePosition().x, x);
    ASSERT_NE(TTRVSoundManager::EmitterOf(*node), nullptr);
    EXPECT_EQ(TTRVSoundManager::EmitterOf(*node)->SoundName, i < 101 ? "tone" : "low");
  }
  EXPECT_EQ(order[0], 1);
  EXPECT_EQ(order[99], 100);
  EXPECT_EQ(order[100], 0);
  EXPECT_EQ(order[101], 1);
  EXPECT_EQ(order[102], 2);
  // A node keeps one emitter, given each new sample.
  EXPECT_EQ(pool_->Children(1)->Behaviours.size(), 1u);
}

TEST_F(SoundManager, WhenEveryVoiceIsBusyTheFarthestGivesWay) {
  std::vector<TGLDummyCube*> sources;
  for (int i = 0; i < TTRVSoundManager::kMaxChannels; ++i) {
    sources.push_back(At(0, 0, 1 + 0.5f * static_cast<float>(i)));  // 1 to 16.5 units
    manager_.PlaySound("tone", sources.back(), {}, 2, 1);
  }
  manager_.Update();
  EXPECT_EQ(manager_.BusyVoices(), TTRVSoundManager::kMaxChannels);

  TGLDummyCube* nearer = At(2, 0, 0);
  manager_.PlaySound("low", nearer, {}, 2, 1);
  manager_.Update();
  EXPECT_TRUE(TTRVSoundManager::EmitterOf(*nearer)->Playing());
  EXPECT_FALSE(TTRVSoundManager::EmitterOf(*sources.back())->Playing()) << "the one 16.5 units out stops";
  for (std::size_t i = 0; i + 1 < sources.size(); ++i) EXPECT_TRUE(TTRVSoundManager::EmitterOf(*sources[i])->Playing());

  // A sound farther than every playing one is the one not heard.
  TGLDummyCube* farther = At(0, 0, 25);
  manager_.PlaySound("low", farther, {}, 1, 1);
  manager_.Update();
  EXPECT_FALSE(TTRVSoundManager::EmitterOf(*farther)->Playing());
  EXPECT_EQ(manager_.BusyVoices(), TTRVSoundManager::kMaxChannels);
}

TEST_F(SoundManager, AnEngineLoopFollowsItsFrequencyInHertz) {
  TGLDummyCube* engine = At(0, 0, 3);
  EXPECT_FALSE(manager_.SetFrequency(*engine, 22050)) << "no sound on it yet";
  manager_.PlaySound("tone", engine, {}, 100000, 0.5f);
  ASSERT_TRUE(manager_.SetFrequency(*engine, 22050));  // the sample's own rate: 441 Hz
  manager_.Update();
  Render(0.05);
  EXPECT_NEAR(Pitch(Render(0.5), kOutputRate), 441, 10);
  ASSERT_TRUE(manager_.SetFrequency(*engine, 33075));
  manager_.Update();
  Render(0.05);
  EXPECT_NEAR(Pitch(Render(0.5), kOutputRate), 661.5, 12);
  // It loops: seconds later it still plays.
  Render(3);
  manager_.Update();
  EXPECT_TRUE(TTRVSoundManager::EmitterOf(*engine)->Playing());
  EXPECT_GT(Rms(Render(0.1)).left, kHeard);
}

TEST_F(SoundManager, AOneShotEndsAndFreesItsVoice) {
  manager_.AddSample("blip", Tone(441, 22050, 0.1));
  manager_.PlaySound("blip", nullptr, {0, 0, 1}, 1, 1);
  manager_.Update();
  EXPECT_EQ(manager_.BusyVoices(), 1);
  Render(0.2);
  manager_.Update();
  EXPECT_EQ(manager_.BusyVoices(), 0);
  EXPECT_FALSE(TTRVSoundManager::EmitterOf(*pool_->Children(1))->Playing());
}

TEST_F(SoundManager, SilencedOrFreedObjectsStopTheirSound) {
  TGLDummyCube* a = At(0, 0, 2);
  TGLDummyCube* b = At(0, 0, 3);
  manager_.PlaySound("tone", a, {}, 2, 1);
  manager_.PlaySound("tone", b, {}, 2, 1);
  manager_.Update();
  EXPECT_EQ(manager_.BusyVoices(), 2);
  manager_.Silence(*a);
  EXPECT_EQ(TTRVSoundManager::EmitterOf(*a), nullptr);
  b->Free();
  manager_.Update();
  EXPECT_EQ(manager_.BusyVoices(), 0);
  EXPECT_LT(Settled().left, kSilence);
}

TEST_F(SoundManager, PausedEffectsHoldAndGoOn) {
  manager_.AddSample("blip", Tone(441, 22050, 0.3));
  manager_.PlaySound("blip", nullptr, {0, 0, 1}, 1, 1);
  manager_.Update();
  manager_.SetPaused(true);
  EXPECT_LT(Settled(0.5).left, kSilence);
  manager_.Update();  // a paused frame ends nothing
  manager_.SetPaused(false);
  EXPECT_GT(Rms(Render(0.1)).left, kHeard);
  EXPECT_EQ(manager_.BusyVoices(), 1);
}

TEST_F(SoundManager, AnUnknownSampleIsReportedOnceAndPlaysNothing) {
  std::vector<std::string> lines;
  platform::SetLogSink([&](platform::LogLevel, std::string_view, std::string_view text) { lines.emplace_back(text); });
  for (int i = 0; i < 3; ++i) {
    manager_.PlaySound("nosuch", nullptr, {0, 0, 1}, 1, 1);
    manager_.Update();
  }
  platform::SetLogSink({});
  EXPECT_EQ(manager_.BusyVoices(), 0);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("nosuch"), std::string::npos);
}

TEST(SoundManagerWithoutDevice, KeepsItsBooksAndPlaysNothing) {
  TTRVSoundOutput closed;
  TGLScene scene;
  TGLDummyCube* pool = scene.Objects().AddNewChild<TGLDummyCube>();
  for (int i = 0; i < TTRVSoundManager::kPoolSize; ++i) pool->AddNewChild<TGLDummyCube>();
  TGLDummyCube* engine = scene.Objects().AddNewChild<TGLDummyCube>();
  TTRVSoundManager manager(closed);
  manager.Pool = pool;
  manager.Attach();
  manager.AddSample("tone", Tone(441));
  manager.PlaySound("tone", nullptr, {1, 0, 0}, 1, 1);
  manager.PlaySound("tone", engine, {}, 100000, 0.5f);
  manager.Update();
  manager.SetPaused(true);
  manager.SetPaused(false);
  EXPECT_EQ(manager.PoolCounter(), 1);
  EXPECT_EQ(manager.BusyVoices(), 0);
  EXPECT_FALSE(manager.SetFrequency(*engine, 20000));
  std::vector<std::int16_t> out;
  EXPECT_FALSE(closed.Render(100, out));
}

TEST(SoundList, PlayableSamplesAreLoadedAndTheRestSkippedWithALogLine) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("morvane-soundlist-" + std::to_string(::getpid()));
  fs::create_directories(folder / "data");
  const auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(folder / "data" / name, std::ios::binary) << bytes;
  };
  // A 16-bit mono WAV of two samples.
  const std::string good("RIFF\x28\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x22\x56\0\0\x44\xAC\0\0\x02\0\x10\0data\x04\0\0\0\x01\0\x02\0", 48);
  write("Sounds.txt", "good\r\nshort\n\ngarbage\nmissing\n../good\ncut\n");
  write("good.wav", good);
  write("short.wav", "RIFF");
  write("garbage.wav", std::string(4000, 'x'));
  write("cut.wav", good.substr(0, 46));
  std::vector<std::string> warnings;
  platform::SetLogSink([&](platform::LogLevel level, std::string_view, std::string_view text) {
    if (level == platform::LogLevel::Warning) warnings.emplace_back(text);
  });
  TTRVSoundOutput closed;
  TTRVSoundManager manager(closed);
  const int loaded = manager.LoadSounds(folder);
  platform::SetLogSink({});
  EXPECT_EQ(loaded, 1);
  EXPECT_TRUE(manager.HasSample("good"));
  EXPECT_EQ(manager.SampleCount(), 1);
  // short, garbage, cut and the path that leaves data/; a listed file that is missing is no fault.
  EXPECT_EQ(warnings.size(), 4u);
  fs::remove_all(folder);
}

}  // namespace
