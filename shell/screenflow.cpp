// The screen flow: what every dialog button does (one table of transitions), the supervisory
// tick that turns the engine's status into screen changes, the game-over step, the main
// menu's first run and tutorial gating, the tutorial's island and lessons.
#include <filesystem>
#include <functional>
#include <new>
#include <system_error>
#include <utility>

#include "generator/creator.h"
#include "platform/log.h"
#include "shell/lessons.h"
#include "shell/mainwindow.h"
#include "ui/createworlddialog.h"
#include "ui/creditsdialog.h"
#include "ui/decidedialogs.h"
#include "ui/errordialog.h"
#include "ui/gamemenu.h"
#include "ui/gameoverdialog.h"
#include "ui/inputdialog.h"
#include "ui/loadingdialog.h"
#include "ui/mainmenu.h"
#include "ui/selectiondialog.h"
#include "ui/tipsdialog.h"
#include "ui/tutorialdialog.h"
#include "ui/worlddata.h"
#include "world/filenames.h"

using platform::widgets::TPanel;
using platform::widgets::TWidget;

namespace {

// A button of one dialog and what a click on it does.
struct TTRVTransition {
  std::function<TPanel&(const TTRVDialogs&)> button;
  void (TFormTarvin::*action)();
};

template <class D>
std::function<TPanel&(const TTRVDialogs&)> On(TPanel& (D::*panel)()) {
  return [panel](const TTRVDialogs& dialogs) -> TPanel& { return (dialogs.Get<D>().*panel)(); };
}

using F = TFormTarvin;
using namespace ui;

// Every button of the screen flow. Saves, skirmish, campaign and options add their rows here.
const TTRVTransition kTransitions[] = {
    {On(&TFormMainMenu::PanelCzech), &F::ChooseCzech},
    {On(&TFormMainMenu::PanelEnglish), &F::ChooseEnglish},
    {On(&TFormMainMenu::PanelTutorial), &F::OpenTutorial},
    {On(&TFormMainMenu::PanelSkirmish), &F::OpenSkirmish},
    {On(&TFormMainMenu::PanelCampaign), &F::OpenCampaign},
    {On(&TFormMainMenu::PanelLoadGame), &F::OpenLoadGame},
    {On(&TFormMainMenu::PanelTips), &F::ShowTips},
    {On(&TFormMainMenu::PanelCredits), &F::Open<TFormCredits>},
    {On(&TFormMainMenu::PanelExit), &F::ExitProgram},

    {On(&TFormGameMenu::PanelContinue), &F::ContinueGame},
    {On(&TFormGameMenu::PanelExit), &F::ExitToMainMenu},
    {On(&TFormGameMenu::PanelSave), &F::OpenSaveFromGame},
    {On(&TFormGameMenu::PanelLoad), &F::OpenLoadFromGame},

    {On(&TFormGameOver::PanelMainMenu), &F::ExitToMainMenu},
    {On(&TFormGameOver::PanelLoad), &F::LeaveFinishedGame},
    {On(&TFormGameOver::PanelContinue), &F::ContinueAfterGame},

    {On(&TFormError::PanelOK), &F::CloseError},
    {On(&TFormTips::PanelNext), &F::NextTip},
    {On(&TFormTips::PanelCancel), &F::ShowMainMenu},
    {On(&TFormCredits::PanelOK), &F::ShowMainMenu},
    {On(&TFormTutorial::PanelCancel), &F::ShowMainMenu},
    {On(&TFormSkirmishDecide::PanelLoadWorld), &F::OpenWorldList},
    {On(&TFormSkirmishDecide::PanelCancel), &F::ShowMainMenu},

    {On(&TFormSelection::PanelSelect), &F::SelectionSelect},
    {On(&TFormSelection::PanelDelete), &F::SelectionDelete},
    {On(&TFormSelection::PanelCancel), &F::SelectionCancel},
    {On(&TFormInput::PanelCancel), &F::InputCancel},
    {On(&TFormCampDecide::PanelCancel), &F::ShowMainMenu},
};

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

}  // namespace

void TFormTarvin::ConnectDialogs() {
  for (const TTRVTransition& t : kTransitions) {
    const auto action = t.action;
    t.button(*dialogs_).OnClick = [this, action](TWidget&) { (this->*action)(); };
  }
  Dialog<TFormTutorial>().OnLesson = [this](int lesson) { StartLesson(lesson); };

  TFormGameMenu& gameMenu = Dialog<TFormGameMenu>();
  gameMenu.Offers.save = true;
  gameMenu.Offers.load = true;
  gameMenu.Arrange();
  ConnectListDialogs();

  engine_->OnLoadingProgress = [this](const std::string& text, int percent, const std::string& tip) {
    Dialog<TFormLoading>().SetProgress(text, percent, tip);
    screen_->PresentNow();
  };
}

void TFormTarvin::ContinueGame() {
  Dialog<TFormGameMenu>().Hide();
  Resume();
}

void TFormTarvin::ExitToMainMenu() {
  Dialog<TFormGameOver>().Hide();
  Pause(true);
  engine_->StopWorld();
  ShowMainMenu();
}

void TFormTarvin::LeaveFinishedGame() {
  Dialog<TFormGameOver>().Hide();
  engine_->StopWorld();
  OpenSelection(ui::TSelectionMode::LoadGame);
}

void TFormTarvin::ContinueAfterGame() {
  Dialog<TFormGameOver>().Hide();
  const bool lesson = engine_->TutorialMode();
  engine_->StopWorld();
  Pause(false);
  // A lesson goes back to the lessons; a campaign's next mission comes with campaigns.
  if (lesson) ShowTutorial();
  else ShowMainMenu();
}

void TFormTarvin::ShowTips() {
  CloseDialogs();
  TFormTips& tips = Dialog<TFormTips>();
  tips.SetTip(engine_->Tips.CurrentTip());
  ShowDialog(tips);
}

void TFormTarvin::NextTip() {
  engine_->Tips.ForceNext();
  Dialog<TFormTips>().SetTip(engine_->Tips.CurrentTip());
}

void TFormTarvin::ShowMainMenu() {
  CloseDialogs();
  ui::TMainMenuState state;
  state.languageChosen = engine_->Settings.LangSelected;
  state.tutorialProgress = engine_->Settings.Tutorial;
  state.loadGameOffered = true;
  TFormMainMenu& menu = Dialog<TFormMainMenu>();
  menu.Arrange(state);
  screen_->ShowStill(true);
  ShowDialog(menu);
  if (settingsErrorPending_) {
    // Said once, over the menu: its OK comes back here with nothing pending.
    settingsErrorPending_ = false;
    ShowError(TextId::ErrorSettingsNotSaved, settingsError_);
  }
}

void TFormTarvin::ReportSettingsNotSaved(const std::string& error) {
  if (settingsWriteReported_) return;
  settingsWriteReported_ = true;
  settingsErrorPending_ = true;
  settingsError_ = error;
}

void TFormTarvin::ChooseLanguage(const std::string& language) {
  engine_->Settings.Language = language;
  engine_->Settings.LangSelected = true;
  ApplySettings(false);
  ShowMainMenu();
}

void TFormTarvin::ExitProgram() {
  std::string error;
  if (!engine_->WriteSettings(error)) platform::LogError("settings", error);
  Close();
}

void TFormTarvin::StartWorld(const std::string& name, const TTRVWorldInfo* info, const TTRVGameStart& start) {
  CloseDialogs();
  TFormLoading& loading = Dialog<TFormLoading>();
  loading.SetProgress("", 0, engine_->Tips.CurrentTip());
  loading.Show();
  screen_->PresentNow();
  lastStart_ = engine_->StartWorld(name, info, start);
  loading.Hide();
  if (lastStart_ != TTRVStartOutcome::Started) {
    // Nothing will ever say "Loaded": tell the player now instead of waiting for it.
    ShowError(TextId::ErrorWorldNotLoaded, engine_->LastError());
    return;
  }
  // The load is done: the game starts now, and its "Loaded" is taken here so that the next
  // tick does not resume it a second time (the fade-in would start over).
  if (engine_->Status == TTRVStatus::Loaded) engine_->TakeStatus();
  Resume();
}

bool TFormTarvin::LoadGame(const std::string& name) {
  CloseDialogs();
  TFormLoading& loading = Dialog<TFormLoading>();
  loading.SetProgress("", 0, engine_->Tips.CurrentTip());
  loading.Show();
  screen_->PresentNow();
  if (!engine_->LoadGame(name)) {
    loading.Hide();
    // What can be told from the save alone is refused before the engine stops the game it
    // runs: that game goes on, paused under its menu. A load that failed later took it.
    const bool gameKept = engine_->WorldRunning();
    // A broken automatic save would be offered again and again; one whose world file is
    // only missing is kept.
    if (name == kAutoSaveName && engine_->SaveUnreadable()) {
      std::error_code ec;
      std::filesystem::remove(engine_->Files().Save(name), ec);
    }
    ShowError(TextId::ErrorSaveNotLoaded, engine_->LastError(), gameKept);
    return false;
  }
  loading.Hide();
  // As after StartWorld: the game starts now, and the tick does not resume it again.
  if (engine_->Status == TTRVStatus::Loaded) engine_->TakeStatus();
  Resume();
  return true;
}

void TFormTarvin::ShowError(TextId text, const std::string& detail, bool backToGame) {
  errorBackToGame_ = backToGame;
  TFormError& dialog = Dialog<TFormError>();
  dialog.SetText(TextString(text, Language()));
  dialog.SetDetail(detail);
  ShowDialog(dialog);
}

void TFormTarvin::Tick() {
  if (!engine_) return;
  const TTRVStatus status = engine_->TakeStatus();
  if (status == TTRVStatus::Loaded || status == TTRVStatus::CampLoaded) {
    Dialog<TFormLoading>().Hide();
    Resume();
  }
  Dialog<TFormGameMenu>().SetSaveAllowed(!MissionOver(status));
  if (!MissionOver(status)) {
    EndTicks = 0;
  } else {
    ++EndTicks;
    if (EndTicks == kEndTickFadeOut) engine_->FadeOut();
    if (EndTicks > kEndTickGameOverAfter && EndTicks < kEndTickGameOverShown) {
      GameOverStep(status);
      EndTicks = kEndTickGameOverShown;
    }
  }
  if (status == TTRVStatus::Esc) {
    if (engine_->WorldRunning()) {
      Pause(true);
      CloseDialogs();
      ShowDialog(Dialog<TFormGameMenu>());
    } else {
      ShowMainMenu();
    }
  }
}

void TFormTarvin::GameOverStep(TTRVStatus status) {
  Pause(true);
  TTRVEngine& e = *engine_;
  TFormGameOver& dialog = Dialog<TFormGameOver>();
  const TTRVLanguage language = Language();
  dialog.SetReason(TextString(ReasonText(e.Reason), language));
  if (status == TTRVStatus::Accomplished) {
    dialog.SetTitle(TextString(TextId::MissionAccomplished, language));
    std::string campaign = e.World ? e.World->CampaignName() : "";
    bool inCampaign = !campaign.empty() && campaign != "- - -";
    dialog.ShowButtons(!inCampaign, false, inCampaign);
    if (inCampaign) dialog.SetContinueCaption(TextString(TextId::ContinueCampaign, language));
  } else {
    dialog.SetTitle(TextString(TextId::MissionFailed, language));
    dialog.ShowButtons(true, true, false);
  }
  if (e.TutorialMode()) {
    // Won or lost, a lesson played unlocks the next ones.
    if (e.LessonUnlock() > e.Settings.Tutorial) {
      e.Settings.Tutorial = e.LessonUnlock();
      std::string error;
      if (!e.WriteSettings(error)) {
        platform::LogError("settings", error);
        ReportSettingsNotSaved(error);  // the lessons stay open for this session
      }
    }
    dialog.ShowButtons(false, false, true);
    dialog.SetContinueCaption(TextString(TextId::ContinueTutorial, language));
  }
  // A mission that ended with no condition to name has no jingle of its own.
  if (OnPlayJingle && e.Reason != TTRVReason::None) OnPlayJingle(e.Reason);
  CloseDialogs();
  ShowDialog(dialog);
}

void TFormTarvin::OpenTutorial() {
  CloseDialogs();
  std::error_code ec;
  if (!std::filesystem::exists(engine_->Files().World(kTutorialWorld), ec) && !GenerateTutorialWorld()) return;
  ShowTutorial();
}

bool TFormTarvin::GenerateTutorialWorld() {
  TFormCreateWorld& progress = Dialog<TFormCreateWorld>();
  progress.StartProgress(kTutorialWorld);
  ShowDialog(progress);
  screen_->PresentNow();
  TTRVCreateResult result;
  try {
    TTRVWorldCreator creator(folder_);
    creator.progress.language = Language();
    creator.progress.repaint = [this, &progress](const TTRVProgressView& view) {
      // The music goes on while the island is made, as it does while a world loads.
      engine_->PollAudio();
      progress.ShowProgress(view, engine_->Tips.CurrentTip());
      screen_->PresentNow();
    };
    result = creator.CreateWorld(TutorialWorldParams(), TTRVSketchSource::RandomSingle, kTutorialWorld,
                                 kTutorialBases);
    // The repaints are throttled by time: the page shows where the island got to before it
    // closes, not wherever the last repaint happened to fall.
    if (result.ok) {
      progress.ShowProgress(creator.progress.View(), engine_->Tips.CurrentTip());
      screen_->PresentNow();
    }
  } catch (const std::bad_alloc&) {
    result.error = "not enough memory to generate the tutorial island";
  } catch (const std::exception& e) {
    result.error = e.what();
  }
  progress.Hide();
  if (!result.ok) {
    // The progress page has no buttons: the player must not be left in front of it.
    platform::LogError("tutorial", result.error);
    ShowError(TextId::ErrorTutorialNotCreated, result.error);
    return false;
  }
  return true;
}

void TFormTarvin::ShowTutorial() {
  CloseDialogs();
  TFormTutorial& tutorial = Dialog<TFormTutorial>();
  tutorial.Arrange(engine_->Settings.Tutorial, engine_->Texts.LessonNames, Language());
  screen_->ShowStill(true);
  ShowDialog(tutorial);
}

void TFormTarvin::StartLesson(int lesson) {
  if (lesson < 0 || lesson >= kTutorialLessons) return;
  const TTRVLesson& l = Lessons()[static_cast<std::size_t>(lesson)];
  const TTRVWorldInfo info = LessonWorldInfo(lesson, Language());
  Dialog<TFormTutorial>().Hide();
  StartWorld(kTutorialWorld, &info, {TTRVGameKind::Lesson, l.forcedWeapon, l.unlock});
  if (lastStart_ == TTRVStartOutcome::WorldUnreadable) {
    // The island is made only when it is missing: a broken one would refuse every lesson
    // for good. It goes, and the next visit to the tutorial makes a new one. A lesson that
    // refused for another reason (a missing theme, its own set-up) leaves a good island be.
    const platform::ProgramFiles& files = engine_->Files();
    std::error_code ec;
    for (const std::filesystem::path& file :
         {files.World(kTutorialWorld), files.WorldMap(kTutorialWorld), files.WorldThumb(kTutorialWorld)})
      std::filesystem::remove(file, ec);
  }
}
