// The main window: start-up, the supervisory tick, pausing and resuming, display modes and
// the game-over step.
#include "shell/mainwindow.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "config/textids.h"
#include "platform/clock.h"
#include "platform/cursor.h"
#include "platform/log.h"
#include "platform/random.h"
#include "shell/controls.h"
#include "shell/texts.h"
#include "shell/titlescreen.h"
#include "shell/worldfactory.h"
#include "world/filenames.h"

namespace {

// The full-screen mode for a width the options offer; other widths keep the current mode.
bool ModeForWidth(int width, TScreenResolution& mode) {
  switch (width) {
    case 800: mode = sr800x600x32; return true;
    case 1024: mode = sr1024x768x32; return true;
    case 1280: mode = sr1280x1024x32; return true;
    case 1600: mode = sr1600x1200x32; return true;
    default: return false;
  }
}

constexpr double kStillRefresh = 0.25;

}  // namespace

TFormTarvin::TFormTarvin(std::filesystem::path programFolder, std::function<double()> clock)
    : folder_(std::move(programFolder)), clock_(clock ? std::move(clock) : std::function<double()>(platform::NowSeconds)) {}

TFormTarvin::~TFormTarvin() {
  AsyncTimer.SetEnabled(false, Now());
  if (engine_) WriteScreenshot();
  // The engine first: it stops the world, which may still draw through the window. The
  // dialogs go in the reverse order of their making.
  engine_.reset();
  dialogs_.reset();
  screen_.reset();
  host_.reset();
  if (FullScreen.Active()) FullScreen.Leave();
  window_.Destroy();
}

bool TFormTarvin::Create(std::string& error) {
  platform::WindowOptions options;
  options.title = "Morvane Field Command";
  options.width = 800;
  options.height = 600;
  if (!window_.Create(options, error)) return false;
  FullScreen.SetWindow(window_.Handle());

  host_ = std::make_unique<platform::widgets::TWidgetHost>(fonts_, &cursors_);
  screen_ = std::make_unique<ui::TScreenCompositor>(window_, *host_);
  MakeDialogs();

  engine_ = std::make_unique<TTRVEngine>(window_, folder_, clock_);
  // The last picture of the previous run lies behind the menus.
  std::string bmpError;
  hasScreenshot_ = ImageCanvas.LoadBmpFile(engine_->Files().Screenshot().string(), bmpError);
  ShowTitleScreen();
  InstallWorldFactories(*engine_);
  OnPlayJingle = [this](TTRVReason reason) { engine_->PlayJingle(ReasonWord(reason)); };
  engine_->Viewer->OnAfterRender = [this] { screen_->PresentOverView(); };

  ConnectDialogs();

  loop_ = std::make_unique<platform::MessageLoop>(window_);
  loop_->OnEvent = [this](const SDL_Event& e) { return host_->HandleEvent(e); };
  loop_->OnQuit = [this] {
    // Closing the window or SIGTERM: keep the player's settings, then leave.
    std::string writeError;
    if (!engine_->WriteSettings(writeError)) platform::LogError("settings", writeError);
    Close();
  };

  AsyncTimer.OnTimer = [this](TAsyncTimer&) { Tick(); };
  AsyncTimer.SetEnabled(true, Now());
  created_ = true;
  ApplySettings(true);
  ShowMainMenu();
  return true;
}

// One pass. Events go to the dialogs first, then to the game's input state. A frame is the
// cadencer's Progress, which calls, in this order: the scene's behaviours (the objects'
// per-frame steps), the sound manager (the effects follow the camera eye), then the engine's
// Progress through the lambda its constructor set (input sampled, wheel zoom included; then
// the game step, shell/engine.cpp -> game/game.cpp); then the viewer renders the scene, and
// the dialogs are drawn over it (OnAfterRender). The main window itself writes no game state.
bool TFormTarvin::RunOnce() {
  if (!loop_->PumpEvents()) return false;
  AsyncTimer.Poll(clock_);
  engine_->PollAudio();
  host_->Update(Now());
  bool drew = false;
  if (engine_->ViewRunning()) {
    engine_->Cadencer->Progress();
    engine_->Viewer->Render();
    drew = true;
  } else if (loop_->TakeExposed() || screen_->NeedsPresent() || Now() - lastPresent_ > kStillRefresh) {
    // The still screen is also redrawn a few times a second: a frame lost to a window
    // change or an uncovered window heals by itself at no noticeable cost.
    screen_->PresentNow();
    lastPresent_ = Now();
    drew = true;
  }
  UpdateSystemCursor();
  if (!drew) WaitForWork();
  return loop_->Running();
}

void TFormTarvin::WaitForWork() {
  if (engine_->WorldRunning() && engine_->Cadencer->Enabled()) {
    platform::SleepMs(1);
    return;
  }
  // Nothing moves on screen: sleep until the player does something or the tick, a hint or
  // the still screen's refresh is due, instead of spinning a core.
  const double untilTick = AsyncTimer.Enabled() ? AsyncTimer.DueTime() - Now() : 1.0;
  const double untilRefresh = lastPresent_ + kStillRefresh - Now();
  const double seconds = std::min({untilTick, untilRefresh, MaxIdleWaitMs / 1000.0});
  if (seconds > 0) loop_->WaitForEvent(static_cast<int>(seconds * 1000));
}

void TFormTarvin::Run() {
  while (RunOnce()) {
  }
}

void TFormTarvin::MakeDialogs() {
  dialogs_ = std::make_unique<TTRVDialogs>(fonts_);
  for (ui::TDialogForm* dialog : Dialogs()) host_->AddForm(*dialog);
}

void TFormTarvin::CloseDialogs() {
  for (ui::TDialogForm* dialog : Dialogs()) dialog->Hide();
}

void TFormTarvin::ShowDialog(ui::TDialogForm& dialog) {
  ui::TDialogForm* one = &dialog;
  ui::LayoutForms(std::span<ui::TDialogForm* const>(&one, 1), corners_, engine_->Settings.ResolutionX,
                  engine_->Settings.ResolutionY);
  dialog.Show();
}

void TFormTarvin::ShowTitleScreen() {
  titleShown_ = !hasScreenshot_;
  if (titleShown_)
    ImageCanvas = TitleScreen(engine_->ScreenTheme, engine_->Settings.ResolutionX, engine_->Settings.ResolutionY);
  screen_->SetStillImage(ImageCanvas);
  screen_->ShowStill(true);
}

TTRVLanguage TFormTarvin::Language() const {
  return LanguageOf(engine_ ? engine_->Settings.Language : std::string());
}

void TFormTarvin::UpdateSystemCursor() {
  // Over the running 3D view the HUD draws the cursor; over a dialog or the still screen the
  // system's own is back.
  const platform::InputState& input = window_.Input();
  const bool hide = engine_->WorldRunning() && engine_->ViewRunning() && !host_->FormAt(input.MouseX(), input.MouseY());
  if (platform::CursorVisible() == hide) platform::ShowCursor(!hide);
}

void TFormTarvin::Pause(bool snapshot) {
  engine_->Pause();
  if (snapshot) {
    titleShown_ = false;
    engine_->PrepareSnapshot();
    ImageCanvas = engine_->SnapshotBitmap;
    screen_->SetStillImage(ImageCanvas);
  }
  screen_->ShowStill(true);
  screen_->PresentNow();
}

void TFormTarvin::Resume() {
  screen_->ShowStill(false);
  engine_->Resume();
}

void TFormTarvin::ApplySettings(bool changeDisplay) {
  TTRVSettings& s = engine_->Settings;
  std::string error;
  if (engine_->WriteSettings(error)) {
    engine_->ReadSettings();
  } else {
    // The choices stay in memory for this session; reading the old file back would undo
    // them (a read-only program folder would then ask for the language for ever).
    platform::LogError("settings", error);
    s.Mend();
    s.Derive();
    ReportSettingsNotSaved(error);
  }
  engine_->NextMusicTrack();  // the Music switch takes effect at once
  // A running game is kept across the change and loaded back after it. One that could not
  // be kept goes on as it was, and the player is told.
  const std::string tempSave(kTempSaveName);
  bool tempSaved = false, tempSaveFailed = false;
  std::string tempSaveError;
  if (engine_->WorldRunning()) {
    tempSaved = engine_->SaveGame(tempSave);
    if (!tempSaved) {
      tempSaveFailed = true;
      tempSaveError = engine_->LastError();
      platform::LogError("save", "the game was not kept across the settings change: " + tempSaveError);
    }
  }

  if (changeDisplay && s.FullScr) {
    TScreenResolution mode = FullScreen.ResolutionMode();
    ModeForWidth(s.ResolutionX, mode);
    if (!FullScreen.SetResolutionMode(mode, error)) {
      // A screen smaller than the chosen mode shows the desktop's own mode instead of
      // giving up on the rest of the settings.
      platform::LogWarning("display", error + " Using the desktop mode.");
      FullScreen.SetResolutionMode(srDefault, error);
    }
    // The window takes the mode's size first: without a window manager nobody else resizes it.
    const TDisplayMode& m = FullScreen.DisplayMode();
    if (FullScreen.Active()) FullScreen.Leave();
    window_.SetSize(m.Width, m.Height);
    window_.MoveTo(0, 0);
    if (!FullScreen.Enter()) platform::LogWarning("display", "full screen refused; staying in a window");
    // Whatever the display granted, the settings describe the window actually shown.
    s.ResolutionX = window_.Width();
    s.ResolutionY = window_.Height();
  } else {
    if (changeDisplay && FullScreen.Active()) FullScreen.Leave();
    if (!FullScreen.Active()) {
      window_.SetSize(s.ResolutionX, s.ResolutionY);
      window_.MoveTo(0, 0);
    }
  }
  engine_->ApplyViewport();

  ui::LayoutForms(Dialogs(), corners_, s.ResolutionX, s.ResolutionY);
  host_->SetScreenSize(s.ResolutionX, s.ResolutionY);
  std::vector<platform::widgets::TForm*> forms(Dialogs().begin(), Dialogs().end());
  LoadTexts(folder_, s.Language, forms, engine_->Texts);
  engine_->Tips.LoadTips(folder_, s.Language);
  // The title picture is drawn for the screen it is shown on.
  if (titleShown_) ShowTitleScreen();
  if (tempSaved) {
    // The same way back as the menus' loads; kept on disk only when it could not be read,
    // so the player's list never holds a copy of the game's own.
    if (LoadGame(tempSave)) {
      std::error_code ec;
      std::filesystem::remove(engine_->Files().Save(tempSave), ec);
    }
  } else if (tempSaveFailed) {
    ShowError(TextId::ErrorTempSaveNotWritten, tempSaveError, true);
  }
}

void TFormTarvin::WriteScreenshot() {
  const platform::Bitmap& shot = engine_->SnapshotBitmap;
  if (shot.Empty() || shot.Width() != engine_->Settings.ResolutionX) return;
  std::string error;
  if (!shot.SaveBmp(engine_->Files().Screenshot().string(), error)) platform::LogError("screenshot", error);
}
