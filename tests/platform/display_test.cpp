// Display modes and the full-screen switch, against whatever display the tests run on.
#include "platform/display.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

using platform::DisplayMode;

TEST(DisplayWithoutVideo, AnswersNothingAndChangesNothing) {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << "video is up in this process";
  EXPECT_TRUE(platform::ListDisplayModes().empty());
  EXPECT_FALSE(platform::DesktopDisplayMode().has_value());
  EXPECT_FALSE(platform::TestDisplayMode(800, 600, 32));
  EXPECT_FALSE(platform::EnterFullScreen(nullptr, 800, 600, 32));
  platform::LeaveFullScreen(nullptr);
}

class Display : public ::testing::Test {
 protected:
  void SetUp() override {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << "no video: " << SDL_GetError();
    started_ = true;
  }
  void TearDown() override {
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    if (started_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
  SDL_Window* MakeWindow() {
    window_ = SDL_CreateWindow("display test", 0, 0, 64, 48, SDL_WINDOW_HIDDEN);
    return window_;
  }

  bool started_ = false;
  SDL_Window* window_ = nullptr;
};

TEST_F(Display, EveryListedModePassesTheTestAndOthersDoNot) {
  const std::vector<DisplayMode> modes = platform::ListDisplayModes();
  ASSERT_FALSE(modes.empty());
  for (const DisplayMode& m : modes) {
    EXPECT_GT(m.width, 0);
    EXPECT_TRUE(m.bits == 8 || m.bits == 16 || m.bits == 24 || m.bits == 32) << m.bits;
    EXPECT_TRUE(platform::TestDisplayMode(m.width, m.height, m.bits)) << m.width << "x" << m.height;
    EXPECT_TRUE(platform::TestDisplayMode(m.width, m.height, 0)) << "0 bits matches any depth";
  }
  EXPECT_FALSE(platform::TestDisplayMode(12345, 77, 32));
  EXPECT_FALSE(platform::TestDisplayMode(modes[0].width, modes[0].height, 12));
  EXPECT_FALSE(platform::TestDisplayMode(800, 600, 32, 99)) << "no such display";
  const auto desktop = platform::DesktopDisplayMode();
  ASSERT_TRUE(desktop.has_value());
  EXPECT_TRUE(platform::TestDisplayMode(desktop->width, desktop->height, desktop->bits));
}

TEST_F(Display, UnsupportedModeLeavesTheWindowAlone) {
  SDL_Window* window = MakeWindow();
  ASSERT_NE(window, nullptr) << SDL_GetError();
  const Uint32 flags = SDL_GetWindowFlags(window);
  EXPECT_FALSE(platform::EnterFullScreen(window, 12345, 77, 32));
  EXPECT_EQ(SDL_GetWindowFlags(window), flags);
}

TEST_F(Display, EnteringAndLeavingFullScreen) {
  SDL_Window* window = MakeWindow();
  ASSERT_NE(window, nullptr) << SDL_GetError();
  const auto desktop = platform::DesktopDisplayMode();
  ASSERT_TRUE(desktop.has_value());
  ASSERT_TRUE(platform::EnterFullScreen(window, desktop->width, desktop->height, desktop->bits))
      << SDL_GetError();
  EXPECT_NE(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN, 0u);
  platform::LeaveFullScreen(window);
  EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN, 0u);
}

}  // namespace
