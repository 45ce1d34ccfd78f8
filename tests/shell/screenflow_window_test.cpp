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
  ASSERT_TRUE(main_->FormMainMenu().Visible());
  main_->OpenTutorial();
  EXPECT_FALSE(main_->FormCreateWorld().Visible()) << "the progress page has no buttons to leave it by";
  EXPECT_FALSE(main_->FormTutorial().Visible());
  ui::TFormError& error = main_->FormError();
  ASSERT_TRUE(error.Visible());
  EXPECT_EQ(error.LabelText().Caption(), "The tutorial island could not be created.");
  EXPECT_NE(error.LabelDetail().Caption().find("Basic"), std::string::npos) << error.LabelDetail().Caption();
  EXPECT_FALSE(fs::exists(folder_ / "worlds" / "Tutorial.TRV"));
  error.PanelOK().OnClick(error.PanelOK());
  EXPECT_FALSE(error.Visible());
  EXPECT_TRUE(main_->FormMainMenu().Visible());
}

TEST_F(ScreenFlowTest, AnExistingTutorialIslandIsUsedAsItIs) {
  fs::create_directories(folder_ / "worlds");
  std::ofstream(folder_ / "worlds" / "Tutorial.TRV") << "kept";
  main_->OpenTutorial();
  EXPECT_TRUE(main_->FormTutorial().Visible());
  EXPECT_FALSE(main_->FormError().Visible());
  std::ifstream in(folder_ / "worlds" / "Tutorial.TRV");
  std::string contents;
  in >> contents;
  EXPECT_EQ(contents, "kept");
}

TEST_F(ScreenFlowTest, ALessonOnABrokenIslandReportsItAndTheIslandIsMadeAgainNextTime) {
  fs::create_directories(folder_ / "worlds");
  std::ofstream(folder_ / "worlds" / "Tutorial.TRV") << "not a world";
  main_->OpenTutorial();
  ASSERT_TRUE(main_->FormTutorial().Visible());
  main_->StartLesson(0);
  EXPECT_FALSE(main_->Engine().WorldRunning());
  ASSERT_TRUE(main_->FormError().Visible());
  EXPECT_EQ(main_->FormError().LabelText().Caption(), "The world could not be loaded.");
  EXPECT_FALSE(fs::exists(folder_ / "worlds" / "Tutorial.TRV"));
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
