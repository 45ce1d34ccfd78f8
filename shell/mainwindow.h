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
#include "shell/dialogs.h"
#include "shell/engine.h"
#include "shell/fullscreen.h"
#include "ui/decoration.h"
#include "ui/screen.h"
#include "ui/selectiondialog.h"

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
  void StartWorld(const std::string& name, const TTRVWorldInfo* info, const TTRVGameStart& start);
  // The loading dialog, then the saved game; false when it could not be loaded (the error
  // dialog is then up, over the main menu's still image).
  bool LoadGame(const std::string& name);
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
  // The screen flow's buttons' actions (screenflow.cpp's table of transitions).
  // Closes the other dialogs and shows the one of class D.
  template <class D>
  void Open() {
    CloseDialogs();
    ShowDialog(Dialog<D>());
  }
  // The screen flow's actions, one per button (screenflow.cpp).
  void ContinueGame();
  void LeaveFinishedGame();
  void ContinueAfterGame();
  void ShowTips();
  void NextTip();
  void ChooseCzech() { ChooseLanguage("CZE"); }
  // The lists of saves and worlds and the name entry (screenflow.cpp).
  void OpenLoadGame();
  void OpenSkirmish();
  void OpenCampaign();
  void ShowSkirmishChoice();
  void OpenSaveFromGame();
  void OpenLoadFromGame();
  void OpenWorldList();
  void SelectionSelect();
  void SelectionDelete();
  void SelectionCancel();
  void InputCancel();
  // The error dialog's OK: back to the paused game's menu when the game went on, else the
  // main menu.
  void CloseError();
  void ChooseEnglish() { ChooseLanguage("ENG"); }

  // The supervisory tick (also called directly by tests).
  void Tick();
  // Ticks since the mission ended: the cover closes at the fourth, the game-over dialog
  // comes at the first after the fifth, and the count then jumps past the window so it
  // comes once.
  static constexpr int kEndTickFadeOut = 4;
  static constexpr int kEndTickGameOverAfter = 5;
  static constexpr int kEndTickGameOverShown = 101;
  int EndTicks = 0;
  // With no game running the loop sleeps until an event comes, at most this long (the tick
  // and the hints need it back by then).
  int MaxIdleWaitMs = 100;

  platform::Window& Window() { return window_; }
  TTRVEngine& Engine() { return *engine_; }
  platform::widgets::TWidgetHost& Host() { return *host_; }
  ui::TScreenCompositor& Screen() { return *screen_; }
  // The dialog of class D (shell/dialogs.cpp has every one).
  template <class D>
  D& Dialog() const {
    return dialogs_->Get<D>();
  }
  // Every dialog, in the order they were made.
  const std::vector<ui::TDialogForm*>& Dialogs() const { return dialogs_->All(); }
  TAsyncTimer AsyncTimer;
  TFullScreen FullScreen;
  platform::Bitmap ImageCanvas;
  // Called when the game-over step wants the jingle of a reason played.
  std::function<void(TTRVReason reason)> OnPlayJingle;

 private:
  void MakeDialogs();
  // The dialogs' buttons: what each one does (screenflow.cpp).
  void ConnectDialogs();
  // The lists' and the name entry's own notices (savesflow.cpp).
  void ConnectListDialogs();
  // Puts one dialog in its place for the screen (after it changed its size) and shows it.
  void ShowDialog(ui::TDialogForm& dialog);
  bool GenerateTutorialWorld();
  // The still image behind the menus: the last screenshot, else the title picture.
  void ShowTitleScreen();
  // Sleeps until an event arrives or the next tick, hint or repaint is due.
  void WaitForWork();
  void GameOverStep(TTRVStatus status);
  // config.ini could not be written: the error dialog says so over the next main menu, once
  // a session.
  void ReportSettingsNotSaved(const std::string& error);
  // The error dialog with a text of ours and the details in the words of whatever refused.
  // `backToGame`: the game goes on behind it, so OK returns to its menu.
  void ShowError(TextId text, const std::string& detail, bool backToGame = false);
  void OpenSelection(ui::TSelectionMode mode);
  // The details beside the list follow its highlighted entry.
  void ShowSelectionDetails();
  std::vector<ui::TSelectionEntry> SelectionEntriesFor(ui::TSelectionMode mode) const;
  // A name the entry dialog accepted: the game saved under it.
  void AcceptName(const std::string& name);
  bool NameExists(const std::string& name) const;
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
  std::unique_ptr<TTRVDialogs> dialogs_;
  bool hasScreenshot_ = false;
  bool titleShown_ = false;  // the still image is the title picture, not a game's
  std::unique_ptr<TTRVEngine> engine_;
  bool created_ = false;
  double lastPresent_ = 0;
  // config.ini could not be written once already: the player was told, and is not again.
  bool settingsWriteReported_ = false;
  bool settingsErrorPending_ = false;
  std::string settingsError_;
  TTRVStartOutcome lastStart_ = TTRVStartOutcome::Started;
  bool errorBackToGame_ = false;
};
