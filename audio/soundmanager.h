// TTRVSoundManager: the positional sound effects, bound to the scene. The listener is a scene
// object (the engine's camera eye); every sound plays on a scene object's emitter, either the
// object a unit names or one of the pooled nodes moved to where the sound happens. Voices are
// few (32): when all are busy the one farthest from the listener gives way, unless the new
// sound is farther still. The cadencer advances it every frame like any scene component.
// Without an open output it keeps its books the same way and plays nothing.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "audio/soundoutput.h"
#include "audio/wavfile.h"
#include "scene/baseobject.h"
#include "scene/cadencer.h"
#include "world/soundcall.h"

class TTRVSoundManager;

// The sound source a scene object carries. It lives in the object's behaviours, so it goes
// with the object, and its voice with it.
class TTRVSoundEmitter : public TGLBehaviour {
 public:
  TTRVSoundEmitter(TTRVSoundManager& manager, TGLBaseSceneObject& owner) : manager_(&manager), owner_(&owner) {}
  ~TTRVSoundEmitter() override;
  void DoProgress(TGLBaseSceneObject&, double, double) override {}

  std::string SoundName;
  float Volume = 1;         // 0 to 1, the player's volume already applied
  int NbLoops = 1;          // more than 1: loops until stopped
  float MinDistance = 1;    // full loudness within it
  float MaxDistance = 100;  // muted beyond it
  int Frequency = -1;       // replay rate in Hz; -1: the sample's own

  // True from the request until the sound ends, is stopped or loses its voice.
  bool Playing() const { return pending_ || voice_ >= 0; }
  TGLBaseSceneObject& Owner() const { return *owner_; }

 private:
  friend class TTRVSoundManager;
  TTRVSoundManager* manager_;
  TGLBaseSceneObject* owner_;
  int voice_ = -1;
  bool pending_ = false;
  bool listed_ = false;  // in the manager's list of requested or playing sounds
};

class TTRVSoundManager : public TTRVSoundCall, public TGLCadencedComponent {
 public:
  static constexpr int kMaxChannels = 32;
  static constexpr float kHearingDistance = 30;  // a sound further from the listener is not started
  static constexpr float kMaxDistance = 50;      // a playing sound further away is muted
  static constexpr int kPoolSize = 101;

  explicit TTRVSoundManager(TTRVSoundOutput& output);
  ~TTRVSoundManager() override;
  TTRVSoundManager(const TTRVSoundManager&) = delete;
  TTRVSoundManager& operator=(const TTRVSoundManager&) = delete;

  TGLBaseSceneObject* Listener = nullptr;
  TGLBaseSceneObject* Pool = nullptr;   // its first kPoolSize children carry the sounds of no object
  std::function<float()> VolumeFactor;  // the player's sound volume, 0 to 1; empty: 1

  // The sample library, kept in memory so the samples survive a change of output.
  void AddSample(const std::string& name, const audio::TSoundSample& sample);
  bool HasSample(std::string_view name) const { return samples_.find(std::string(name)) != samples_.end(); }
  int SampleCount() const { return static_cast<int>(samples_.size()); }
  // Loads data/<name>.wav for every name of data/Sounds.txt under `folder`; a missing,
  // unreadable or unplayable file is skipped with a log line. Answers the number loaded.
  int LoadSounds(const std::filesystem::path& folder);

  // Call after the output was opened (again) and before it closes: voices and sample buffers
  // belong to the device.
  void Attach();
  void Detach();

  // TTRVSoundCall.
  void PlaySound(std::string_view name, TGLBaseSceneObject* object, const TAffineVector& position, int loops,
                 float volume) override;
  // True only while the object's sound plays: an engine whose voice was taken starts again.
  bool SetFrequency(TGLBaseSceneObject& object, int hertz) override;
  void Silence(TGLBaseSceneObject& object) override;

  // One frame: the listener follows its object; waiting sounds start, ended ones are let go,
  // playing ones follow their objects.
  void DoProgress(double, double) override { Update(); }
  void Update();
  // Holds every effect while the game's clock stands (menus over a paused game).
  void SetPaused(bool paused);
  bool Paused() const { return paused_; }
  void StopAll();

  int BusyVoices() const;
  int PoolCounter() const { return poolCounter_; }
  static TTRVSoundEmitter* EmitterOf(const TGLBaseSceneObject& object);

 private:
  friend class TTRVSoundEmitter;
  struct Sample {
    audio::TSoundSample pcm;
    unsigned buffer = 0;  // on the attached device; 0 when none
  };
  struct Voice {
    unsigned source = 0;
    TTRVSoundEmitter* emitter = nullptr;
    int rate = 0;  // of the sample it plays
  };

  void Start(TTRVSoundEmitter& emitter, const TAffineVector& listener);
  int TakeVoice(float distance, const TAffineVector& listener);
  void Release(TTRVSoundEmitter& emitter);
  void Apply(const Voice& voice, const TTRVSoundEmitter& emitter, const TAffineVector& listener);
  void Forget(TTRVSoundEmitter& emitter);
  float Factor() const;
  bool Live() const { return attached_ && output_.Ready(); }

  TTRVSoundOutput& output_;
  std::unordered_map<std::string, Sample> samples_;
  std::vector<Voice> voices_;
  std::vector<TTRVSoundEmitter*> active_;    // requested or playing, in request order
  std::vector<TTRVSoundEmitter*> emitters_;  // every emitter alive that points here
  std::vector<std::string> unknown_;       // names already reported missing
  int poolCounter_ = 0;
  bool attached_ = false;
  bool paused_ = false;
};
