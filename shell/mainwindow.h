// TFormTarvin: the main window and the process's spine. It owns the game window, the dialog
// host and the screen compositor, the engine and the dialogs; it runs the start-up order,
// the supervisory tick that turns the engine's Status and Reason words into screen changes,
// the display modes, and the operations every dialog uses (start, pause, resume, leave).
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/textids.h"
#include "platform/bitmap.h"
#include "platform/cursor.h"
#include "platform/fonts.h"
#include "platform/widgets/host.h"
#include "platform/window.h"
#include "shell/asynctimer.h"
#include "shell/engine.h"
#include "shell/fullscreen.h"
#include "ui/createworlddialog.h"
#include "ui/creditsdialog.h"
#include "ui/decidedialogs.h"
#include "ui/decoration.h"
#include "ui/errordialog.h"
#include "ui/gamemenu.h"
#include "ui/gameoverdialog.h"
#include "ui/loadingdialog.h"
#include "ui/mainmenu.h"
#include "ui/screen.h"
#include "ui/tipsdialog.h"
#include "ui/tutorialdialog.h"

class TFormTarvin {
 public:
  // `clock` answers seconds (the high-resolution counter when empty): tests drive time.
  explicit TFormTarvin(std::filesystem::path programFolder, std::function<double()> clock = {});
  ~TFormTarvin();
  TFormTarvin(const TFormTarvin&) = delete;
  TFormTarvin& operator=(const TFormTarvin&) = delete;

  // Program start: the window, the dialogs, the engine, the display settings.
  bool Create(std::string& error);
  // Runs the message loop until the window is closed or the program is asked to stop.
  void Run();
  // Closes the main window: the loop ends after the current pass.
  void Close() { loop_->Terminate(); }
  // One pass of the loop: events, the tick when due, a frame or a repaint.
  bool RunOnce();

  // Operations the dialogs use.
  void StartWorld(const std::string& name, const TTRVWorldInfo* info);
  void LoadGame(const std::string& name);
  void Pause(bool snapshot);
  void Resume();
  // Hides the system cursor over the running 3D view, shows it anywhere else.
  void UpdateSystemCursor();
  void ExitToMainMenu();
  void ApplySettings(bool changeDisplay);
  void ShowMainMenu();
  // The main menu's Tutorial: the tutorial dialog, the island generated first when missing.
  void OpenTutorial();
  void ShowTutorial();
  // A lesson button: the lesson's game on the tutorial island.
  void StartLesson(int lesson);
  // The first run's language buttons ("ENG" or "CZE").
  void ChooseLanguage(const std::string& language);
  // The main menu's Exit: keeps the settings and closes the window.
  void ExitProgram();

  // The supervisory tick (also called directly by tests).
  void Tick();
  int EndTicks = 0;
  // With no game running the loop sleeps until an event comes, at most this long (the tick
  // and the hints need it back by then).
  int MaxIdleWaitMs = 100;

  platform::Window& Window() { return window_; }
  TTRVEngine& Engine() { return *engine_; }
  platform::widgets::TWidgetHost& Host() { return *host_; }
  ui::TScreenCompositor& Screen() { return *screen_; }
  ui::TFormMainMenu& FormMainMenu() { return *formMainMenu_; }
  ui::TFormGameMenu& FormGameMenu() { return *formGameMenu_; }
  ui::TFormLoading& FormLoading() { return *formLoading_; }
  ui::TFormSkirmishDecide& FormSkirmishDecide() { return *formSkirmishDecide_; }
  ui::TFormCreateWorld& FormCreateWorld() { return *formCreateWorld_; }
  ui::TFormGameOver& FormGameOver() { return *formGameOver_; }
  ui::TFormCampDecide& FormCampDecide() { return *formCampDecide_; }
  ui::TFormError& FormError() { return *formError_; }
  ui::TFormTips& FormTips() { return *formTips_; }
  ui::TFormCredits& FormCredits() { return *formCredits_; }
  ui::TFormTutorial& FormTutorial() { return *formTutorial_; }
  // Every dialog, in the order they were made.
  const std::vector<ui::TDialogForm*>& Dialogs() const { return dialogs_; }
  TAsyncTimer AsyncTimer;
  TFullScreen FullScreen;
  platform::Bitmap ImageCanvas;
  // Called when the game-over step wants the jingle of a reason played.
  std::function<void(TTRVReason reason)> OnPlayJingle;

 private:
  // The save and load dialogs are not in this build: their buttons stay hidden.
  static constexpr bool kSavesOffered = false;

  void MakeDialogs();
  // The dialogs' buttons: what each one does (screenflow.cpp).
  void ConnectDialogs();
  void ConnectMainMenu();
  // Puts one dialog in its place for the screen (after it changed its size) and shows it.
  void ShowDialog(ui::TDialogForm& dialog);
  bool GenerateTutorialWorld();
  // The still image behind the menus: the last screenshot, else the title picture.
  void ShowTitleScreen();
  // Sleeps until an event arrives or the next tick, hint or repaint is due.
  void WaitForWork();
  void GameOverStep();
  // The error dialog with a text of ours and the details in the words of whatever refused.
  void ShowError(TextId text, const std::string& detail);
  TTRVLanguage Language() const;
  void CloseDialogs();
  void WriteScreenshot();
  double Now() const { return clock_(); }

  std::filesystem::path folder_;
  std::function<double()> clock_;
  platform::Window window_;
  platform::FontCache fonts_;
  platform::CursorSet cursors_;
  std::unique_ptr<platform::widgets::TWidgetHost> host_;
  std::unique_ptr<ui::TScreenCompositor> screen_;
  std::unique_ptr<platform::MessageLoop> loop_;
  ui::TCornerSets corners_;
  std::unique_ptr<ui::TFormMainMenu> formMainMenu_;
  std::unique_ptr<ui::TFormGameMenu> formGameMenu_;
  std::unique_ptr<ui::TFormLoading> formLoading_;
  std::unique_ptr<ui::TFormSkirmishDecide> formSkirmishDecide_;
  std::unique_ptr<ui::TFormCreateWorld> formCreateWorld_;
  std::unique_ptr<ui::TFormGameOver> formGameOver_;
  std::unique_ptr<ui::TFormCampDecide> formCampDecide_;
  std::unique_ptr<ui::TFormError> formError_;
  std::unique_ptr<ui::TFormTips> formTips_;
  std::unique_ptr<ui::TFormCredits> formCredits_;
  std::unique_ptr<ui::TFormTutorial> formTutorial_;
  std::vector<ui::TDialogForm*> dialogs_;
  bool hasScreenshot_ = false;
  bool titleShown_ = false;  // the still image is the title picture, not a game's
  std::unique_ptr<TTRVEngine> engine_;
  bool created_ = false;
  double lastPresent_ = 0;
};
