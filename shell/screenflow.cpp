// The screen flow: what every dialog button does, the main menu's first run and tutorial
// gating, the tutorial's island and lessons.
#include <filesystem>
#include <new>
#include <system_error>

#include "generator/creator.h"
#include "platform/log.h"
#include "shell/lessons.h"
#include "shell/mainwindow.h"

using platform::widgets::TWidget;

void TFormTarvin::ConnectDialogs() {
  ConnectMainMenu();

  formGameMenu_->PanelContinue().OnClick = [this](TWidget&) {
    formGameMenu_->Hide();
    Resume();
  };
  formGameMenu_->PanelExit().OnClick = [this](TWidget&) { ExitToMainMenu(); };

  formGameOver_->PanelMainMenu().OnClick = [this](TWidget&) { ExitToMainMenu(); };
  formGameOver_->PanelLoad().OnClick = [this](TWidget&) {
    formGameOver_->Hide();
    engine_->StopWorld();
    ShowMainMenu();
  };
  formGameOver_->PanelContinue().OnClick = [this](TWidget&) {
    formGameOver_->Hide();
    engine_->StopWorld();
    Pause(false);
    // A lesson goes back to the lessons; a campaign's next mission comes with campaigns.
    if (engine_->TutorialMode) ShowTutorial();
    else ShowMainMenu();
  };

  formError_->PanelOK().OnClick = [this](TWidget&) { ShowMainMenu(); };

  formTips_->PanelNext().OnClick = [this](TWidget&) {
    engine_->Tips.ForceNext();
    formTips_->SetTip(engine_->Tips.CurrentTip());
  };
  formTips_->PanelCancel().OnClick = [this](TWidget&) { ShowMainMenu(); };
  formCredits_->PanelOK().OnClick = [this](TWidget&) { ShowMainMenu(); };

  formTutorial_->OnLesson = [this](int lesson) { StartLesson(lesson); };
  formTutorial_->PanelCancel().OnClick = [this](TWidget&) { ShowMainMenu(); };

  formSkirmishDecide_->PanelCancel().OnClick = [this](TWidget&) { ShowMainMenu(); };
  formCampDecide_->PanelCancel().OnClick = [this](TWidget&) { ShowMainMenu(); };
}

void TFormTarvin::ConnectMainMenu() {
  ui::TFormMainMenu& menu = *formMainMenu_;
  menu.PanelCzech().OnClick = [this](TWidget&) { ChooseLanguage("CZE"); };
  menu.PanelEnglish().OnClick = [this](TWidget&) { ChooseLanguage("ENG"); };
  menu.PanelTutorial().OnClick = [this](TWidget&) { OpenTutorial(); };
  menu.PanelTips().OnClick = [this](TWidget&) {
    CloseDialogs();
    formTips_->SetTip(engine_->Tips.CurrentTip());
    ShowDialog(*formTips_);
  };
  menu.PanelCredits().OnClick = [this](TWidget&) {
    CloseDialogs();
    ShowDialog(*formCredits_);
  };
  // The games outside the tutorial leave its forced weapons behind.
  menu.PanelSkirmish().OnClick = [this](TWidget&) {
    engine_->TutorialMode = false;
    CloseDialogs();
    ShowDialog(*formSkirmishDecide_);
  };
  menu.PanelCampaign().OnClick = [this](TWidget&) {
    engine_->TutorialMode = false;
    CloseDialogs();
    ShowDialog(*formCampDecide_);
  };
  menu.PanelLoadGame().OnClick = [this](TWidget&) { engine_->TutorialMode = false; };
  menu.PanelExit().OnClick = [this](TWidget&) { ExitProgram(); };
}

void TFormTarvin::ShowMainMenu() {
  CloseDialogs();
  ui::TMainMenuState state;
  state.languageChosen = engine_->Settings.LangSelected;
  state.tutorialProgress = engine_->Settings.Tutorial;
  state.loadGameOffered = kSavesOffered;
  formMainMenu_->Arrange(state);
  screen_->ShowStill(true);
  ShowDialog(*formMainMenu_);
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

void TFormTarvin::OpenTutorial() {
  CloseDialogs();
  std::error_code ec;
  if (!std::filesystem::exists(folder_ / "worlds" / (std::string(kTutorialWorld) + ".TRV"), ec) &&
      !GenerateTutorialWorld())
    return;
  ShowTutorial();
}

bool TFormTarvin::GenerateTutorialWorld() {
  formCreateWorld_->StartProgress(kTutorialWorld);
  ShowDialog(*formCreateWorld_);
  screen_->PresentNow();
  TTRVCreateResult result;
  try {
    TTRVWorldCreator creator(folder_);
    creator.progress.language = Language();
    creator.progress.repaint = [this](const TTRVProgressView& view) {
      formCreateWorld_->ShowProgress(view, engine_->Tips.CurrentTip());
      screen_->PresentNow();
    };
    result = creator.CreateWorld(TutorialWorldParams(), TTRVSketchSource::RandomSingle, kTutorialWorld,
                                 kTutorialBases);
  } catch (const std::bad_alloc&) {
    result.error = "not enough memory to generate the tutorial island";
  } catch (const std::exception& e) {
    result.error = e.what();
  }
  formCreateWorld_->Hide();
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
  formTutorial_->Arrange(engine_->Settings.Tutorial, engine_->Texts.LessonNames, Language());
  screen_->ShowStill(true);
  ShowDialog(*formTutorial_);
}

void TFormTarvin::StartLesson(int lesson) {
  if (lesson < 0 || lesson >= kTutorialLessons) return;
  const TTRVLesson& l = Lessons()[static_cast<std::size_t>(lesson)];
  const TTRVWorldInfo info = LessonWorldInfo(lesson, Language());
  engine_->TutorialMode = true;
  engine_->TutorialWeapon = l.forcedWeapon;
  engine_->LessonUnlock = l.unlock;
  formTutorial_->Hide();
  StartWorld(kTutorialWorld, &info);
  if (!engine_->WorldRunning()) {
    // The island is made only when it is missing: a broken one would refuse every lesson
    // for good. It goes, and the next visit to the tutorial makes a new one.
    std::error_code ec;
    for (const char* suffix : {".TRV", "MAP.bmp", "THUMB.bmp"})
      std::filesystem::remove(folder_ / "worlds" / (std::string(kTutorialWorld) + suffix), ec);
  }
}
