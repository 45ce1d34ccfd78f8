// TTRVEngine: the one long-lived object behind the main window. It owns the scene rig (scene,
// 3D view, cadencer, camera, light, camera target and eye, sound pool, fade cover), the
// settings, the input state and the running world, steps them every frame in Progress, and
// tells the main window what happened only through the Status and Reason words.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "audio/audio.h"
#include "config/settings.h"
#include "game/runningworld.h"
#include "platform/bitmap.h"
#include "scene/cadencer.h"
#include "scene/camera.h"
#include "scene/customobject.h"
#include "scene/scene.h"
#include "scene/sprite.h"
#include "scene/viewer.h"
#include "shell/controls.h"
#include "shell/texts.h"
#include "shell/tips.h"
#include "world/status.h"
#include "world/theme.h"

namespace platform {
class Window;
}
struct TTRVWorldInfo;

enum TFadeState : std::uint8_t { fsOpen = 0, fsCovered = 1, fsFadingOut = 2, fsFadingIn = 3 };

class TTRVEngine {
 public:
  // Makes a running world from a world file (new game) or a save; answers null with an error.
  using WorldFactory = std::function<std::unique_ptr<TTRVRunningWorld>(TTRVEngine&, const std::string& name,
                                                                       const TTRVWorldInfo* info, std::string& error)>;

  // Builds everything; the cadencer is left disabled. `clock` answers seconds (the platform's
  // high-resolution clock when empty).
  TTRVEngine(platform::Window& window, const std::filesystem::path& programFolder, std::function<double()> clock = {});
  ~TTRVEngine();
  TTRVEngine(const TTRVEngine&) = delete;
  TTRVEngine& operator=(const TTRVEngine&) = delete;

  // Scene rig.
  TGLScene Scene;
  std::unique_ptr<TGLSceneViewer> Viewer;
  std::unique_ptr<TGLCadencer> Cadencer;
  TGLCamera* Camera = nullptr;
  TGLLightSource* Light = nullptr;
  TGLDummyCube* CameraTarget = nullptr;
  TGLDummyCube* CameraEye = nullptr;
  TGLDummyCube* SoundPool = nullptr;
  TTRVTheme ScreenTheme;
  TGLHUDSprite* CoverSprite = nullptr;
  TGLHUDSprite* LogoSprite = nullptr;
  TGLHUDSprite* BannerSprite = nullptr;
  TGLHUDSprite* HeadSprite = nullptr;
  platform::Bitmap SnapshotBitmap;
  platform::Bitmap NoiseBitmap;

  // What happened, read and cleared by the main window's tick.
  TTRVStatus Status = TTRVStatus::None;
  TTRVReason Reason = TTRVReason::None;
  // Why the last StartWorld or LoadGame failed, in the words of whatever refused.
  std::string LastError;

  TTRVSettings Settings;
  // The sound output, the effects on the camera eye and the sound pool, music and jingles.
  TTRVAudio Audio;
  TTRVControlBlock Controls;
  TTRVMouseState Mouse;
  bool TimeAccel = false;
  int ZoomAccumulator = 0;

  bool TutorialMode = false;
  std::uint8_t LessonUnlock = 0;
  int TutorialWeapon = -1;  // -1: the player chooses

  std::uint8_t FadeState = fsOpen;
  float FadeProgress = 0;

  std::unique_ptr<TTRVRunningWorld> World;
  WorldFactory NewGameLoader;   // StartWorld
  WorldFactory SavedGameLoader; // LoadGame of a game save
  // Set by the save loader when the save file itself could not be read (not merely its
  // world file missing): the main window then deletes a broken automatic save.
  bool LastSaveUnreadable = false;

  TTRVTips Tips;
  TTRVGameTexts Texts;  // game-type explanations and lesson texts in the current language

  // Repaints the loading dialog: (text, percent, tip). Set by the main window.
  std::function<void(const std::string&, int, const std::string&)> OnLoadingProgress;

  // Music and jingles, only while the Music switch is on: data/<name>.mp3 once, unless a
  // jingle already plays; the playlist's next track (or silence with the switch off).
  void PlayJingle(std::string_view name) { Audio.Music.PlayJingle(name); }
  void NextMusicTrack() { Audio.Music.NextMusicTrack(); }
  // Every pass of the main loop and of a long load: music moves on to its next track, and
  // the effects hold while the game's clock stands.
  void PollAudio();

  const std::filesystem::path& ProgramFolder() const { return folder_; }
  // A game type's name in the player's language, and its objective's jingle.
  std::string GameTypeName(int unitType, int mission) const;
  static std::string ObjectiveJingleName(int unitType, int mission);
  bool WorldRunning() const { return World != nullptr; }

  // The cadencer's progress: samples input, steps the world and the fade.
  void Progress(double deltaTime, double newTime);
  void UpdateFade(float dt);
  void PrepareSnapshot();
  // Repaints the loading dialog at once, but at most every 50 ms so long loads do not
  // spend their time painting.
  void ShowLoadingProgress(const std::string& text, int percent);

  // True when the game was loaded and runs; false with LastError set. A missing world file
  // changes nothing. Nothing thrown while the world is built (not even running out of
  // memory) leaves the engine: it becomes a failure with its message.
  bool StartWorld(const std::string& name, const TTRVWorldInfo* info);
  bool LoadGame(const std::string& name);
  bool SaveGame(const std::string& name);
  void StopWorld();
  void CloseCampaign();
  void ApplyViewport();
  bool ReadSettings();
  bool WriteSettings(std::string& error);
  // Paints the noise the fade cover shows, sized by the resolution.
  void PaintNoiseTexture();

 private:
  void ShowCover(bool all);
  void HideCover();
  // Runs a world factory, turning whatever it throws into a failure with a message.
  bool BuildWorld(const WorldFactory& factory, const std::string& name, const TTRVWorldInfo* info);
  // Sizes and places the cover and its pictures for the resolution.
  void PlaceCover();

  platform::Window& window_;
  std::filesystem::path folder_;
  std::function<double()> clock_;
  double lastLoadingPaint_ = -1;
  bool settingsRead_ = false;
};
