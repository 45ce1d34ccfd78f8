// The engine: construction of the scene rig, the per-frame progress, fades, snapshots and
// the start and stop of worlds.
#include "shell/engine.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>

#include "generator/progress.h"
#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/filebytes.h"
#include "platform/inifile.h"
#include "platform/log.h"
#include "platform/random.h"
#include "platform/window.h"
#include "shell/gametypes.h"
#include "shell/lessons.h"
#include "world/filenames.h"
#include "world/weapons.h"
#include "world/worldfile.h"
#include "world/worldload.h"

namespace {
constexpr double kMaxStep = 0.066;          // a slow frame must not make units jump
constexpr double kLoadingPaintInterval = 0.05;
// The tutorial's forced air strike is called after this wait at most.
constexpr double kTutorialAirStrikeWait = 5;
}  // namespace

TTRVEngine::TTRVEngine(platform::Window& window, const std::filesystem::path& programFolder,
                       std::function<double()> clock)
    : Audio(programFolder, [this] { return Settings.MusicOn; }, [this] { return Settings.SoundVolumeFactor; }),
      Tips(clock ? clock : std::function<double()>(platform::NowSeconds),
           [](int n) { return platform::Random().Int(n); }),
      window_(window),
      folder_(programFolder),
      files_(programFolder),
      clock_(clock ? std::move(clock) : std::function<double()>(platform::NowSeconds)) {
  ReadSettings();

  Viewer = std::make_unique<TGLSceneViewer>(window_);
  Viewer->Visible = false;
  Cadencer = std::make_unique<TGLCadencer>(clock_);
  Cadencer->Scene = &Scene;
  Cadencer->OnProgress = [this](TGLCadencer&, double dt, double t) { Progress(dt, t); };
  Camera = Scene.Objects().AddNewChild<TGLCamera>();

  TGLSceneBuffer& buffer = Viewer->Buffer;
  buffer.BackgroundColor = 0x00FF8080;  // red 128, green 128, blue 255
  buffer.FogEnable = true;
  buffer.FogEnvironment.FogColor.SetColor(0.5f, 0.5f, 1.0f, 1.0f);
  buffer.FogEnvironment.FogDistance = fdEyeRadial;
  buffer.ContextOptions = roDoubleBuffer | roRenderToWindow | roDestinationAlpha;
  buffer.AmbientColor.SetColor(0.8f, 0.8f, 0.8f, 1.0f);
  Viewer->SetCamera(Camera);

  Light = Scene.Objects().AddNewChild<TGLLightSource>();
  Light->LightStyle = lsParallel;
  TAffineVector sun = VectorNormalize(TAffineVector(-2, 5, 2));
  Light->SpotDirection.SetVector(sun.x, sun.y, sun.z);
  Light->Ambient.SetColor(1, 1, 1, 1);
  Light->Specular.SetColor(1, 1, 1, 1);
  Light->Shining = true;

  CameraTarget = Scene.Objects().AddNewChild<TGLDummyCube>();
  CameraEye = CameraTarget->AddNewChild<TGLDummyCube>();
  CameraEye->Position.SetPoint(0, 0.5f, -1.5f);

  // One-shot sounds borrow one of these nodes instead of creating objects per sound.
  SoundPool = Scene.Objects().AddNewChild<TGLDummyCube>();
  for (int i = 0; i < 101; ++i) SoundPool->AddNewChild<TGLDummyCube>();
  Audio.Effects.Listener = CameraEye;
  Audio.Effects.Pool = SoundPool;
  Cadencer->Subscribe(&Audio.Effects);

  Camera->FocalLength = Settings.ResolutionX / 800.0f * 50;
  Camera->TargetObject = CameraTarget;
  Camera->DepthOfView = 1024;

  std::string error;
  // A missing "Screen" theme leaves the cover sprites without pictures; nothing else needs it.
  ScreenTheme.LoadThemeFile(files_.Theme("Screen"));
  ApplyViewport();

  CoverSprite = Scene.Objects().AddNewChild<TGLHUDSprite>();
  LogoSprite = CoverSprite->AddNewChild<TGLHUDSprite>();
  BannerSprite = CoverSprite->AddNewChild<TGLHUDSprite>();
  HeadSprite = CoverSprite->AddNewChild<TGLHUDSprite>();
  const std::pair<TGLHUDSprite*, const char*> pictures[] = {
      {LogoSprite, "SCREENkvor"}, {BannerSprite, "SCREENzmv"}, {HeadSprite, "SCREENhead"}};
  for (const auto& [sprite, material] : pictures) {
    sprite->Material.MaterialLibrary = &ScreenTheme.materialLibrary;
    sprite->Material.LibMaterialName = material;
  }
  for (TGLHUDSprite* s : {CoverSprite, LogoSprite, BannerSprite, HeadSprite}) s->Visible = false;
  TGLMaterial& cover = CoverSprite->Material;
  cover.MaterialOptions = moNoLighting;
  cover.BlendingMode = bmAdditive;
  cover.FaceCulling = fcNoCull;
  cover.FrontProperties.Diffuse.SetColor(1, 1, 1, 1);
  cover.Texture.SetImageAlpha(tiaLuminance);
  cover.Texture.TextureFormat = tfRGBA;
  cover.Texture.TextureMode = tmModulate;
  cover.Texture.TextureWrap = twNone;
  PlaceCover();

  PaintNoiseTexture();
  Tips.LoadTips(folder_, Settings.Language);
  Audio.Start();
  NextMusicTrack();
  Cadencer->SetEnabled(false);
}

TTRVEngine::~TTRVEngine() {
  // The world and the campaign go first: they hold scene objects, the viewer and the sounds.
  if (Cadencer) Cadencer->SetEnabled(false);
  StopWorld();
  CloseCampaign();
  Scene.DeleteAllObjects();
  Viewer.reset();
  Cadencer.reset();
}

bool TTRVEngine::ReadSettings() {
  TTRVSettings read;
  std::string error;
  const bool ok = read.ReadSettings(files_.Config(), error);
  // A file that cannot be read must not undo what the player set in the dialogs (or switch
  // the screen to the default mode); only the very first read takes the defaults then.
  if (ok || !settingsRead_) Settings = read;
  if (!ok) platform::LogWarning("settings", error + (settingsRead_ ? "; the settings in use are kept" : "; using the defaults"));
  settingsRead_ = true;
  return ok;
}

bool TTRVEngine::WriteSettings(std::string& error) {
  // The quality presets travel in the same file; a first run (or a player who deleted them)
  // gets the shipped ones back, while keys already there are left as they are.
  const std::filesystem::path file = files_.Config();
  platform::IniFile ini;
  if (!ini.LoadFromFile(file, error)) return false;
  WriteDefaultPresets(ini);
  Settings.WriteTo(ini);
  return ini.SaveToFile(file, error);
}

void TTRVEngine::ApplyViewport() {
  // The window is sized by the main window; the view follows it, and the focal length keeps
  // the same field of view at every resolution.
  int w = std::max(1, Settings.ResolutionX);
  Camera->FocalLength = w / 800.0f * 50;
  PlaceCover();
}

void TTRVEngine::PlaceCover() {
  // Sized with the view, not only when a snapshot is taken: the first fade of a session
  // must cover the whole screen too.
  if (!CoverSprite) return;
  const int w = Settings.ResolutionX, h = Settings.ResolutionY;
  float logoW = static_cast<float>(w / 5), logoH = logoW / 4;
  LogoSprite->SetSize(logoW, logoH);
  LogoSprite->Position.SetPoint(w - 5 - logoW / 2, h - 5 - logoH / 2, 0);
  float bannerW = static_cast<float>(w - 10), bannerH = bannerW / 16;
  BannerSprite->SetSize(bannerW, bannerH);
  BannerSprite->Position.SetPoint(static_cast<float>(w / 2), bannerH / 2 + 5, 0);
  float headW = static_cast<float>(w / 10);
  HeadSprite->SetSize(headW, headW);
  HeadSprite->Position.SetPoint(w - 1.5f * bannerH, 1.5f * bannerH, 0);
  CoverSprite->SetSize(static_cast<float>(w), static_cast<float>(h));
  CoverSprite->Position.SetPoint(static_cast<float>(w / 2), static_cast<float>(h / 2), 0);
}

void TTRVEngine::Progress(double deltaTime, double) {
  TTRVSampleView view{Viewer->Width(), Viewer->Height(), Settings.ResolutionX, Settings.ResolutionY};
  platform::InputState& input = window_.Input();
  SampleControls(input, TTRVKeyMap::FromSettings(Settings), view, mouse_, controls_, timeAccel_);
  // The wheel's zoom is input like the keys: sampled here, clamped and used by the player's unit.
  zoomAccumulator_ = AddWheelDelta(zoomAccumulator_, input.TakeWheelDelta());
  if (World) {
    // Escape held over several frames starts the fade once; it does not restart it. A
    // fade-in under way turns back from where it is.
    if (input.KeyDown(kEscapeKey) && fadeState_ != fsFadingOut && fadeState_ != fsCovered) {
      fadeProgress_ = fadeState_ == fsOpen ? 1.0f : std::min(fadeProgress_, 1.0f);
      fadeState_ = fsFadingOut;
    }
    if (tutorialMode_ && tutorialWeapon_ >= 0) {
      controls_.weaponRequest = static_cast<std::uint8_t>(tutorialWeapon_);
      if (tutorialWeapon_ == weapons::kAirStrike) World->CutAirStrikeTimer(kTutorialAirStrikeWait);
    }
    double dt = std::min(deltaTime, kMaxStep);
    if (timeAccel_) dt *= 3;
    World->Step(dt);
    UpdateFade(static_cast<float>(deltaTime));
  }
  mouse_.EndFrame();
}

void TTRVEngine::ShowCover(bool all) {
  CoverSprite->Visible = true;
  for (TGLHUDSprite* s : {LogoSprite, BannerSprite, HeadSprite}) s->Visible = all;
  if (World) World->SetHUDVisible(false);
}

void TTRVEngine::HideCover() {
  for (TGLHUDSprite* s : {CoverSprite, LogoSprite, BannerSprite, HeadSprite}) s->Visible = false;
  if (World) World->SetHUDVisible(true);
}

void TTRVEngine::UpdateFade(float dt) {
  if (!World) return;
  switch (fadeState_) {
    case fsOpen:
      HideCover();
      break;
    case fsCovered:
      ShowCover(true);
      CoverSprite->AlphaChannel = 1;
      break;
    case fsFadingOut:
      if (fadeProgress_ > 0) {
        ShowCover(false);
        fadeProgress_ -= dt;
        CoverSprite->AlphaChannel = 1 - fadeProgress_;
      } else {
        ShowCover(true);
        CoverSprite->AlphaChannel = 1;
        fadeProgress_ = 0;
        fadeState_ = fsCovered;
        // A mission that ended keeps its word: the game-over dialog must still come.
        if (!MissionOver(Status)) Status = TTRVStatus::Esc;
      }
      break;
    case fsFadingIn:
      if (fadeProgress_ >= 1) {
        HideCover();
        fadeProgress_ = 1;
        fadeState_ = fsOpen;
      } else {
        ShowCover(false);
        fadeProgress_ += dt;
        CoverSprite->AlphaChannel = 1 - fadeProgress_;
      }
      break;
  }
}

void TTRVEngine::PrepareSnapshot() {
  Cadencer->SetEnabled(false);
  PlaceCover();
  SnapshotBitmap = Viewer->CreateSnapshotBitmap();
  Viewer->Render();
}

void TTRVEngine::PollAudio() { Audio.Poll(World && Cadencer->Enabled()); }

void TTRVEngine::ShowLoadingProgress(const std::string& text, int percent) {
  PollAudio();
  double now = clock_();
  if (lastLoadingPaint_ >= 0 && now - lastLoadingPaint_ < kLoadingPaintInterval && percent < 100) return;
  lastLoadingPaint_ = now;
  if (OnLoadingProgress) OnLoadingProgress(text, percent, Tips.CurrentTip());
}

bool TTRVEngine::BuildWorld(const WorldFactory& factory, const std::string& name, const TTRVWorldInfo* info) {
  StopWorld();
  Status = TTRVStatus::Loading;
  lastLoadingPaint_ = -1;
  // A new game stops the clock and starts at normal speed behind a closed cover, with
  // nothing of the last game's controls: its weapon choice would open the next one.
  Cadencer->SetEnabled(false);
  timeAccel_ = false;
  controls_ = TTRVControlBlock{};
  fadeProgress_ = 0;
  fadeState_ = fsCovered;
  std::string error;
  std::unique_ptr<TTRVRunningWorld> world;
  try {
    world = factory(*this, name, info, error);
  } catch (const std::bad_alloc&) {
    error = "not enough memory to build the world \"" + name + "\"";
  } catch (const std::exception& e) {
    error = "building the world \"" + name + "\" failed: " + e.what();
  } catch (...) {
    error = "building the world \"" + name + "\" failed";
  }
  if (!world) {
    Status = TTRVStatus::None;
    lastError_ = error.empty() ? "the world \"" + name + "\" could not be loaded" : error;
    platform::LogError("engine", lastError_);
    return false;
  }
  World = std::move(world);
  World->SetRunning(true);
  Status = TTRVStatus::Loaded;
  return true;
}

namespace {
// The world file itself: whether its records read, apart from its themes and any game set-up.
bool WorldFileReads(const std::filesystem::path& file) {
  std::vector<std::uint8_t> bytes;
  if (platform::ReadFileBytes(file, kMaxWorldFileSize, bytes) != platform::ReadFileResult::Ok) return false;
  TTRVWorldFileData data;
  std::string error;
  return ParseWorldFile(bytes, data, error);
}
}  // namespace

TTRVStartOutcome TTRVEngine::StartWorld(const std::string& name, const TTRVWorldInfo* info,
                                        const TTRVGameStart& start) {
  lastError_.clear();
  const std::filesystem::path file = files_.World(name);
  std::error_code ec;
  if (file.empty() || !std::filesystem::exists(file, ec)) {
    lastError_ = "the world file worlds/" + name + ".TRV is missing";
    return TTRVStartOutcome::WorldMissing;
  }
  if (!NewGameLoader) {
    lastError_ = "no world loader";
    return TTRVStartOutcome::Refused;
  }
  const bool lesson = start.kind == TTRVGameKind::Lesson;
  tutorialMode_ = lesson;
  tutorialWeapon_ = lesson ? start.forcedWeapon : -1;
  lessonUnlock_ = lesson ? start.unlock : 0;
  if (BuildWorld(NewGameLoader, name, info)) return TTRVStartOutcome::Started;
  return WorldFileReads(file) ? TTRVStartOutcome::Refused : TTRVStartOutcome::WorldUnreadable;
}

bool TTRVEngine::LoadGame(const std::string& name) {
  lastError_.clear();
  saveUnreadable_ = false;
  const std::filesystem::path file = files_.Save(name);
  std::error_code ec;
  if (file.empty() || !std::filesystem::exists(file, ec)) {
    lastError_ = "the saved game save/" + name + ".TRV is missing";
    return false;
  }
  // Everything that can be told from the save alone is checked before the running game is
  // stopped: a refused load leaves it as it was.
  const TTRVExtractLoadGameData header = ::ReadSaveHeader(file);
  auto refuse = [&](std::string why, bool unreadable) {
    lastError_ = "Saved game \"" + name + "\": " + std::move(why);
    saveUnreadable_ = unreadable;
    platform::LogError("engine", lastError_);
    return false;
  };
  if (!header.valid) return refuse("the file does not read as a saved game", true);
  if (header.campaignSave) return refuse("campaign saves come with campaigns", false);
  if (NamesCampaign(header.campaignName))
    return refuse("it belongs to the campaign \"" + header.campaignName + "\"; campaign games come with campaigns",
                  false);
  const std::filesystem::path world = files_.World(header.worldName);
  if (world.empty()) return refuse("\"" + header.worldName + "\" is not a world name", true);
  if (!std::filesystem::exists(world, ec))
    return refuse("the world file worlds/" + header.worldName + ".TRV is missing", false);
  if (!SavedGameLoader) return refuse("loading saved games is not available", false);
  timeAccel_ = false;
  // A save is never a lesson: no forced weapon and no unlock come with it. A save of the
  // tutorial's island is still the tutorial, so that its end leads back to the lessons.
  tutorialMode_ = header.worldName == kTutorialWorld;
  tutorialWeapon_ = -1;
  lessonUnlock_ = 0;
  return BuildWorld(SavedGameLoader, name, nullptr);
}

bool TTRVEngine::SaveGame(const std::string& name) {
  lastError_.clear();
  if (!World) {
    lastError_ = "no game is running";
    return false;
  }
  const std::filesystem::path file = files_.Save(name);
  if (file.empty()) {
    lastError_ = "\"" + name + "\" is not a save name";
    return false;
  }
  // The frame clock stays stopped: whoever saved starts it again (the menus by resuming).
  Cadencer->SetEnabled(false);
  std::string error;
  if (World->SaveGame(file, NowAsDays(), error)) return true;
  lastError_ = error.empty() ? "the game could not be saved" : error;
  platform::LogError("engine", lastError_);
  return false;
}

TTRVExtractLoadGameData TTRVEngine::ReadSaveHeader(const std::string& name) const {
  return ::ReadSaveHeader(files_.Save(name));
}

TTRVExtractWorldData TTRVEngine::ReadWorldHeader(const std::string& name) const {
  return ::ReadWorldHeader(files_.World(name), name);
}

void TTRVEngine::StopWorld() {
  if (World) {
    Cadencer->SetEnabled(false);
    World.reset();
  }
  Audio.Effects.StopAll();  // nothing of this game may sound when the next one starts
  controls_.fire = false;
  controls_.secondary = false;
}

void TTRVEngine::Pause() {
  Cadencer->SetEnabled(false);
  Viewer->Enabled = false;
  Viewer->Visible = false;
}

void TTRVEngine::Resume() {
  Viewer->Visible = true;
  Viewer->Enabled = true;
  Cadencer->SetEnabled(true);
  FadeIn();
}

bool TTRVEngine::ViewRunning() const { return Viewer->Visible && Cadencer->Enabled(); }

void TTRVEngine::FadeIn() {
  fadeProgress_ = 0;
  fadeState_ = fsFadingIn;
}

void TTRVEngine::FadeOut() {
  // A whole second of fade, unless the cover is already closing or closed.
  if (fadeState_ == fsFadingOut || fadeState_ == fsCovered) return;
  fadeProgress_ = 1.0f;
  fadeState_ = fsFadingOut;
}

TTRVStatus TTRVEngine::TakeStatus() {
  const TTRVStatus status = Status;
  Status = TTRVStatus::None;
  return status;
}

TTRVCockpit TTRVEngine::LendCockpit() {
  return {&controls_,    CameraEye,         &zoomAccumulator_, &tutorialMode_,    &tutorialWeapon_, &timeAccel_,
          &Status,       &Reason,           &mouse_.MouseX,    &mouse_.MouseY,    &Settings.MapZoom, &Settings.MapSize,
          &Settings};
}

void TTRVEngine::CloseCampaign() {}

std::string TTRVEngine::GameTypeName(int unitType, int mission) const {
  return ::GameTypeName(unitType, mission, LanguageOf(Settings.Language));
}

std::string TTRVEngine::ObjectiveJingleName(int unitType, int mission) {
  return ::ObjectiveJingleName(unitType, mission);
}

void TTRVEngine::PaintNoiseTexture() {
  int w, h;
  if (Settings.ResolutionX == 800) {
    w = 512;
    h = 512;
  } else if (Settings.ResolutionX == 1024) {
    w = 1024;
    h = 512;
  } else {
    w = 1024;
    h = 1024;
  }
  platform::RandomGenerator& rnd = platform::Random();
  NoiseBitmap = platform::Bitmap(w, h, 24);
  NoiseBitmap.FillRect(0, 0, w, h, platform::MakeColor(0, 0, 0));
  for (int i = 0; i < 256; ++i) {
    int r = static_cast<int>((h / 3) * (255 - i) / 255.0 + 10);
    int b = rnd.Int(w);
    int a = rnd.Int(w);
    NoiseBitmap.OutlineEllipse(a - w / 2, -r, b + w / 2, r, platform::MakeColor(i, i, i));
  }
  int k = rnd.Int(30);
  const char* set = k >= 3 ? "01 " : k == 0 ? "/\\" : k == 1 ? "><" : "=0";
  int choices = k >= 3 ? 3 : 2;
  platform::FontCache fonts;
  if (fonts.Ready()) {
    for (int row = 0; row < 16; ++row) {
      std::string text;
      for (int c = 0; c < w / 3 + 1; ++c) text += set[rnd.Int(choices)];
      int grey = 255 - 16 * row;
      NoiseBitmap.DrawText(0, h - (h * row) / 60 + 1, text, platform::MakeColor(grey, grey, grey), fonts,
                           std::max(4, h / 60), true);
    }
  }
  CoverSprite->Material.Texture.AssignBitmap(NoiseBitmap);
  CoverSprite->Material.Texture.SetImageAlpha(tiaLuminance);
}
