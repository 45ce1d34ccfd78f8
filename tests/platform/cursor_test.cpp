// Cursor shapes: made on demand, and a clean refusal without video.
#include "platform/cursor.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

using platform::CursorKind;
using platform::CursorSet;

TEST(Cursor, WithoutVideoSettingFailsAndKeepsTheCurrentKind) {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << "video is up in this process";
  CursorSet cursors;
  EXPECT_FALSE(cursors.SetCursor(CursorKind::Hand));
  EXPECT_EQ(cursors.Current(), CursorKind::Arrow);
  EXPECT_FALSE(cursors.SetCursor(static_cast<CursorKind>(42)));
}

TEST(Cursor, EveryKindCanBeSetAndTheSetOutlivesVideo) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << "no video: " << SDL_GetError();
  SDL_Window* window = SDL_CreateWindow("cursor test", 0, 0, 32, 32, SDL_WINDOW_HIDDEN);
  {
    CursorSet cursors;
    for (const CursorKind kind : {CursorKind::Hand, CursorKind::No, CursorKind::Cross, CursorKind::Help,
                                  CursorKind::Arrow, CursorKind::Help}) {
      if (!cursors.SetCursor(kind)) {
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        GTEST_SKIP() << "this video driver makes no cursors";
      }
      EXPECT_EQ(cursors.Current(), kind);
    }
    platform::ShowCursor(false);
    EXPECT_FALSE(platform::CursorVisible());
    platform::ShowCursor(true);
    EXPECT_TRUE(platform::CursorVisible());
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }  // the set frees its cursors after video has gone
}

}  // namespace
