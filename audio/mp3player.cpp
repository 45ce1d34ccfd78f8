// The MP3 player: a streamed OpenAL source fed by a decoding thread.
#include "audio/mp3player.h"

#include <AL/al.h>

#include <chrono>

#include "audio/mp3decoder.h"
#include "platform/filebytes.h"
#include "platform/log.h"

namespace {

constexpr std::uintmax_t kMaxMp3Bytes = 256u << 20;
constexpr int kBufferCount = 4;
constexpr int kBufferDivisor = 5;  // each buffer holds a fifth of a second
constexpr auto kPollInterval = std::chrono::milliseconds(20);

bool ReadFile(const std::filesystem::path& file, std::vector<std::uint8_t>& bytes, std::string& error) {
  switch (platform::ReadFileBytes(file, kMaxMp3Bytes, bytes)) {
    case platform::ReadFileResult::Ok:
      return true;
    case platform::ReadFileResult::Missing:
      error = "it is missing";
      return false;
    case platform::ReadFileResult::TooLarge:
      error = "it is too large";
      return false;
    default:
      error = "it cannot be read";
      return false;
  }
}

}  // namespace

TTRVMp3Player::TTRVMp3Player(TTRVSoundOutput& output, std::filesystem::path file)
    : output_(output), file_(std::move(file)) {
  std::vector<std::uint8_t> bytes;
  valid_ = ReadFile(file_, bytes, error_) && audio::ReadMp3Info(bytes, info_, error_);
}

TTRVMp3Player::~TTRVMp3Player() { Stop(); }

bool TTRVMp3Player::Play() {
  Stop();
  if (!valid_ || !output_.Ready()) return false;
  std::vector<std::uint8_t> bytes;
  if (!ReadFile(file_, bytes, error_)) {
    platform::LogWarning("music", file_.filename().string() + " cannot be played: " + error_);
    return false;
  }
  alGenSources(1, &source_);
  buffers_.assign(kBufferCount, 0);
  alGenBuffers(kBufferCount, buffers_.data());
  // Music is heard from inside the head: no position, no distance.
  alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
  alSource3f(source_, AL_POSITION, 0, 0, 0);
  alSourcef(source_, AL_ROLLOFF_FACTOR, 0);
  alSourcef(source_, AL_GAIN, Gain);
  stop_ = false;
  ended_ = false;
  decodedNothing_ = false;
  playing_ = true;
  thread_ = std::thread(&TTRVMp3Player::Stream, this, std::move(bytes));
  return true;
}

void TTRVMp3Player::Stream(std::vector<std::uint8_t> bytes) {
  audio::TMp3Decoder decoder;
  std::string error;
  if (!decoder.Open(std::move(bytes), error)) {
    platform::LogWarning("music", file_.filename().string() + " cannot be played: " + error);
    decodedNothing_ = true;
    ended_ = true;
    return;
  }
  const ALenum format = decoder.Channels() == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
  const std::size_t frames = static_cast<std::size_t>(decoder.Rate() / kBufferDivisor);
  std::vector<std::int16_t> pcm(frames * static_cast<std::size_t>(decoder.Channels()));
  std::size_t decodedTotal = 0;
  // Decodes into `buffer` and queues it; false when the track has no more sound.
  const auto fill = [&](ALuint buffer) {
    const std::size_t got = decoder.Read(pcm.data(), frames);
    if (got == 0) return false;
    decodedTotal += got;
    alBufferData(buffer, format, pcm.data(),
                 static_cast<ALsizei>(got * static_cast<std::size_t>(decoder.Channels()) * sizeof(std::int16_t)),
                 decoder.Rate());
    alSourceQueueBuffers(source_, 1, &buffer);
    return true;
  };
  bool more = true;
  for (ALuint buffer : buffers_)
    if (more) more = fill(buffer);
  alSourcePlay(source_);
  std::unique_lock lock(mutex_);
  while (!stop_) {
    wake_.wait_for(lock, kPollInterval);
    if (stop_) break;
    ALint processed = 0;
    alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0) {
      ALuint buffer = 0;
      alSourceUnqueueBuffers(source_, 1, &buffer);
      if (more) more = fill(buffer);
    }
    ALint state = AL_STOPPED, queued = 0;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    alGetSourcei(source_, AL_BUFFERS_QUEUED, &queued);
    if (state == AL_PLAYING) continue;
    if (queued > 0) {
      alSourcePlay(source_);  // ran dry while the machine was busy: go on where it stopped
      continue;
    }
    break;  // the end of the track
  }
  decodedNothing_ = decodedTotal == 0;
  ended_ = !stop_;
}

void TTRVMp3Player::Stop() {
  if (thread_.joinable()) {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  if (source_ != 0 && output_.Ready()) {
    alSourceStop(source_);
    alSourcei(source_, AL_BUFFER, 0);
    alDeleteSources(1, &source_);
    alDeleteBuffers(static_cast<ALsizei>(buffers_.size()), buffers_.data());
  }
  source_ = 0;
  buffers_.clear();
  playing_ = false;
}

TTRVMp3Player::TMode TTRVMp3Player::Mode() const {
  if (!output_.Ready()) return mdOther;
  return playing_ && !ended_ ? mdPlaying : mdStopped;
}

bool TTRVMp3Player::Poll() {
  if (!playing_ || !ended_) return false;
  // The handler may free this player: nothing of it is touched after the call.
  std::function<void()> handler = OnEnd;
  Stop();
  ended_ = false;
  if (handler) handler();
  return true;
}
