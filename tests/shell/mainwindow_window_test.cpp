// The main window's supervisory tick and its screen changes, driven tick by tick with a
// stand-in world: the fade on the 4th tick of a mission end, the game-over dialog once on the
// 6th, "Esc" without a game, and failed starts that must not wait for a "Loaded".
#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/cursor.h"
#include "scene/viewer.h"
#include "shell/mainwindow.h"
#include "ui/createworlddialog.h"
#include "ui/creditsdialog.h"
#include "ui/decidedialogs.h"
#include "ui/errordialog.h"
#include "ui/gamemenu.h"
#include "ui/gameoverdialog.h"
#include "ui/loadingdialog.h"
#include "ui/mainmenu.h"
#include "ui/tipsdialog.h"
#include "ui/tutorialdialog.h"
#include "tests/world/world_fixture.h"

namespace {

class StandInWorld : public TTRVRunningWorld {
 public:
  explicit StandInWorld(std::string campaign = "") : campaign_(std::move(campaign)) {}
  void Step(double) override {}
  void SetRunning(bool) override {}
  bool Running() const override { return true; }
  void SetHUDVisible(bool) override {}
  void CutAirStrikeTimer(float) override {}
  bool SaveGame(const std::filesystem::path&, double, std::string&) override { return true; }
  std::string CampaignName() const override { return campaign_; }

 private:
  std::string campaign_;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << SDL_GetError();
    folder_ = std::filesystem::temp_directory_path() / ("morvane-main-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    std::ofstream(folder_ / "config.ini") << "[General]\nResolutionX=800\nResolutionY=600\nFullScr=0\nLanguage=ENG\n";
    main_ = std::make_unique<TFormTarvin>(folder_, [this] { return now_; });
    std::string error;
    if (!main_->Create(error)) GTEST_SKIP() << error;
  }
  void TearDown() override {
    main_.reset();
    std::filesystem::remove_all(folder_);
  }
  void StartStandInGame(std::string campaign = "") {
    main_->Engine().World = std::make_unique<StandInWorld>(std::move(campaign));
    main_->Resume();
  }

  double now_ = 0;
  std::filesystem::path folder_;
  std::unique_ptr<TFormTarvin> main_;
};

TEST_F(MainWindowTest, PersistentFailureFadesOnTheFourthTickAndEndsTheGameOnceOnTheSixth) {
  StartStandInGame();
  TTRVEngine& engine = main_->Engine();
  for (int tick = 1; tick <= 9; ++tick) {
    engine.Status = TTRVStatus::Failed;  // the world says it again at every step
    engine.Reason = TTRVReason::HeliDestroyed;
    main_->Tick();
    SCOPED_TRACE(tick);
    if (tick < 4) {
      EXPECT_NE(engine.FadeState(), fsFadingOut);
    }
    if (tick == 4) {
      EXPECT_EQ(engine.FadeState(), fsFadingOut);
      EXPECT_FLOAT_EQ(engine.FadeProgress(), 1.0f);
    }
    if (tick <= 6) {
      EXPECT_EQ(main_->Dialog<ui::TFormGameOver>().Visible(), tick == 6);
    }
    if (tick == 6) main_->Dialog<ui::TFormGameOver>().Hide();  // the player closes it: it must not return
    if (tick > 6) {
      EXPECT_FALSE(main_->Dialog<ui::TFormGameOver>().Visible());
    }
    EXPECT_EQ(engine.Status, TTRVStatus::None);
  }
  EXPECT_EQ(main_->Dialog<ui::TFormGameOver>().LabelReason().Caption(), "Your helicopter was destroyed.");
  EXPECT_FALSE(engine.Cadencer->Enabled());  // paused behind the dialog
}

TEST_F(MainWindowTest, GameOverTextsFollowTheOutcomeTheLanguageAndTheCampaign) {
  struct Case {
    TTRVStatus status;
    TTRVReason reason;
    const char* language;
    const char* campaign;
    const char* title;
    const char* text;
    bool mainMenu, continueShown;
  } cases[] = {
      {TTRVStatus::Accomplished, TTRVReason::EnemyBaseCaptured, "ENG", "", "Mission accomplished !",
       "Enemy base captured.", true, false},
      {TTRVStatus::Accomplished, TTRVReason::EnemyUnitsDestroyed, "CZE", "Ostrovy", "Mise byla úspěšná !",
       "Nepřátelské jednotky byly zničeny.", false, true},
      {TTRVStatus::Accomplished, TTRVReason::EnemyUnitsDestroyed, "ENG", "- - -", "Mission accomplished !",
       "Enemy units destroyed.", true, false},
      {TTRVStatus::Failed, TTRVReason::BaseCaptured, "ENG", "", "Mission failed !", "Your base was captured.", true, false},
      {TTRVStatus::Failed, TTRVReason::BoatDestroyed, "CZE", "", "Mise byla neúspěšná !", "Vaše loď byla zničena.", true,
       false},
      // No condition to name: a neutral text, and no jingle asked for.
      {TTRVStatus::Accomplished, TTRVReason::None, "ENG", "", "Mission accomplished !", "The mission is over.", true,
       false},
  };
  std::vector<TTRVReason> jingles;
  main_->OnPlayJingle = [&jingles](TTRVReason reason) { jingles.push_back(reason); };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(ReasonWord(c.reason)) + " " + c.language);
    jingles.clear();
    StartStandInGame(c.campaign);
    main_->Engine().Settings.Language = c.language;
    main_->EndTicks = 0;
    for (int tick = 0; tick < 6; ++tick) {
      main_->Engine().Status = c.status;
      main_->Engine().Reason = c.reason;
      main_->Tick();
    }
    ui::TFormGameOver& form = main_->Dialog<ui::TFormGameOver>();
    ASSERT_TRUE(form.Visible());
    EXPECT_EQ(form.PanelTitle().Caption(), c.title);
    EXPECT_EQ(form.LabelReason().Caption(), c.text);
    EXPECT_EQ(form.PanelMainMenu().Visible(), c.mainMenu);
    EXPECT_EQ(form.PanelContinue().Visible(), c.continueShown);
    // The reason's jingle once with the dialog; a mission over with nothing to name has none.
    EXPECT_EQ(jingles, c.reason == TTRVReason::None ? std::vector<TTRVReason>{} : std::vector<TTRVReason>{c.reason});
    form.Hide();
  }
}

TEST_F(MainWindowTest, TheSystemCursorHidesOverTheRunningViewOnly) {
  main_->RunOnce();
  EXPECT_TRUE(platform::CursorVisible()) << "the menus";
  StartStandInGame();
  main_->RunOnce();
  EXPECT_FALSE(platform::CursorVisible()) << "the HUD draws the cursor over the game";
  main_->Pause(false);
  main_->RunOnce();
  EXPECT_TRUE(platform::CursorVisible()) << "the still screen";
}

TEST_F(MainWindowTest, EscWithoutAGameShowsTheMenusAndLoadedResumes) {
  TTRVEngine& engine = main_->Engine();
  engine.Status = TTRVStatus::Esc;
  main_->Tick();
  EXPECT_EQ(engine.Status, TTRVStatus::None);
  EXPECT_FALSE(engine.Viewer->Visible);

  StartStandInGame();
  main_->Pause(false);
  main_->Dialog<ui::TFormLoading>().Show();
  engine.Status = TTRVStatus::Loaded;
  main_->Tick();
  EXPECT_FALSE(main_->Dialog<ui::TFormLoading>().Visible());
  EXPECT_TRUE(engine.Viewer->Visible);
  EXPECT_TRUE(engine.Cadencer->Enabled());
  EXPECT_EQ(engine.FadeState(), fsFadingIn);
}

TEST_F(MainWindowTest, FailedStartsShowTheErrorInsteadOfWaitingForLoaded) {
  main_->StartWorld("NoSuchIsland", nullptr, {});
  EXPECT_FALSE(main_->Dialog<ui::TFormLoading>().Visible());
  EXPECT_TRUE(main_->Dialog<ui::TFormError>().Visible());
  main_->Dialog<ui::TFormError>().Hide();

  // An automatic save that cannot be read is removed; a missing one is simply reported.
  std::filesystem::create_directories(folder_ / "save");
  std::ofstream(folder_ / "save" / "AutoSave.TRV") << "not a save";
  main_->Engine().SavedGameLoader = [](TTRVEngine& engine, const std::string&, const TTRVWorldInfo*,
                                       std::string& error) -> std::unique_ptr<TTRVRunningWorld> {
    engine.ReportSaveUnreadable();
    error = "Not a save file";
    return nullptr;
  };
  main_->LoadGame("AutoSave");
  EXPECT_TRUE(main_->Dialog<ui::TFormError>().Visible());
  EXPECT_FALSE(std::filesystem::exists(folder_ / "save" / "AutoSave.TRV"));
}

TEST_F(MainWindowTest, StillImageComesFromTheLastScreenshotAndIsWrittenAtExitAtFullWidth) {
  StartStandInGame();
  main_->Pause(true);  // takes the snapshot at the current resolution
  EXPECT_EQ(main_->ImageCanvas.Width(), main_->Engine().Settings.ResolutionX);
  main_.reset();
  ASSERT_TRUE(std::filesystem::exists(folder_ / "Screenshot.bmp"));
  main_ = std::make_unique<TFormTarvin>(folder_, [this] { return now_; });
  std::string error;
  ASSERT_TRUE(main_->Create(error)) << error;
  EXPECT_EQ(main_->ImageCanvas.Width(), 800);
  EXPECT_TRUE(main_->Screen().HasStillImage());
}

TEST_F(MainWindowTest, AWorldThatCannotLoadShowsTheLoadersReasonInTheErrorDialog) {
  std::filesystem::create_directories(folder_ / "themes");
  std::filesystem::create_directories(folder_ / "worlds");
  worldtest::WriteTheme(folder_, "Basic", {tcOpenGround, tcSea, tcRiver});
  worldtest::Island island(2, 2);
  island.Fill(0, 0, 64, 64, tcOpenGround, 20);  // land up to the map corner
  island.Save(folder_, "Landlocked");
  main_->StartWorld("Landlocked", nullptr, {});
  ui::TFormError& error = main_->Dialog<ui::TFormError>();
  ASSERT_TRUE(error.Visible());
  EXPECT_EQ(error.LabelText().Caption(), "The world could not be loaded.");
  EXPECT_NE(error.LabelDetail().Caption().find("cell (3, 3)"), std::string::npos) << error.LabelDetail().Caption();
  EXPECT_TRUE(error.LabelDetail().Visible());
  // The details wrap inside the dialog, and the button stays below them.
  EXPECT_LE(error.LabelDetail().Left() + error.LabelDetail().Width(), error.Width());
  EXPECT_GT(error.PanelOK().Top(), error.LabelDetail().Top() + error.LabelDetail().Height() - 1);
  const platform::widgets::TWidget* rim = error.PanelOK().Parent()->FindChild("PanelOKT");
  ASSERT_NE(rim, nullptr);
  EXPECT_EQ(rim->Top() + rim->Height(), error.PanelOK().Top()) << "the button's rounded rim moves with it";
  EXPECT_LE(error.Top() + error.Height(), main_->Engine().Settings.ResolutionY);
  if (const char* dir = std::getenv("MORVANE_SHOTS")) {  // to look at it
    main_->Screen().Compose();
    std::string why;
    EXPECT_TRUE(ReadFramebufferToBitmap(800, 600).SaveBmp(std::string(dir) + "/world-error.bmp", why)) << why;
  }
}

TEST_F(MainWindowTest, ApplySettingsKeepsTheSettingsInUseWhenTheFileCannotBeRead) {
  TTRVSettings& s = main_->Engine().Settings;
  s.ResolutionX = 1024;  // as the options dialog leaves them
  s.ResolutionY = 768;
  std::filesystem::remove(folder_ / "config.ini");
  std::filesystem::create_directory(folder_ / "config.ini");
  main_->ApplySettings(true);
  EXPECT_EQ(s.ResolutionX, 1024);
  EXPECT_EQ(s.ResolutionY, 768);
  EXPECT_FALSE(s.FullScr) << "the defaults would switch to full screen";
  EXPECT_EQ(main_->Window().Width(), 1024);
}

// A screen that offers 1024 x 768 besides its desktop mode: 1600 x 1200 cannot be shown, and
// the desktop's own mode takes its place, not the mode shown before.
TEST_F(MainWindowTest, AModeTheScreenCannotShowFallsBackToTheDesktopMode) {
  TTRVSettings& s = main_->Engine().Settings;
  const TDisplayMode desktop = DisplayModeOf(srDefault);
  ASSERT_GT(desktop.Width, 0);
  if (desktop.Width >= 1600) GTEST_SKIP() << "this screen can show 1600 x 1200";
  main_->FullScreen.CanShow = [desktop](const TDisplayMode& m) {
    return (m.Width == 1024 && m.Height == 768) || (m.Width == desktop.Width && m.Height == desktop.Height);
  };
  s.FullScr = true;
  s.ResolutionX = 1024;
  s.ResolutionY = 768;
  main_->ApplySettings(true);
  ASSERT_EQ(main_->Window().Width(), 1024);
  s.ResolutionX = 1600;
  s.ResolutionY = 1200;
  main_->ApplySettings(true);
  EXPECT_EQ(s.ResolutionX, desktop.Width);
  EXPECT_EQ(s.ResolutionY, desktop.Height);
  EXPECT_EQ(main_->Window().Width(), desktop.Width);
}

// The window takes the mode's size before full screen is asked for; when the display then
// refuses, the settings still describe the window actually shown.
TEST_F(MainWindowTest, ARefusedFullScreenLeavesSettingsThatDescribeTheWindow) {
  TTRVSettings& s = main_->Engine().Settings;
  main_->FullScreen.CanShow = [](const TDisplayMode& m) { return m.Width == 1024 && m.Height == 768; };
  s.FullScr = true;
  s.ResolutionX = 1024;
  s.ResolutionY = 700;  // a hand-edited file: the width picks the mode
  main_->ApplySettings(true);
  EXPECT_FALSE(main_->FullScreen.Active()) << "the virtual display has no 1024 x 768 mode";
  EXPECT_EQ(main_->Window().Width(), 1024);
  EXPECT_EQ(main_->Window().Height(), 768);
  EXPECT_EQ(s.ResolutionX, 1024);
  EXPECT_EQ(s.ResolutionY, 768);
}

// A program folder nobody may write in, not even root (/proc): the first start reads no
// config.ini, and the player's language choice must hold although it cannot be saved.
TEST(MainWindowReadOnly, TheLanguageChosenHoldsAndThePlayerIsToldOnceThatNothingWasSaved) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << SDL_GetError();
  TFormTarvin main("/proc", [] { return 0.0; });
  std::string why;
  if (!main.Create(why)) GTEST_SKIP() << why;
  ui::TFormMainMenu& menu = main.Dialog<ui::TFormMainMenu>();
  ui::TFormError& error = main.Dialog<ui::TFormError>();
  ASSERT_TRUE(menu.PanelEnglish().Showing()) << "a first start asks for the language";
  ASSERT_TRUE(error.Visible()) << "the settings could not be written at start";
  // Before a language is chosen the game speaks its default one.
  EXPECT_EQ(error.LabelText().Caption(), TextString(TextId::ErrorSettingsNotSaved, TTRVLanguage::Czech));
  const char* dir = std::getenv("MORVANE_SHOTS");  // to look at them
  if (dir) {
    main.Screen().Compose();
    EXPECT_TRUE(ReadFramebufferToBitmap(800, 600).SaveBmp(std::string(dir) + "/readonly-first-start.bmp", why)) << why;
  }
  error.PanelOK().OnClick(error.PanelOK());
  EXPECT_FALSE(error.Visible());

  menu.PanelEnglish().OnClick(menu.PanelEnglish());
  EXPECT_EQ(main.Engine().Settings.Language, "ENG");
  EXPECT_TRUE(main.Engine().Settings.LangSelected);
  EXPECT_TRUE(menu.Visible());
  EXPECT_FALSE(menu.PanelEnglish().Showing()) << "the menu is reached";
  EXPECT_TRUE(menu.PanelTutorial().Showing());
  EXPECT_FALSE(error.Visible()) << "told once, not at every click";
  if (dir) {
    main.Screen().Compose();
    EXPECT_TRUE(ReadFramebufferToBitmap(800, 600).SaveBmp(std::string(dir) + "/readonly-menu.bmp", why)) << why;
  }
}

// A load that ends within a second: the game starts once, and the tick that reads its
// "Loaded" later does not start the fade-in over.
TEST_F(MainWindowTest, AQuickLoadStartsTheGameOnceAndTheLoadingPageGoesAtOnce) {
  std::filesystem::create_directories(folder_ / "worlds");
  std::ofstream(folder_ / "worlds" / "Quick.TRV") << "x";
  main_->Engine().NewGameLoader = [](TTRVEngine&, const std::string&, const TTRVWorldInfo*,
                                     std::string&) -> std::unique_ptr<TTRVRunningWorld> {
    return std::make_unique<StandInWorld>();
  };
  main_->StartWorld("Quick", nullptr, {});
  TTRVEngine& engine = main_->Engine();
  ASSERT_TRUE(engine.WorldRunning());
  EXPECT_FALSE(main_->Dialog<ui::TFormLoading>().Visible()) << "no loading page over the game";
  EXPECT_TRUE(engine.ViewRunning());
  EXPECT_EQ(engine.FadeState(), fsFadingIn);
  engine.Progress(0.6, 0.6);
  const float faded = engine.FadeProgress();
  ASSERT_GT(faded, 0.5f);
  main_->Tick();
  EXPECT_FLOAT_EQ(engine.FadeProgress(), faded) << "the fade-in goes on where it was";
  EXPECT_EQ(engine.FadeState(), fsFadingIn);
}

}  // namespace
