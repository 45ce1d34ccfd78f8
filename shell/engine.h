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
#include "game/savegame.h"
#include "platform/bitmap.h"
#include "platform/programfiles.h"
#include "scene/cadencer.h"
#include "scene/camera.h"
#include "scene/customobject.h"
#include "scene/scene.h"
#include "scene/sprite.h"
#include "scene/viewer.h"
#include "shell/controls.h"
#include "shell/texts.h"
#include "shell/tips.h"
#include "world/cockpit.h"
#include "world/status.h"
#include "world/theme.h"
#include "world/worldfile.h"

namespace platform {
class Window;
}
struct TTRVWorldInfo;

enum TFadeState : std::uint8_t { fsOpen = 0, fsCovered = 1, fsFadingOut = 2, fsFadingIn = 3 };

// What a new game is: it decides whether the tutorial's forced weapon applies.
enum class TTRVGameKind : std::uint8_t { Lesson, Skirmish, SavedGame, CampaignWorld };

struct TTRVGameStart {
  TTRVGameKind kind = TTRVGameKind::Skirmish;
  int forcedWeapon = -1;     // a lesson's weapon; -1: the player chooses
  std::uint8_t unlock = 0;   // a lesson's tutorial progress once played
};

// Why StartWorld failed: only an unreadable world file is worth deleting.
enum class TTRVStartOutcome : std::uint8_t { Started, WorldMissing, WorldUnreadable, Refused };

// The keyboard's Escape as the input state names it.
inline constexpr int kEscapeKey = 27;

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

  // What happened: the running world writes them through the cockpit, the main window's tick
  // reads them and clears the status with TakeStatus.
  TTRVStatus Status = TTRVStatus::None;
  TTRVReason Reason = TTRVReason::None;
  TTRVStatus TakeStatus();

  // The player's settings; the options edit them, ApplySettings in the main window applies them.
  TTRVSettings Settings;
  // The sound output, the effects on the camera eye and the sound pool, music and jingles.
  TTRVAudio Audio;

  std::unique_ptr<TTRVRunningWorld> World;
  WorldFactory NewGameLoader;   // StartWorld
  WorldFactory SavedGameLoader; // LoadGame of a game save

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
  const platform::ProgramFiles& Files() const { return files_; }
  // A game type's name in the player's language, and its objective's jingle.
  std::string GameTypeName(int unitType, int mission) const;
  static std::string ObjectiveJingleName(int unitType, int mission);
  bool WorldRunning() const { return World != nullptr; }

  // The game's life. StartWorld: a new game of worlds/<name>.TRV, of the kind `start` says
  // (the tutorial's forced weapon only in a lesson); the weapon asked for in the last game
  // is forgotten. Nothing thrown while the world is built (not even running out of memory)
  // leaves the engine: it becomes a failure with its message in LastError.
  TTRVStartOutcome StartWorld(const std::string& name, const TTRVWorldInfo* info, const TTRVGameStart& start);
  // A saved game: never a lesson. False with LastError set; SaveUnreadable then tells a save
  // file that could not be read from one whose world file is only missing.
  bool LoadGame(const std::string& name);
  // Saves the running game as save/<name>.TRV; false with LastError set, the game running on
  // and an older save of that name kept.
  bool SaveGame(const std::string& name);
  // Summaries for the lists: save/<name>.TRV and worlds/<name>.TRV; invalid when missing or
  // unreadable.
  TTRVExtractLoadGameData ReadSaveHeader(const std::string& name) const;
  TTRVExtractWorldData ReadWorldHeader(const std::string& name) const;
  void StopWorld();
  void CloseCampaign();
  // Pause stops the game's clock and hides the 3D view; Resume shows it, starts the clock and
  // fades the view in. ViewRunning: the 3D view is shown and its clock runs.
  void Pause();
  void Resume();
  bool ViewRunning() const;
  // The cover: FadeOut closes it over one second (then the status says Esc, unless the
  // mission is over), FadeIn opens it.
  void FadeIn();
  void FadeOut();
  // Scripted runs that measure the game, not its menus: the cover open at once, and the
  // camera's zoom as the wheel would have left it.
  void SkipFade() { fadeState_ = fsOpen; }
  void SetZoom(int zoomAccumulator) { zoomAccumulator_ = zoomAccumulator; }

  // Read-only views of the game's state.
  const std::string& LastError() const { return lastError_; }
  bool SaveUnreadable() const { return saveUnreadable_; }
  // The save loader's word that the save file itself could not be read (not merely its
  // world file missing): the main window then deletes a broken automatic save.
  void ReportSaveUnreadable() { saveUnreadable_ = true; }
  std::uint8_t FadeState() const { return fadeState_; }
  float FadeProgress() const { return fadeProgress_; }
  bool TutorialMode() const { return tutorialMode_; }
  // The main menu's ways into other games than lessons leave the tutorial behind.
  void EndTutorialMode() {
    tutorialMode_ = false;
    tutorialWeapon_ = -1;
    lessonUnlock_ = 0;
  }
  int TutorialWeapon() const { return tutorialWeapon_; }
  std::uint8_t LessonUnlock() const { return lessonUnlock_; }
  int ZoomAccumulator() const { return zoomAccumulator_; }
  bool TimeAccel() const { return timeAccel_; }
  const TTRVControlBlock& Controls() const { return controls_; }
  // What the player's unit borrows from the engine for the game: controls, eye, zoom, the
  // tutorial's weapon, time acceleration, the status words, the mouse and the mini-map.
  TTRVCockpit LendCockpit();

  // The cadencer's progress: samples input (keys, mouse, the wheel's zoom), steps the world
  // and the fade.
  void Progress(double deltaTime, double newTime);
  void UpdateFade(float dt);
  void PrepareSnapshot();
  // Repaints the loading dialog at once, but at most every 50 ms so long loads do not
  // spend their time painting.
  void ShowLoadingProgress(const std::string& text, int percent);

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
  platform::ProgramFiles files_;
  std::function<double()> clock_;
  double lastLoadingPaint_ = -1;
  bool settingsRead_ = false;

  std::string lastError_;
  bool saveUnreadable_ = false;
  TTRVControlBlock controls_;
  TTRVMouseState mouse_;
  bool timeAccel_ = false;
  int zoomAccumulator_ = 0;
  bool tutorialMode_ = false;
  std::uint8_t lessonUnlock_ = 0;
  int tutorialWeapon_ = -1;  // -1: the player chooses
  std::uint8_t fadeState_ = fsOpen;
  float fadeProgress_ = 0;
};
