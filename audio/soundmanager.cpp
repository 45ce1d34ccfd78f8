// The sound manager over OpenAL Soft. The scene's axes are OpenAL's (right-handed, Y up,
// a listener's right is its direction crossed with its up), so positions pass unchanged.
#include "audio/soundmanager.h"

#include <AL/al.h>

#include <algorithm>

#include "platform/filebytes.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/programfiles.h"

namespace {

constexpr std::uintmax_t kMaxListBytes = 1 << 20;
constexpr std::uintmax_t kMaxWavBytes = 64u << 20;
constexpr float kMinPitch = 0.01f, kMaxPitch = 10.0f;

TAffineVector PositionOf(const TGLBaseSceneObject* object) {
  return object ? object->AbsoluteAffinePosition() : TAffineVector(0);
}

}  // namespace

TTRVSoundEmitter::~TTRVSoundEmitter() {
  if (manager_) manager_->Forget(*this);
}

TTRVSoundManager::TTRVSoundManager(TTRVSoundOutput& output) : output_(output) {}

TTRVSoundManager::~TTRVSoundManager() {
  Detach();
  for (TTRVSoundEmitter* e : emitters_) e->manager_ = nullptr;
}

float TTRVSoundManager::Factor() const { return VolumeFactor ? VolumeFactor() : 1.0f; }

TTRVSoundEmitter* TTRVSoundManager::EmitterOf(const TGLBaseSceneObject& object) {
  for (const auto& b : object.Behaviours)
    if (auto* e = dynamic_cast<TTRVSoundEmitter*>(b.get())) return e;
  return nullptr;
}

void TTRVSoundManager::AddSample(const std::string& name, const audio::TSoundSample& pcm) {
  Sample& sample = samples_[name];
  if (sample.buffer != 0) alDeleteBuffers(1, &sample.buffer);
  sample = {pcm, 0};
  if (!Live()) return;
  const std::vector<std::int16_t> mono = audio::MixToMono(pcm);
  alGenBuffers(1, &sample.buffer);
  alBufferData(sample.buffer, AL_FORMAT_MONO16, mono.data(), static_cast<ALsizei>(mono.size() * sizeof(std::int16_t)),
               pcm.rate);
}

int TTRVSoundManager::LoadSounds(const std::filesystem::path& folder) {
  std::vector<std::uint8_t> list;
  const platform::ReadFileResult listed = platform::ReadFileBytes(platform::ProgramFiles(folder).DataFile("Sounds.txt"), kMaxListBytes, list);
  if (listed != platform::ReadFileResult::Ok) {
    // No list is a game without effects; a list that is there but unreadable is worth a warning.
    platform::Log(listed == platform::ReadFileResult::Missing ? platform::LogLevel::Info : platform::LogLevel::Warning,
                  "sound", "data/Sounds.txt cannot be read; no sound effects");
    return 0;
  }
  int loaded = 0;
  std::string text(list.begin(), list.end());
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string name = text.substr(at, end - at);
    at = end + 1;
    while (!name.empty() && (name.back() == '\r' || name.back() == ' ' || name.back() == '\t')) name.pop_back();
    if (name.empty()) continue;
    // A name from the list names a file in data/ and nothing outside it.
    const std::filesystem::path file = platform::InsideFolder(platform::ProgramFiles(folder).DataFolder(), name + ".wav");
    if (file.empty()) {
      platform::LogWarning("sound", "data/Sounds.txt: \"" + name + "\" is not a sample name; skipped");
      continue;
    }
    std::vector<std::uint8_t> bytes;
    const platform::ReadFileResult read = platform::ReadFileBytes(file, kMaxWavBytes, bytes);
    if (read == platform::ReadFileResult::Missing) continue;  // a listed sample may be left out
    audio::TSoundSample sample;
    std::string error = read == platform::ReadFileResult::TooLarge ? "it is too large" : "it cannot be read";
    if (read != platform::ReadFileResult::Ok || !audio::ReadWav(bytes, sample, error)) {
      platform::LogWarning("sound", "data/" + name + ".wav is skipped: " + error);
      continue;
    }
    AddSample(name, sample);
    ++loaded;
  }
  return loaded;
}

void TTRVSoundManager::Attach() {
  Detach();
  if (!output_.Ready()) return;
  attached_ = true;
  voices_.resize(kMaxChannels);
  for (Voice& v : voices_) {
    alGenSources(1, &v.source);
    alSourcef(v.source, AL_ROLLOFF_FACTOR, 1.0f);
  }
  for (auto& [name, sample] : samples_) AddSample(name, audio::TSoundSample(sample.pcm));
  if (alGetError() != AL_NO_ERROR) platform::LogWarning("sound", "setting up the voices failed");
}

void TTRVSoundManager::Detach() {
  StopAll();
  if (!attached_) return;
  if (output_.Ready()) {
    for (Voice& v : voices_) alDeleteSources(1, &v.source);
    for (auto& [name, sample] : samples_)
      if (sample.buffer != 0) alDeleteBuffers(1, &sample.buffer);
  }
  for (auto& [name, sample] : samples_) sample.buffer = 0;
  voices_.clear();
  attached_ = false;
}

void TTRVSoundManager::PlaySound(std::string_view name, TGLBaseSceneObject* object, const TAffineVector& position,
                                 int loops, float volume) {
  const float factor = Factor();
  if (factor <= 0) return;
  const TAffineVector point = object ? object->AbsoluteAffinePosition() : position;
  if (Listener && VectorLength(point - PositionOf(Listener)) > kHearingDistance) return;
  TGLBaseSceneObject* target = object;
  if (!target) {
    const int pooled = Pool ? std::min(kPoolSize, Pool->Count()) : 0;
    if (pooled == 0) return;
    poolCounter_ = (poolCounter_ + 1) % pooled;
    target = Pool->Children(poolCounter_);
    target->SetAbsolutePosition(position);
  }
  TTRVSoundEmitter* emitter = EmitterOf(*target);
  if (emitter && emitter->manager_ != this) {
    Silence(*target);
    emitter = nullptr;
  }
  if (!emitter) {
    auto made = std::make_unique<TTRVSoundEmitter>(*this, *target);
    emitter = made.get();
    target->Behaviours.push_back(std::move(made));
    emitters_.push_back(emitter);
  }
  // A new sound on an emitter takes the place of the one it plays.
  Release(*emitter);
  emitter->SoundName = name;
  emitter->Volume = volume * factor;
  emitter->NbLoops = loops;
  emitter->MaxDistance = kMaxDistance;
  emitter->pending_ = true;
  if (!emitter->listed_) {
    active_.push_back(emitter);
    emitter->listed_ = true;
  }
}

bool TTRVSoundManager::SetFrequency(TGLBaseSceneObject& object, int hertz) {
  TTRVSoundEmitter* emitter = EmitterOf(object);
  if (!emitter || emitter->manager_ != this || !emitter->Playing()) return false;
  emitter->Frequency = hertz;
  return true;
}

void TTRVSoundManager::Silence(TGLBaseSceneObject& object) {
  std::erase_if(object.Behaviours, [](const std::unique_ptr<TGLBehaviour>& b) {
    return dynamic_cast<TTRVSoundEmitter*>(b.get()) != nullptr;
  });
}

void TTRVSoundManager::Release(TTRVSoundEmitter& emitter) {
  emitter.pending_ = false;
  if (emitter.voice_ < 0) return;
  Voice& voice = voices_[static_cast<std::size_t>(emitter.voice_)];
  if (output_.Ready()) {
    alSourceStop(voice.source);
    alSourcei(voice.source, AL_BUFFER, 0);
  }
  voice.emitter = nullptr;
  emitter.voice_ = -1;
}

void TTRVSoundManager::Forget(TTRVSoundEmitter& emitter) {
  Release(emitter);
  std::erase(active_, &emitter);
  std::erase(emitters_, &emitter);
}

void TTRVSoundManager::StopAll() {
  for (TTRVSoundEmitter* e : active_) {
    Release(*e);
    e->listed_ = false;
  }
  active_.clear();
}

int TTRVSoundManager::BusyVoices() const {
  return static_cast<int>(std::count_if(voices_.begin(), voices_.end(), [](const Voice& v) { return v.emitter; }));
}

int TTRVSoundManager::TakeVoice(float distance, const TAffineVector& listener) {
  int farthest = -1;
  float farthestDistance = -1;
  for (std::size_t i = 0; i < voices_.size(); ++i) {
    if (!voices_[i].emitter) return static_cast<int>(i);
    const float d = VectorLength(PositionOf(&voices_[i].emitter->Owner()) - listener);
    if (d > farthestDistance) {
      farthestDistance = d;
      farthest = static_cast<int>(i);
    }
  }
  // All busy: the farthest of them all, the new sound included, is the one not heard.
  if (farthest < 0 || farthestDistance < distance) return -1;
  Release(*voices_[static_cast<std::size_t>(farthest)].emitter);
  return farthest;
}

void TTRVSoundManager::Start(TTRVSoundEmitter& emitter, const TAffineVector& listener) {
  emitter.pending_ = false;
  if (!Live()) return;
  auto it = samples_.find(emitter.SoundName);
  if (it == samples_.end() || it->second.buffer == 0) {
    if (std::find(unknown_.begin(), unknown_.end(), emitter.SoundName) == unknown_.end()) {
      unknown_.push_back(emitter.SoundName);
      platform::LogWarning("sound", "no sample \"" + emitter.SoundName + "\"");
    }
    return;
  }
  const int index = TakeVoice(VectorLength(PositionOf(&emitter.Owner()) - listener), listener);
  if (index < 0) return;
  Voice& voice = voices_[static_cast<std::size_t>(index)];
  voice.emitter = &emitter;
  voice.rate = it->second.pcm.rate;
  emitter.voice_ = index;
  alSourcei(voice.source, AL_BUFFER, static_cast<ALint>(it->second.buffer));
  alSourcei(voice.source, AL_LOOPING, emitter.NbLoops > 1 ? AL_TRUE : AL_FALSE);
  Apply(voice, emitter, listener);
  alSourcePlay(voice.source);
}

void TTRVSoundManager::Apply(const Voice& voice, const TTRVSoundEmitter& emitter, const TAffineVector& listener) {
  const TAffineVector at = PositionOf(&emitter.Owner());
  const float distance = VectorLength(at - listener);
  alSource3f(voice.source, AL_POSITION, at.x, at.y, at.z);
  alSourcef(voice.source, AL_REFERENCE_DISTANCE, std::max(0.01f, emitter.MinDistance));
  alSourcef(voice.source, AL_MAX_DISTANCE, std::max(emitter.MinDistance, emitter.MaxDistance));
  alSourcef(voice.source, AL_GAIN, distance > emitter.MaxDistance ? 0.0f : std::clamp(emitter.Volume, 0.0f, 1.0f));
  float pitch = 1;
  if (emitter.Frequency > 0 && voice.rate > 0)
    pitch = std::clamp(static_cast<float>(emitter.Frequency) / static_cast<float>(voice.rate), kMinPitch, kMaxPitch);
  alSourcef(voice.source, AL_PITCH, pitch);
}

void TTRVSoundManager::Update() {
  if (paused_) return;
  const TAffineVector listener = PositionOf(Listener);
  const bool live = Live();
  if (live) {
    alListener3f(AL_POSITION, listener.x, listener.y, listener.z);
    const TVector at = Listener ? Listener->AbsoluteDirection() : TVector(0, 0, -1, 0);
    const TVector up = Listener ? Listener->AbsoluteUp() : TVector(0, 1, 0, 0);
    const float orientation[6] = {at.x, at.y, at.z, up.x, up.y, up.z};
    alListenerfv(AL_ORIENTATION, orientation);
  }
  // Sounds that ended give their voices back before new ones ask for them.
  for (TTRVSoundEmitter* e : active_) {
    if (e->voice_ < 0) continue;
    ALint state = AL_STOPPED;
    if (live) alGetSourcei(voices_[static_cast<std::size_t>(e->voice_)].source, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) Release(*e);
  }
  for (std::size_t i = 0; i < active_.size(); ++i)
    if (active_[i]->pending_) Start(*active_[i], listener);
  for (TTRVSoundEmitter* e : active_)
    if (e->voice_ >= 0) Apply(voices_[static_cast<std::size_t>(e->voice_)], *e, listener);
  std::erase_if(active_, [](TTRVSoundEmitter* e) {
    if (e->Playing()) return false;
    e->listed_ = false;
    return true;
  });
}

void TTRVSoundManager::SetPaused(bool paused) {
  if (paused == paused_) return;
  paused_ = paused;
  if (!Live()) return;
  for (const Voice& v : voices_) {
    if (!v.emitter) continue;
    if (paused) alSourcePause(v.source);
    else alSourcePlay(v.source);
  }
}
