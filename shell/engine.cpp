// The engine: construction of the scene rig, the per-frame progress, fades, snapshots and
// the start and stop of worlds.
#include "shell/engine.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>

#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/inifile.h"
#include "platform/log.h"
#include "platform/random.h"
#include "platform/window.h"
#include "shell/gametypes.h"

namespace {
constexpr double kMaxStep = 0.066;          // a slow frame must not make units jump
constexpr double kLoadingPaintInterval = 0.05;
}  // namespace

TTRVEngine::TTRVEngine(platform::Window& window, const std::filesystem::path& programFolder,
                       std::function<double()> clock)
    : Audio(programFolder, [this] { return Settings.MusicOn; }, [this] { return Settings.SoundVolumeFactor; }),
      Tips(clock ? clock : std::function<double()>(platform::NowSeconds),
           [](int n) { return platform::Random().Int(n); }),
      window_(window),
      folder_(programFolder),
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
  ScreenTheme.LoadThemeFile(folder_ / "themes" / "Screen.TRV");
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
  const bool ok = read.ReadSettings(folder_ / "config.ini", error);
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
  std::filesystem::path file = folder_ / "config.ini";
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
  SampleControls(window_.Input(), TTRVKeyMap::FromSettings(Settings), view, Mouse, Controls, TimeAccel);
  if (World) {
    if (window_.Input().KeyDown(27)) FadeState = fsFadingOut;
    if (TutorialMode && TutorialWeapon >= 0) {
      Controls.weaponRequest = static_cast<std::uint8_t>(TutorialWeapon);
      if (TutorialWeapon == 2) World->CutAirStrikeTimer(5);
    }
    double dt = std::min(deltaTime, kMaxStep);
    if (TimeAccel) dt *= 3;
    World->Step(dt);
    UpdateFade(static_cast<float>(deltaTime));
  }
  Mouse.EndFrame();
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
  switch (FadeState) {
    case fsOpen:
      HideCover();
      break;
    case fsCovered:
      ShowCover(true);
      CoverSprite->AlphaChannel = 1;
      break;
    case fsFadingOut:
      if (FadeProgress > 0) {
        ShowCover(false);
        FadeProgress -= dt;
        CoverSprite->AlphaChannel = 1 - FadeProgress;
      } else {
        ShowCover(true);
        CoverSprite->AlphaChannel = 1;
        FadeProgress = 0;
        FadeState = fsCovered;
        // A mission that ended keeps its word: the game-over dialog must still come.
        if (!MissionOver(Status)) Status = TTRVStatus::Esc;
      }
      break;
    case fsFadingIn:
      if (FadeProgress >= 1) {
        HideCover();
        FadeProgress = 1;
        FadeState = fsOpen;
      } else {
        ShowCover(false);
        FadeProgress += dt;
        CoverSprite->AlphaChannel = 1 - FadeProgress;
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
    LastError = error.empty() ? "the world \"" + name + "\" could not be loaded" : error;
    platform::LogError("engine", LastError);
    return false;
  }
  World = std::move(world);
  World->SetRunning(true);
  Status = TTRVStatus::Loaded;
  return true;
}

bool TTRVEngine::StartWorld(const std::string& name, const TTRVWorldInfo* info) {
  LastError.clear();
  std::error_code ec;
  if (!std::filesystem::exists(folder_ / "worlds" / (name + ".TRV"), ec)) {
    LastError = "the world file worlds/" + name + ".TRV is missing";
    return false;
  }
  if (!NewGameLoader) {
    LastError = "no world loader";
    return false;
  }
  return BuildWorld(NewGameLoader, name, info);
}

bool TTRVEngine::LoadGame(const std::string& name) {
  LastError.clear();
  TimeAccel = false;
  std::error_code ec;
  if (!std::filesystem::exists(folder_ / "save" / (name + ".TRV"), ec)) {
    LastError = "the saved game save/" + name + ".TRV is missing";
    return false;
  }
  if (!SavedGameLoader) {
    LastError = "loading saved games is not available yet";
    return false;
  }
  return BuildWorld(SavedGameLoader, name, nullptr);
}

bool TTRVEngine::SaveGame(const std::string& name) {
  std::string error;
  return World && World->SaveGame(name, error);
}

void TTRVEngine::StopWorld() {
  if (World) {
    Cadencer->SetEnabled(false);
    World.reset();
  }
  Audio.Effects.StopAll();  // nothing of this game may sound when the next one starts
  Controls.fire = false;
  Controls.secondary = false;
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
