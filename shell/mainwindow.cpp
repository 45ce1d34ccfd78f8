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

namespace {

// What the game-over dialog says for each reason.
constexpr std::pair<TTRVReason, TextId> kReasonTexts[] = {
    {TTRVReason::HeliDestroyed, TextId::ReasonHeliLost},
    {TTRVReason::TankDestroyed, TextId::ReasonTankLost},
    {TTRVReason::BoatDestroyed, TextId::ReasonBoatLost},
    {TTRVReason::BaseCaptured, TextId::ReasonBaseLost},
    {TTRVReason::UnitsLost, TextId::ReasonUnitsLost},
    {TTRVReason::EnemyBaseCaptured, TextId::ReasonEnemyBase},
    {TTRVReason::EnemyUnitsDestroyed, TextId::ReasonEnemyUnits},
};

TextId ReasonText(TTRVReason reason) {
  for (const auto& [r, text] : kReasonTexts)
    if (r == reason) return text;
  return TextId::GameOver;
}

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
  // The engine first: it stops the world, which may still draw through the window.
  engine_.reset();
  dialogs_.clear();
  formTutorial_.reset();
  formCredits_.reset();
  formTips_.reset();
  formError_.reset();
  formCampDecide_.reset();
  formGameOver_.reset();
  formCreateWorld_.reset();
  formSkirmishDecide_.reset();
  formLoading_.reset();
  formGameMenu_.reset();
  formMainMenu_.reset();
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
  hasScreenshot_ = ImageCanvas.LoadBmpFile((folder_ / "Screenshot.bmp").string(), bmpError);
  ShowTitleScreen();
  InstallWorldFactories(*engine_);
  OnPlayJingle = [this](TTRVReason reason) { engine_->PlayJingle(ReasonWord(reason)); };
  engine_->OnLoadingProgress = [this](const std::string& text, int percent, const std::string& tip) {
    formLoading_->SetProgress(text, percent, tip);
    screen_->PresentNow();
  };
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

bool TFormTarvin::RunOnce() {
  if (!loop_->PumpEvents()) return false;
  AsyncTimer.Poll(clock_);
  engine_->PollAudio();
  host_->Update(Now());
  bool drew = false;
  if (engine_->Viewer->Visible && engine_->Cadencer->Enabled()) {
    engine_->ZoomAccumulator = AddWheelDelta(engine_->ZoomAccumulator, window_.Input().TakeWheelDelta());
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
  // In the order the game has always made them; the texts are applied in this order too.
  formMainMenu_ = std::make_unique<ui::TFormMainMenu>(fonts_);
  formGameMenu_ = std::make_unique<ui::TFormGameMenu>(fonts_);
  formLoading_ = std::make_unique<ui::TFormLoading>(fonts_);
  formSkirmishDecide_ = std::make_unique<ui::TFormSkirmishDecide>(fonts_);
  formCreateWorld_ = std::make_unique<ui::TFormCreateWorld>(fonts_);
  formGameOver_ = std::make_unique<ui::TFormGameOver>(fonts_);
  formCampDecide_ = std::make_unique<ui::TFormCampDecide>(fonts_);
  formError_ = std::make_unique<ui::TFormError>(fonts_);
  formTips_ = std::make_unique<ui::TFormTips>(fonts_);
  formCredits_ = std::make_unique<ui::TFormCredits>(fonts_);
  formTutorial_ = std::make_unique<ui::TFormTutorial>(fonts_);
  dialogs_ = {formMainMenu_.get(), formGameMenu_.get(), formLoading_.get(), formSkirmishDecide_.get(),
              formCreateWorld_.get(), formGameOver_.get(), formCampDecide_.get(), formError_.get(),
              formTips_.get(), formCredits_.get(), formTutorial_.get()};
  formGameMenu_->Offers.save = kSavesOffered;
  formGameMenu_->Offers.load = kSavesOffered;
  formGameMenu_->Arrange();
  for (ui::TDialogForm* dialog : dialogs_) host_->AddForm(*dialog);
}

void TFormTarvin::CloseDialogs() {
  for (ui::TDialogForm* dialog : dialogs_) dialog->Hide();
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

void TFormTarvin::StartWorld(const std::string& name, const TTRVWorldInfo* info) {
  CloseDialogs();
  formLoading_->SetProgress("", 0, engine_->Tips.CurrentTip());
  formLoading_->Show();
  screen_->PresentNow();
  if (!engine_->StartWorld(name, info)) {
    // Nothing will ever say "Loaded": tell the player now instead of waiting for it.
    formLoading_->Hide();
    ShowError(TextId::ErrorWorldNotLoaded, engine_->LastError);
    return;
  }
  Resume();
}

void TFormTarvin::LoadGame(const std::string& name) {
  CloseDialogs();
  formLoading_->SetProgress("", 0, engine_->Tips.CurrentTip());
  formLoading_->Show();
  screen_->PresentNow();
  engine_->LastSaveUnreadable = false;
  if (!engine_->LoadGame(name)) {
    engine_->StopWorld();
    formLoading_->Hide();
    // A broken automatic save would be offered again and again; one whose world file is
    // only missing is kept.
    if (name == "AutoSave" && engine_->LastSaveUnreadable) {
      std::error_code ec;
      std::filesystem::remove(folder_ / "save" / "AutoSave.TRV", ec);
    }
    ShowError(TextId::ErrorSaveNotLoaded, engine_->LastError);
  }
}

void TFormTarvin::ShowError(TextId text, const std::string& detail) {
  formError_->SetText(TextString(text, Language()));
  formError_->SetDetail(detail);
  ShowDialog(*formError_);
}

void TFormTarvin::UpdateSystemCursor() {
  // Over the running 3D view the HUD draws the cursor; over a dialog or the still screen the
  // system's own is back.
  const platform::InputState& input = window_.Input();
  const bool hide = engine_->WorldRunning() && engine_->Viewer->Visible && engine_->Cadencer->Enabled() &&
                    !host_->FormAt(input.MouseX(), input.MouseY());
  if (platform::CursorVisible() == hide) platform::ShowCursor(!hide);
}

void TFormTarvin::Pause(bool snapshot) {
  engine_->Cadencer->SetEnabled(false);
  if (snapshot) {
    titleShown_ = false;
    engine_->PrepareSnapshot();
    ImageCanvas = engine_->SnapshotBitmap;
    screen_->SetStillImage(ImageCanvas);
  }
  screen_->ShowStill(true);
  screen_->PresentNow();
  engine_->Viewer->Enabled = false;
  engine_->Viewer->Visible = false;
}

void TFormTarvin::Resume() {
  engine_->Viewer->Visible = true;
  engine_->Viewer->Enabled = true;
  screen_->ShowStill(false);
  engine_->Cadencer->SetEnabled(true);
  engine_->FadeProgress = 0;
  engine_->FadeState = fsFadingIn;
}

void TFormTarvin::ExitToMainMenu() {
  formGameOver_->Hide();
  Pause(true);
  engine_->StopWorld();
  ShowMainMenu();
}

void TFormTarvin::ApplySettings(bool changeDisplay) {
  TTRVSettings& s = engine_->Settings;
  std::string error;
  if (!engine_->WriteSettings(error)) platform::LogError("settings", error);
  engine_->ReadSettings();
  engine_->NextMusicTrack();  // the Music switch takes effect at once
  bool tempSaved = engine_->WorldRunning() && engine_->SaveGame("TempSave");

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

  ui::LayoutForms(dialogs_, corners_, s.ResolutionX, s.ResolutionY);
  host_->SetScreenSize(s.ResolutionX, s.ResolutionY);
  std::vector<platform::widgets::TForm*> forms(dialogs_.begin(), dialogs_.end());
  LoadTexts(folder_, s.Language, forms, engine_->Texts);
  engine_->Tips.LoadTips(folder_, s.Language);
  // The title picture is drawn for the screen it is shown on.
  if (titleShown_) ShowTitleScreen();
  if (tempSaved) engine_->LoadGame("TempSave");
}

void TFormTarvin::Tick() {
  if (!engine_) return;
  const TTRVStatus status = engine_->Status;
  if (status == TTRVStatus::Loaded || status == TTRVStatus::CampLoaded) {
    formLoading_->Hide();
    Resume();
  }
  formGameMenu_->SetSaveAllowed(!MissionOver(status));
  if (!MissionOver(status)) {
    EndTicks = 0;
  } else {
    ++EndTicks;
    if (EndTicks == 4) {
      engine_->FadeState = fsFadingOut;
      engine_->FadeProgress = 1.0f;
    }
    if (EndTicks > 5 && EndTicks < 100) {
      GameOverStep();
      EndTicks = 101;  // shown once
    }
  }
  if (status == TTRVStatus::Esc) {
    if (engine_->WorldRunning()) {
      Pause(true);
      CloseDialogs();
      ShowDialog(*formGameMenu_);
    } else {
      ShowMainMenu();
    }
  }
  engine_->Status = TTRVStatus::None;
}

void TFormTarvin::GameOverStep() {
  Pause(true);
  TTRVEngine& e = *engine_;
  const TTRVLanguage language = Language();
  formGameOver_->SetReason(TextString(ReasonText(e.Reason), language));
  if (e.Status == TTRVStatus::Accomplished) {
    formGameOver_->SetTitle(TextString(TextId::MissionAccomplished, language));
    std::string campaign = e.World ? e.World->CampaignName() : "";
    bool inCampaign = !campaign.empty() && campaign != "- - -";
    formGameOver_->ShowButtons(!inCampaign, false, inCampaign);
    if (inCampaign) formGameOver_->SetContinueCaption(TextString(TextId::ContinueCampaign, language));
  } else {
    formGameOver_->SetTitle(TextString(TextId::MissionFailed, language));
    formGameOver_->ShowButtons(true, kSavesOffered, false);
  }
  if (e.TutorialMode) {
    // Won or lost, a lesson played unlocks the next ones.
    if (e.LessonUnlock > e.Settings.Tutorial) {
      e.Settings.Tutorial = e.LessonUnlock;
      std::string error;
      if (!e.WriteSettings(error)) platform::LogError("settings", error);
    }
    formGameOver_->ShowButtons(false, false, true);
    formGameOver_->SetContinueCaption(TextString(TextId::ContinueTutorial, language));
  }
  // A mission that ended with no condition to name has no jingle of its own.
  if (OnPlayJingle && e.Reason != TTRVReason::None) OnPlayJingle(e.Reason);
  CloseDialogs();
  ShowDialog(*formGameOver_);
}

void TFormTarvin::WriteScreenshot() {
  const platform::Bitmap& shot = engine_->SnapshotBitmap;
  if (shot.Empty() || shot.Width() != engine_->Settings.ResolutionX) return;
  std::string error;
  if (!shot.SaveBmp((folder_ / "Screenshot.bmp").string(), error)) platform::LogError("screenshot", error);
}
