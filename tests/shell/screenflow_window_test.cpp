// The main window's screen flow where it meets failure and idleness: a tutorial island that
// cannot be generated leaves the player an error dialog with the generator's reason and a way
// back, an existing island is never made again, and with nothing running the loop sleeps until
// the player does something.
#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "shell/mainwindow.h"
#include "tests/world/world_fixture.h"
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

namespace {

namespace fs = std::filesystem;

class ScreenFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << SDL_GetError();
    folder_ = fs::temp_directory_path() / ("morvane-flow-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
    std::ofstream(folder_ / "config.ini")
        << "[General]\nResolutionX=800\nResolutionY=600\nFullScr=0\nLanguage=ENG\nLangSelected=1\n";
    main_ = std::make_unique<TFormTarvin>(folder_, [this] { return now_; });
    std::string error;
    if (!main_->Create(error)) GTEST_SKIP() << error;
  }
  void TearDown() override {
    main_.reset();
    fs::remove_all(folder_);
  }

  double now_ = 0;
  fs::path folder_;
  std::unique_ptr<TFormTarvin> main_;
};

TEST_F(ScreenFlowTest, ATutorialIslandThatCannotBeMadeShowsTheGeneratorsReasonAndLeadsBack) {
  // No themes in this program folder: the generator refuses.
  ASSERT_TRUE(main_->Dialog<ui::TFormMainMenu>().Visible());
  main_->OpenTutorial();
  EXPECT_FALSE(main_->Dialog<ui::TFormCreateWorld>().Visible()) << "the progress page has no buttons to leave it by";
  EXPECT_FALSE(main_->Dialog<ui::TFormTutorial>().Visible());
  ui::TFormError& error = main_->Dialog<ui::TFormError>();
  ASSERT_TRUE(error.Visible());
  EXPECT_EQ(error.LabelText().Caption(), "The tutorial island could not be created.");
  EXPECT_NE(error.LabelDetail().Caption().find("Basic"), std::string::npos) << error.LabelDetail().Caption();
  EXPECT_FALSE(fs::exists(folder_ / "worlds" / "Tutorial.TRV"));
  error.PanelOK().OnClick(error.PanelOK());
  EXPECT_FALSE(error.Visible());
  EXPECT_TRUE(main_->Dialog<ui::TFormMainMenu>().Visible());
}

TEST_F(ScreenFlowTest, AnExistingTutorialIslandIsUsedAsItIs) {
  fs::create_directories(folder_ / "worlds");
  std::ofstream(folder_ / "worlds" / "Tutorial.TRV") << "kept";
  main_->OpenTutorial();
  EXPECT_TRUE(main_->Dialog<ui::TFormTutorial>().Visible());
  EXPECT_FALSE(main_->Dialog<ui::TFormError>().Visible());
  std::ifstream in(folder_ / "worlds" / "Tutorial.TRV");
  std::string contents;
  in >> contents;
  EXPECT_EQ(contents, "kept");
}

TEST_F(ScreenFlowTest, ALessonOnABrokenIslandReportsItAndTheIslandIsMadeAgainNextTime) {
  fs::create_directories(folder_ / "worlds");
  std::ofstream(folder_ / "worlds" / "Tutorial.TRV") << "not a world";
  main_->OpenTutorial();
  ASSERT_TRUE(main_->Dialog<ui::TFormTutorial>().Visible());
  main_->StartLesson(0);
  EXPECT_FALSE(main_->Engine().WorldRunning());
  ASSERT_TRUE(main_->Dialog<ui::TFormError>().Visible());
  EXPECT_EQ(main_->Dialog<ui::TFormError>().LabelText().Caption(), "The world could not be loaded.");
  EXPECT_FALSE(fs::exists(folder_ / "worlds" / "Tutorial.TRV"));
}

// The island reads; what refuses is the rest (here its theme is missing): the island is
// good and stays for the next try.
TEST_F(ScreenFlowTest, ALessonThatRefusesForAnotherReasonLeavesAGoodIslandBe) {
  fs::create_directories(folder_ / "worlds");
  worldtest::Island island(2, 2);
  island.Fill(20, 20, 40, 40, tcOpenGround, 50);
  island.Save(folder_, "Tutorial");
  std::ofstream(folder_ / "worlds" / "TutorialMAP.bmp") << "map";
  main_->OpenTutorial();
  ASSERT_TRUE(main_->Dialog<ui::TFormTutorial>().Visible());
  main_->StartLesson(0);
  EXPECT_FALSE(main_->Engine().WorldRunning());
  ASSERT_TRUE(main_->Dialog<ui::TFormError>().Visible());
  EXPECT_NE(main_->Dialog<ui::TFormError>().LabelDetail().Caption().find("Basic"), std::string::npos)
      << main_->Dialog<ui::TFormError>().LabelDetail().Caption();
  EXPECT_TRUE(fs::exists(folder_ / "worlds" / "Tutorial.TRV"));
  EXPECT_TRUE(fs::exists(folder_ / "worlds" / "TutorialMAP.bmp"));
}

TEST_F(ScreenFlowTest, WithNothingRunningTheLoopSleepsUntilAnEventComes) {
  using Clock = std::chrono::steady_clock;
  main_->MaxIdleWaitMs = 200;
  main_->RunOnce();  // draws the menu once
  const auto idleStart = Clock::now();
  for (int i = 0; i < 3; ++i) main_->RunOnce();
  EXPECT_GE(Clock::now() - idleStart, std::chrono::milliseconds(200)) << "slept instead of spinning (a spinning pass takes a few ms)";

  // The player moves the mouse while the loop sleeps: it wakes at once.
  std::thread player([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    SDL_Event e{};
    e.type = SDL_USEREVENT;
    SDL_PushEvent(&e);
  });
  const auto sleepStart = Clock::now();
  main_->RunOnce();
  const auto slept = Clock::now() - sleepStart;
  player.join();
  EXPECT_LT(slept, std::chrono::milliseconds(150)) << "an event ends the sleep";
}

}  // namespace
