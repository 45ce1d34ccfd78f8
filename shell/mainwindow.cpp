// The main window: start-up, the supervisory tick, pausing and resuming, display modes and
// the game-over step.
#include "shell/mainwindow.h"

#include <cstdio>
#include <system_error>

#include "platform/clock.h"
#include "platform/random.h"
#include "shell/controls.h"
#include "shell/texts.h"
#include "shell/worldfactory.h"

namespace {

struct ReasonText {
  const char* reason;
  const char* english;
  const char* czech;
};

constexpr ReasonText kFailedReasons[] = {
    {"GOheli", "Your helicopter was destroyed.", "Váš vrtulník byl zničen."},
    {"GOtank", "Your tank was destroyed.", "Váš tank byl zničen."},
    {"GOboat", "Your boat was destroyed.", "Vaše loď byla zničena."},
    {"GObase", "Your base was captured.", "Vaše základna byla zničena."},
    {"GOunits", "Friendly units were destroyed.", "Vaše jednotky byly zničeny."},
};

constexpr ReasonText kAccomplishedReasons[] = {
    {"MAbase", "Enemy base captured.", "Nepřátelská základna byla zničena."},
    {"MAunits", "Enemy units destroyed.", "Nepřátelské jednotky byly zničeny."},
};

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
  formGameOver_.reset();
  formError_.reset();
  formLoading_.reset();
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
  formLoading_ = std::make_unique<ui::TFormLoading>(fonts_);
  formGameOver_ = std::make_unique<ui::TFormGameOver>(fonts_);
  formError_ = std::make_unique<ui::TFormError>(fonts_);
  for (platform::widgets::TForm* f : {static_cast<platform::widgets::TForm*>(formLoading_.get()),
                                      static_cast<platform::widgets::TForm*>(formGameOver_.get()),
                                      static_cast<platform::widgets::TForm*>(formError_.get())})
    host_->AddForm(*f);

  // The last picture of the previous run lies behind the menus.
  std::string bmpError;
  if (ImageCanvas.LoadBmpFile((folder_ / "Screenshot.bmp").string(), bmpError)) screen_->SetStillImage(ImageCanvas);
  screen_->ShowStill(true);

  engine_ = std::make_unique<TTRVEngine>(window_, folder_, clock_);
  InstallWorldFactories(*engine_);
  engine_->OnLoadingProgress = [this](const std::string& text, int percent, const std::string& tip) {
    formLoading_->SetProgress(text, percent, tip);
    screen_->PresentNow();
  };
  engine_->Viewer->OnAfterRender = [this] { screen_->PresentOverView(); };

  formGameOver_->PanelMainMenu().OnClick = [this](platform::widgets::TWidget&) { ExitToMainMenu(); };
  formGameOver_->PanelLoad().OnClick = [this](platform::widgets::TWidget&) {
    formGameOver_->Hide();
    engine_->StopWorld();
    ShowMainMenu();
  };
  formGameOver_->PanelContinue().OnClick = [this](platform::widgets::TWidget&) {
    formGameOver_->Hide();
    engine_->StopWorld();
    Pause(false);
    ShowMainMenu();
  };
  formError_->PanelOK().OnClick = [this](platform::widgets::TWidget&) {
    formError_->Hide();
    ShowMainMenu();
  };

  loop_ = std::make_unique<platform::MessageLoop>(window_);
  loop_->OnEvent = [this](const SDL_Event& e) { return host_->HandleEvent(e); };
  loop_->OnQuit = [this] {
    // Closing the window or SIGTERM: keep the player's settings, then leave.
    std::string writeError;
    if (!engine_->WriteSettings(writeError)) std::fprintf(stderr, "morvane: %s\n", writeError.c_str());
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
  if (!drew) platform::SleepMs(1);
  return loop_->Running();
}

void TFormTarvin::Run() {
  while (RunOnce()) {
  }
}

void TFormTarvin::CloseDialogs() {
  for (platform::widgets::TForm* f : {static_cast<platform::widgets::TForm*>(formLoading_.get()),
                                      static_cast<platform::widgets::TForm*>(formGameOver_.get()),
                                      static_cast<platform::widgets::TForm*>(formError_.get())})
    f->Hide();
}

void TFormTarvin::ShowMainMenu() {
  // The menus arrive with the screen flow; until then the still image is the menu screen.
  CloseDialogs();
  screen_->ShowStill(true);
}

std::string TFormTarvin::OnOffText(bool on) const {
  if (engine_ && engine_->Settings.Language == "CZE") return on ? "Ano" : "Ne";
  return on ? "Enabled" : "Disabled";
}

platform::Color TFormTarvin::OnOffColor(bool on, bool greyWhenOff) const {
  if (on) return platform::MakeColor(0, 128, 0);
  return greyWhenOff ? platform::MakeColor(128, 128, 128) : platform::MakeColor(255, 0, 0);
}

void TFormTarvin::StartWorld(const std::string& name, const TTRVWorldInfo* info) {
  CloseDialogs();
  formLoading_->SetProgress("", 0, engine_->Tips.CurrentTip());
  formLoading_->Show();
  screen_->PresentNow();
  if (engine_->StartWorld(name, info) != "OK") {
    // Nothing will ever say "Loaded": tell the player now instead of waiting for it.
    formLoading_->Hide();
    formError_->Show();
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
  if (engine_->LoadGame(name) == "ERROR") {
    engine_->StopWorld();
    formLoading_->Hide();
    // A broken automatic save would be offered again and again; one whose world file is
    // only missing is kept.
    if (name == "AutoSave" && engine_->LastSaveUnreadable) {
      std::error_code ec;
      std::filesystem::remove(folder_ / "save" / "AutoSave.TRV", ec);
    }
    formError_->Show();
  }
}

void TFormTarvin::Pause(bool snapshot) {
  engine_->Cadencer->SetEnabled(false);
  if (snapshot) {
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
  if (!engine_->WriteSettings(error)) std::fprintf(stderr, "morvane: %s\n", error.c_str());
  engine_->ReadSettings();
  bool tempSaved = engine_->WorldRunning() && engine_->SaveGame("TempSave");

  if (changeDisplay && s.FullScr) {
    TScreenResolution mode = FullScreen.ResolutionMode();
    ModeForWidth(s.ResolutionX, mode);
    if (!FullScreen.SetResolutionMode(mode, error)) {
      // A screen smaller than the chosen mode shows the desktop's own mode instead of
      // giving up on the rest of the settings.
      std::fprintf(stderr, "morvane: %s Using the desktop mode.\n", error.c_str());
      FullScreen.SetResolutionMode(srDefault, error);
    }
    // The window takes the mode's size first: without a window manager nobody else resizes it.
    const TDisplayMode& m = FullScreen.DisplayMode();
    if (FullScreen.Active()) FullScreen.Leave();
    window_.SetSize(m.Width, m.Height);
    window_.MoveTo(0, 0);
    if (FullScreen.Enter()) {
      s.ResolutionX = m.Width;
      s.ResolutionY = m.Height;
    }
  } else {
    if (changeDisplay && FullScreen.Active()) FullScreen.Leave();
    if (!FullScreen.Active()) {
      window_.SetSize(s.ResolutionX, s.ResolutionY);
      window_.MoveTo(0, 0);
    }
  }
  engine_->ApplyViewport();

  std::array<ui::TDialogForm*, 3> dialogs = {formLoading_.get(), formGameOver_.get(), formError_.get()};
  ui::LayoutForms(dialogs, corners_, s.ResolutionX, s.ResolutionY);
  host_->SetScreenSize(s.ResolutionX, s.ResolutionY);
  std::array<platform::widgets::TForm*, 3> forms = {formLoading_.get(), formGameOver_.get(), formError_.get()};
  LoadTexts(folder_, s.Language, forms, engine_->Texts);
  engine_->Tips.LoadTips(folder_, s.Language);
  if (tempSaved) engine_->LoadGame("TempSave");
}

void TFormTarvin::Tick() {
  if (!engine_) return;
  std::string& status = engine_->Status;
  if (status == "Loaded" || status == "CampLoaded") {
    formLoading_->Hide();
    Resume();
  }
  if (status != "Failed" && status != "Accomplished") {
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
  if (status == "Esc") {
    if (engine_->WorldRunning()) Pause(true);
    ShowMainMenu();
  }
  status.clear();
}

void TFormTarvin::GameOverStep() {
  Pause(true);
  TTRVEngine& e = *engine_;
  bool czech = e.Settings.Language == "CZE";
  if (e.Status == "Accomplished") {
    formGameOver_->SetTitle(czech ? "Mise byla úspěšná !" : "Mission accomplished !");
    for (const ReasonText& r : kAccomplishedReasons)
      if (e.Reason == r.reason) formGameOver_->SetReason(czech ? r.czech : r.english);
    std::string campaign = e.World ? e.World->CampaignName() : "";
    bool inCampaign = !campaign.empty() && campaign != "- - -";
    formGameOver_->ShowButtons(!inCampaign, false, inCampaign);
    if (inCampaign) formGameOver_->SetContinueCaption(czech ? "Pokračuj v kampani" : "Continue campaign");
  } else {
    formGameOver_->SetTitle(czech ? "Mise byla neúspěšná !" : "Mission failed !");
    for (const ReasonText& r : kFailedReasons)
      if (e.Reason == r.reason) formGameOver_->SetReason(czech ? r.czech : r.english);
    formGameOver_->ShowButtons(true, true, false);
  }
  if (e.TutorialMode) {
    // Won or lost, a lesson played unlocks the next ones.
    if (e.LessonUnlock > e.Settings.Tutorial) {
      e.Settings.Tutorial = e.LessonUnlock;
      std::string error;
      e.WriteSettings(error);
    }
    formGameOver_->ShowButtons(false, false, true);
    formGameOver_->SetContinueCaption(czech ? "Pokračuj v tréninku" : "Continue tutorial");
  }
  if (OnPlayJingle) OnPlayJingle(e.Reason);
  formGameOver_->Show();
}

void TFormTarvin::WriteScreenshot() {
  const platform::Bitmap& shot = engine_->SnapshotBitmap;
  if (shot.Empty() || shot.Width() != engine_->Settings.ResolutionX) return;
  std::string error;
  if (!shot.SaveBmp((folder_ / "Screenshot.bmp").string(), error)) std::fprintf(stderr, "morvane: %s\n", error.c_str());
}
